#pragma once
// The line frequency of a harmonic file on the command line, which the file
// does not record: a 50 Hz acquisition holds 64 samples per cycle, a 60 Hz
// one 54, so the count tells them apart when no frequency is given.
#include <optional>
#include <string>

#include "harmonic/Analysis.hpp"

namespace qelt {

struct FileHz {
  int Hz = 60;
  FileCycle Mode = FileCycle::Stretch54;
  // For stderr: which frequency was taken and why, or a warning when the
  // given one disagrees with the count; empty when there is nothing to say.
  std::string Note;
};

// rows: the file's sample lines. hz: 50 or 60 when given. Without it, 64 or
// more rows are one 50 Hz cycle and 54 to 63 a 60 Hz one; 60 given on 64 or
// more rows reads the first 54 samples, as the file window does, with a warning.
FileHz FileHzFor(int rows, std::optional<int> hz);

}  // namespace qelt
