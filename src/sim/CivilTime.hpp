#pragma once
// Calendar arithmetic and packed BCD for the simulated instrument's clock and
// logger sets. Proleptic Gregorian, no time zones: the instrument keeps the
// local time it was given.
#include <cstdint>

#include "platform/Host.hpp"

namespace qelt {

// Whole seconds since 2000-01-01 00:00:00 (negative before it).
long long ToCivilSeconds(const DateTime& t);
DateTime FromCivilSeconds(long long seconds);

// Two decimal digits in one byte: 29 -> 0x29. value is taken modulo 100.
std::uint8_t ToBcd(int value);
// 0x29 -> 29; a nibble above 9 is read as its value (0x1A -> 20).
int FromBcd(std::uint8_t bcd);
// Both nibbles are decimal digits.
bool IsBcd(std::uint8_t byte);

}  // namespace qelt
