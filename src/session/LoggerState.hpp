#pragma once
// The logger memory as last read from the instrument.
#include <array>
#include <string>

namespace qelt {

struct LoggerState {
  std::string LoggerDirectory;                  // the "T" reply as last read
  int LoggerSetCount = 0;                       // its first byte
  int SelectedSet = 0;                          // 0..99
  std::array<std::string, 100> SetHeaderCache;  // 10-byte entry of set s after "K"; empty until downloaded
  std::array<std::string, 100> SetDataCache;    // the set's record bytes

  void ClearCaches() {
    for (int s = 1; s < 100; ++s) {
      SetHeaderCache[static_cast<std::size_t>(s)].clear();
      SetDataCache[static_cast<std::size_t>(s)].clear();
    }
  }
};

}  // namespace qelt
