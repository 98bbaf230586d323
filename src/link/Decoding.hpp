#pragma once
// Turns the instrument's bytes into value texts.
#include <cstdint>
#include <string>
#include <string_view>

#include "link/MeterState.hpp"

namespace qelt {

struct LiveReading;

void DecodeWiring(MeterState& state, std::uint8_t status);
void UnpackFlagsA(MeterState& state, std::uint8_t flags);
void UnpackFlagsB(MeterState& state, std::uint8_t flags);
// Sets and returns state.MeterValue. decimals is 0..4 (the callers use 1 and 3).
const std::string& DecodeValue(MeterState& state, std::uint8_t hi, std::uint8_t lo, bool over, int decimals,
                               bool negative);

// Text of a known wiring code, or nullptr.
const char* WiringModeText(int code);

// Decodes a checked 61-byte live frame (start and end marks already verified)
// into reading, in the instrument's order: wiring, flags, then the 28 values.
// A frame shorter than 61 bytes changes nothing and gives false.
bool DecodeLiveFrame(MeterState& state, std::string_view frame, LiveReading& reading);

// True when frame has at least 61 bytes, 0x02 first and 0x03 at position 61.
bool FrameMarksOk(std::string_view frame);

}  // namespace qelt
