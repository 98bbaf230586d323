#include "text/NumberText.hpp"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <system_error>

namespace qelt {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

std::string ToChars(double value, std::chars_format fmt, int precision) {
  char buf[64];
  auto res = std::to_chars(buf, buf + sizeof buf, value, fmt, precision);
  return std::string(buf, res.ptr);
}

// For a number text without sign ("0.00012e-400"): the power of ten just
// above its magnitude (digits before the point, less the leading zeros, plus
// the exponent). Positive means at least 1. Saturates rather than overflows.
long long DecimalOrder(std::string_view number) {
  constexpr long long Limit = 1'000'000'000'000LL;
  std::size_t e = number.find('e');
  std::string_view mantissa = number.substr(0, e);
  std::size_t point = std::min(mantissa.find('.'), mantissa.size());
  long long order = 0;
  bool seen = false;  // a digit other than 0
  for (std::size_t k = 0; k < mantissa.size(); ++k) {
    if (k == point) continue;
    seen = seen || mantissa[k] != '0';
    if (k < point && seen) order = std::min(order + 1, Limit);
    if (k > point && !seen) order = std::max(order - 1, -Limit);
  }
  if (e != std::string_view::npos) {
    std::string_view digits = number.substr(e + 1);
    bool minus = !digits.empty() && digits[0] == '-';
    if (!digits.empty() && (digits[0] == '-' || digits[0] == '+')) digits.remove_prefix(1);
    long long exponent = 0;
    for (char c : digits) exponent = std::min(exponent * 10 + (c - '0'), Limit);
    order += minus ? -exponent : exponent;
  }
  return order;
}

}  // namespace

double NumericPrefix(std::string_view text) {
  std::string number;
  std::size_t i = 0;
  auto skipBlanks = [&] {
    while (i < text.size() && IsBlank(text[i])) ++i;
  };
  skipBlanks();
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
    if (text[i] == '-') number += '-';
    ++i;
  }
  bool digits = false;
  bool point = false;
  for (; i < text.size(); ++i) {
    char c = text[i];
    if (IsBlank(c)) continue;
    if (IsDigit(c)) {
      number += c;
      digits = true;
    } else if (c == '.' && !point) {
      number += c;
      point = true;
    } else {
      break;
    }
  }
  if (!digits) return 0.0;
  if (i < text.size() && (text[i] == 'E' || text[i] == 'e' || text[i] == 'D' || text[i] == 'd')) {
    std::size_t j = i + 1;
    std::string exponent = "e";
    while (j < text.size() && IsBlank(text[j])) ++j;
    if (j < text.size() && (text[j] == '+' || text[j] == '-')) exponent += text[j++];
    bool expDigits = false;
    for (; j < text.size(); ++j) {
      if (IsBlank(text[j])) continue;
      if (!IsDigit(text[j])) break;
      exponent += text[j];
      expDigits = true;
    }
    if (expDigits) number += exponent;
  }
  double value = 0.0;
  const char* first = number.data();
  if (*first == '-') ++first;  // from_chars takes no '+', and we add the sign ourselves
  auto res = std::from_chars(first, number.data() + number.size(), value);
  if (res.ec == std::errc::result_out_of_range) value = DecimalOrder(first) > 0 ? HUGE_VAL : 0.0;
  return number[0] == '-' ? -value : value;
}

std::string FormatPattern(double value, std::string_view pattern) {
  if (!std::isfinite(value)) return ToChars(value, std::chars_format::general, 15);

  std::size_t dot = pattern.find('.');
  std::string_view intPart = pattern.substr(0, dot);
  std::string_view fracPart = dot == std::string_view::npos ? std::string_view{} : pattern.substr(dot + 1);
  std::size_t intMin = 0;
  for (char c : intPart) intMin += c == '0';
  std::size_t fracMin = 0, fracMax = 0;
  for (char c : fracPart) {
    if (c == '0') ++fracMin;
    if (c == '0' || c == '#') ++fracMax;
  }

  // 15 significant digits of the magnitude: d.dddddddddddddde±x
  bool negative = std::signbit(value);
  std::string sci = ToChars(std::fabs(value), std::chars_format::scientific, 14);
  std::size_t ePos = sci.find('e');
  std::string mantissa = sci.substr(0, 1) + sci.substr(2, ePos - 2);
  int exponent = std::atoi(sci.c_str() + ePos + 1);

  // Lay the digits out as integer and fraction digit strings.
  std::string intDigits, fracDigits;
  int pointPos = exponent + 1;  // digits before the point
  if (pointPos <= 0) {
    fracDigits = std::string(static_cast<std::size_t>(-pointPos), '0') + mantissa;
  } else if (static_cast<std::size_t>(pointPos) >= mantissa.size()) {
    intDigits = mantissa + std::string(static_cast<std::size_t>(pointPos) - mantissa.size(), '0');
  } else {
    intDigits = mantissa.substr(0, static_cast<std::size_t>(pointPos));
    fracDigits = mantissa.substr(static_cast<std::size_t>(pointPos));
  }

  // Round half away from zero at fracMax decimals.
  bool roundUp = fracDigits.size() > fracMax && fracDigits[fracMax] >= '5';
  fracDigits.resize(fracMax, '0');
  if (roundUp) {
    std::string all = intDigits + fracDigits;
    int k = static_cast<int>(all.size()) - 1;
    for (; k >= 0; --k) {
      if (all[static_cast<std::size_t>(k)] == '9') {
        all[static_cast<std::size_t>(k)] = '0';
      } else {
        ++all[static_cast<std::size_t>(k)];
        break;
      }
    }
    if (k < 0) all.insert(all.begin(), '1');
    intDigits = all.substr(0, all.size() - fracMax);
    fracDigits = all.substr(all.size() - fracMax);
  }

  while (fracDigits.size() > fracMin && fracDigits.back() == '0') fracDigits.pop_back();
  std::size_t lead = intDigits.find_first_not_of('0');
  intDigits = lead == std::string::npos ? std::string{} : intDigits.substr(lead);
  if (intDigits.size() < intMin) intDigits.insert(0, intMin - intDigits.size(), '0');

  bool allZero =
      intDigits.find_first_not_of('0') == std::string::npos && fracDigits.find_first_not_of('0') == std::string::npos;
  std::string out;
  if (negative && !allZero) out += '-';
  out += intDigits;
  if (dot != std::string_view::npos) {
    out += '.';
    out += fracDigits;
  }
  return out;
}

std::string ShortestSingle(float value) { return ToChars(static_cast<double>(value), std::chars_format::general, 7); }

std::string GeneralNumber(double value) { return ToChars(value, std::chars_format::general, 15); }

std::string HexBytes(std::string_view bytes) {
  static constexpr char Digits[] = "0123456789ABCDEF";
  std::string out;
  for (char c : bytes) {
    const auto b = static_cast<unsigned char>(c);
    if (!out.empty()) out += ' ';
    out += Digits[b >> 4];
    out += Digits[b & 0x0F];
  }
  return out;
}

long long RoundHalfEven(double value) {
  // Out of range the conversion would be undefined: saturate, and NaN is 0.
  if (std::isnan(value)) return 0;
  constexpr double Top = 9223372036854775808.0;  // 2^63
  double whole = std::nearbyint(value);
  if (whole >= Top) return std::numeric_limits<long long>::max();
  if (whole < -Top) return std::numeric_limits<long long>::min();
  return static_cast<long long>(whole);
}

}  // namespace qelt
