#pragma once
// "Sampling": the input box that asks for the sampling interval, and what its
// answer does.
#include <optional>
#include <string>
#include <string_view>

#include "session/RecorderState.hpp"

namespace qelt {

inline constexpr int MinSampleTime = 1;
inline constexpr int MaxSampleTime = 86400;

const std::string& SamplingTitle();                       // "Input Sampling Time"
const std::string& SamplingPrompt();                      // two lines joined by CR LF
std::string SamplingDefault(const RecorderState& state);  // SampleTime as text

// The interval an answer asks for: rounded to the nearest whole number (halves
// to even) and clamped to 1..86400. Nothing for an empty answer or one that
// is not a number as a whole ("abc", "5s").
std::optional<int> ParseSamplingTime(std::string_view answer);

// Stores a valid answer in SampleTime and sets SampleTick to 0 so that the
// next tick samples. Returns whether anything changed.
bool ApplySamplingAnswer(RecorderState& state, std::string_view answer);

}  // namespace qelt
