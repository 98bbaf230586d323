#pragma once
// Number texts shared by every subsystem. The decimal point is always '.',
// whatever the locale.
#include <string>
#include <string_view>

namespace qelt {

// Reads the leading number of a text: blanks skipped (also between digits), one
// sign, digits with at most one point, an exponent E or D with optional sign.
// Stops at the first character that does not fit; 0 when there is no number.
double NumericPrefix(std::string_view text);

// Applies a number pattern such as "000.0", "0.000", "0.00", "0.0000", "0.0",
// "00000" or "0.##" to the value's decimal form at 15 significant digits,
// rounding half away from zero. "0.##" keeps the point when no decimal follows.
std::string FormatPattern(double value, std::string_view pattern);

// Up to 7 significant digits, no trailing zeros ("100", "4.527831").
std::string ShortestSingle(float value);

// Up to 15 significant digits, no trailing zeros.
std::string GeneralNumber(double value);

// Each byte as two upper-case hex digits, blank-separated: "44 11 07 29".
std::string HexBytes(std::string_view bytes);

// Whole number with halves to the even neighbour (2.5 -> 2, 3.5 -> 4).
long long RoundHalfEven(double value);

}  // namespace qelt
