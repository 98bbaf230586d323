#include "harmonic/FileHz.hpp"

namespace qelt {

FileHz FileHzFor(int rows, std::optional<int> hz) {
  const std::string count = std::to_string(rows) + " sample lines";
  const bool looks50 = rows >= CyclePoints;
  if (hz == 50) return {50, FileCycle::Whole64, {}};
  if (hz == 60) {
    if (!looks50) return {60, FileCycle::Stretch54, {}};
    return {60, FileCycle::Stretch54,
            "warning: " + count + " look like a 50 Hz acquisition; read at 60 Hz as asked (the first 54 samples " +
                "stretched over the cycle); give --hz 50 to read them as one 50 Hz cycle"};
  }
  if (looks50)
    return {50, FileCycle::Whole64,
            count +
                ": read as one 50 Hz cycle (64 samples or more per cycle are a 50 Hz acquisition); give --hz 60 "
                "to read it at 60 Hz"};
  if (rows >= Samples60Hz)
    return {60, FileCycle::Stretch54,
            count + ": read as one 60 Hz cycle (54 to 63 samples per cycle are a 60 Hz acquisition)"};
  return {60, FileCycle::Stretch54, {}};
}

}  // namespace qelt
