#include "recorder/SamplingInterval.hpp"

#include <algorithm>

#include "text/NumberText.hpp"

namespace qelt {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// The whole text is one number as NumericPrefix reads it (blanks around it and
// between its digits allowed).
bool IsWholeNumber(std::string_view text) {
  std::size_t i = 0;
  auto skipBlanks = [&] {
    while (i < text.size() && IsBlank(text[i])) ++i;
  };
  skipBlanks();
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
  bool digits = false, point = false;
  for (; i < text.size(); ++i) {
    char c = text[i];
    if (IsDigit(c)) {
      digits = true;
    } else if (c == '.' && !point) {
      point = true;
    } else if (!IsBlank(c)) {
      break;
    }
  }
  if (!digits) return false;
  if (i < text.size() && (text[i] == 'E' || text[i] == 'e' || text[i] == 'D' || text[i] == 'd')) {
    ++i;
    skipBlanks();
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
    bool expDigits = false;
    for (; i < text.size() && (IsDigit(text[i]) || IsBlank(text[i])); ++i) expDigits = expDigits || IsDigit(text[i]);
    if (!expDigits) return false;
  }
  skipBlanks();
  return i == text.size();
}

}  // namespace

const std::string& SamplingTitle() {
  static const std::string title = "Input Sampling Time";
  return title;
}

const std::string& SamplingPrompt() {
  static const std::string prompt = "Enter the SAMPLING TIME in seconds\r\n(1 <= t <= 86400 ) ";
  return prompt;
}

std::string SamplingDefault(const RecorderState& state) { return std::to_string(state.SampleTime); }

std::optional<int> ParseSamplingTime(std::string_view answer) {
  if (answer.empty() || !IsWholeNumber(answer)) return std::nullopt;
  // Clamp before rounding so that huge answers cannot overflow the whole number.
  double value = std::clamp(NumericPrefix(answer), -1.0, MaxSampleTime + 1.0);
  long long whole = RoundHalfEven(value);
  return static_cast<int>(std::clamp<long long>(whole, MinSampleTime, MaxSampleTime));
}

bool ApplySamplingAnswer(RecorderState& state, std::string_view answer) {
  auto seconds = ParseSamplingTime(answer);
  if (!seconds) return false;
  state.SampleTime = *seconds;
  state.SampleTick = 0;
  return true;
}

}  // namespace qelt
