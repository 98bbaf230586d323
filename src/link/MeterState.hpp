#pragma once
// Decoding state shared by the live poll and the logger decoding.
#include <cstdint>
#include <string>

namespace qelt {

struct MeterState {
  int ComPort = 0;         // 1..16 once chosen; 0 while none is
  std::string PortDevice;  // the device opened ("/dev/ttyS2" for COM3, or the path typed)

  std::string MeterValue;  // result of the last DecodeValue
  int WiringCode = 0;
  std::string WiringMode;  // empty until a known code was seen

  bool NegKW1 = false, NegKVAR1 = false, NegKW2 = false, NegKVAR2 = false;
  bool NegKW3 = false, NegKVAR3 = false, OverV1 = false, OverI1 = false;
  bool OverV2 = false, OverI2 = false, OverV3 = false, OverI3 = false;
  bool OverI4 = false, NegTKW = false, NegTKVAR = false, FlagB7 = false;

  bool LoggerDecoding = false;  // while set, DecodeValue ignores the over flag

  // Counts the readings decoded by the live poll, so that a sampler can tell
  // a new reading from the last one shown again.
  std::uint64_t ReadingSerial = 0;
};

}  // namespace qelt
