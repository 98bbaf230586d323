#pragma once
// Packed BCD, as the instrument's clock and logger sets carry their fields.
#include <cstdint>

namespace qelt {

// Two decimal digits in one byte: 29 -> 0x29. value is taken modulo 100.
std::uint8_t ToBcd(int value);
// 0x29 -> 29; a nibble above 9 is read as its value (0x1A -> 20).
int FromBcd(std::uint8_t bcd);
// Both nibbles are decimal digits.
bool IsBcd(std::uint8_t byte);

}  // namespace qelt
