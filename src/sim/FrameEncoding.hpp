#pragma once
// How the instrument puts a moment of the load on the line: the 61-byte live
// frame and the 24-byte logger record. Each value goes out as four decimal
// digits (a 16-bit number, high byte first) whose sign and over-range state
// travel in the flag bytes.
#include <cstdint>
#include <string>

#include "link/LiveReading.hpp"
#include "sim/LoadModel.hpp"

namespace qelt {

// The four digits of |value| with the given decimals, rounded half away from
// zero and limited to 9999.
std::uint16_t RawDigits(double value, int decimals);

// The text the program makes of raw digits: "-012.3", "0.955", "OL", "-OL".
std::string ValueText(std::uint16_t raw, int decimals, bool negative, bool over);

struct EncodedFrame {
  std::string Bytes;  // 61 bytes: 0x02, 28 value pairs, wiring, flags A, flags B, 0x03
  LiveReading Texts;  // what decoding the frame gives, text for text
};

EncodedFrame EncodeLiveFrame(const LoadSample& load);

// A logger record: flags A, flags B, Hz, V1, I1, KW1, V2, I2, KW2, V3, I3, KW3, I4.
// skipped sets the flag that tells the program to repeat the previous row.
std::string EncodeLoggerRecord(const LoadSample& load, bool skipped = false);

}  // namespace qelt
