// NumericPrefix, FormatPattern, the shortest forms and the sampling interval
// answer on any bytes: no crash, no undefined behaviour, results that read
// back as the value they show, and an interval always within 1..86400.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>

#include "recorder/SamplingInterval.hpp"
#include "text/NumberText.hpp"

namespace {

void Check(bool condition) {
  if (!condition) std::abort();
}

// "-ddd.ddd" with at least one digit before the point when the pattern has one.
bool LooksLikeFormattedNumber(const std::string& text, bool withPoint) {
  std::size_t i = text.empty() || text[0] != '-' ? 0 : 1;
  bool digits = false, point = false;
  for (; i < text.size(); ++i) {
    if (text[i] >= '0' && text[i] <= '9') {
      digits = true;
    } else if (text[i] == '.' && !point) {
      point = true;
    } else {
      return false;
    }
  }
  return digits && point == withPoint;
}

struct Pattern {
  const char* text;
  int decimals;  // most decimals shown
  bool point;
};
constexpr Pattern Patterns[] = {{"000.0", 1, true}, {"0.000", 3, true},  {"0.00", 2, true}, {"0.0000", 4, true},
                                {"0.0", 1, true},   {"00000", 0, false}, {"0.##", 2, true}};

void CheckPattern(double value, const Pattern& p) {
  std::string out = qelt::FormatPattern(value, p.text);
  if (!std::isfinite(value)) return;
  Check(LooksLikeFormattedNumber(out, p.point));
  // Within half a unit of the last decimal, after the 15-digit rounding.
  double back = qelt::NumericPrefix(out);
  // At 15 digits the largest doubles round up past the largest double.
  if (std::isinf(back)) return Check(std::fabs(value) > 1.79769313486231e308);
  double unit = std::pow(10.0, -p.decimals);
  Check(std::fabs(back - value) <= unit / 2 * (1 + 1e-9) + std::fabs(value) * 1e-14);
}

// The same prefix read by the C library (in the "C" locale): blanks dropped,
// D as E, cut at the first character outside a number's alphabet, so that
// its hexadecimal, "inf" and "nan" forms never come into it.
double CLibraryPrefix(std::string_view text) {
  std::string plain;
  for (char c : text) {
    if (c == ' ' || c == '\t' || c == '\n' || c == '\r') continue;
    if (c == 'D' || c == 'd') c = 'e';
    if (!((c >= '0' && c <= '9') || c == '+' || c == '-' || c == '.' || c == 'e' || c == 'E')) break;
    plain += c;
  }
  return std::strtod(plain.c_str(), nullptr);
}

// The answer to "Input Sampling Time": in range whatever it is, plain digits
// taken as they read, and stored only when accepted.
void CheckSamplingAnswer(std::string_view answer) {
  const std::optional<int> seconds = qelt::ParseSamplingTime(answer);
  if (seconds) Check(*seconds >= qelt::MinSampleTime && *seconds <= qelt::MaxSampleTime && !answer.empty());
  if (!answer.empty() && answer.size() <= 9 && answer.find_first_not_of("0123456789") == std::string_view::npos) {
    const long digits = std::strtol(std::string(answer).c_str(), nullptr, 10);
    Check(seconds && *seconds == std::clamp<long>(digits, qelt::MinSampleTime, qelt::MaxSampleTime));
  }
  qelt::RecorderState state;
  state.SampleTime = 7;
  state.SampleTick = 3;
  const bool changed = qelt::ApplySamplingAnswer(state, answer);
  Check(changed == seconds.has_value());
  Check(changed ? state.SampleTime == *seconds && state.SampleTick == 0
                : state.SampleTime == 7 && state.SampleTick == 3);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string_view text(reinterpret_cast<const char*>(data), size);

  CheckSamplingAnswer(text);
  double prefix = qelt::NumericPrefix(text);
  Check(!std::isnan(prefix));
  Check(prefix == CLibraryPrefix(text));
  for (const Pattern& p : Patterns) CheckPattern(prefix, p);
  // The text as a pattern of its own: anything may come out, but safely.
  if (size <= 64) (void)qelt::FormatPattern(prefix, text);

  // The first bytes as the value itself: every double, NaN and infinities too.
  if (size >= sizeof(double)) {
    double value;
    std::memcpy(&value, data, sizeof value);
    for (const Pattern& p : Patterns) CheckPattern(value, p);
    std::string general = qelt::GeneralNumber(value);
    if (std::isfinite(value)) {
      double back = qelt::NumericPrefix(general);
      Check(std::isinf(back) ? std::fabs(value) > 1.79769313486231e308
                             : std::fabs(back - value) <= std::fabs(value) * 1e-14);
    }
    float single = static_cast<float>(value);
    std::string shortest = qelt::ShortestSingle(single);
    if (std::isfinite(single)) Check(std::fabs(qelt::NumericPrefix(shortest) - single) <= std::fabs(single) * 1e-6);
    (void)qelt::RoundHalfEven(value);
  }
  return 0;
}
