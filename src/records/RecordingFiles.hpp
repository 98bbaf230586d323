#pragma once
// The files of one recording: the file the user chose and the continuation
// files the recorder starts every 10 000 records.
#include <string>
#include <vector>

namespace qelt {

// Name of continuation part n of a recording: "-n" goes in front of the first
// "." of the file's own name (after the last '/' or '\'), or at its end when
// the name has no ".". The folder is kept.
std::string ContinuationName(const std::string& path, int part);

// path, then its continuation files "-1", "-2", ... in order for as long as
// they exist (the first missing part ends the list). single: path alone.
// path itself is listed whether it exists or not.
std::vector<std::string> RecordingFiles(const std::string& path, bool single = false);

}  // namespace qelt
