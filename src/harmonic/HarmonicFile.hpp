#pragma once
// Harmonic files: the sample list of one cycle, two TABs as the header line,
// then "i TAB value TAB" per sample, CR LF. Written with the list writer of
// the record lists; read back as fields that end at a line break or a comma.
#include <string>
#include <string_view>
#include <vector>

namespace qelt {

struct HarmonicFileRead {
  bool Ok = false;
  std::string Reason;             // why the file could not be read
  std::vector<std::string> Rows;  // one per field after the header line
};

// The fields after the first line; leading blanks skipped.
std::vector<std::string> HarmonicFileFields(std::string_view content);

// Reads the whole file first, so a file that cannot be read changes nothing.
HarmonicFileRead ReadHarmonicFile(const std::string& path);

// The name "Save" proposes: the signal and the line frequency, which the
// file itself does not record ("A Phase Voltage 60Hz.txt"); empty when the
// samples came from a file.
std::string ProposedHarmonicName(const std::string& phaseText, const std::string& hzText);

inline constexpr const char* ShortFileMessage = "The file holds fewer than 54 samples:";
inline constexpr const char* UnreadableFileMessage = "The file cannot be read:";

}  // namespace qelt
