#pragma once
// The line frequency of an analysis against the instrument's own reading: the
// item "Loading Data" selects when a reading is there, the note shown when
// the two disagree, and the heading line of the harmonic printouts.
#include <optional>
#include <string>

#include "link/LiveReading.hpp"
#include "link/MeterState.hpp"
#include "session/HarmonicState.hpp"

namespace qelt {

// Above this relative difference the chosen frequency is called a mismatch.
inline constexpr double HzMismatchRatio = 0.05;

// The frequency of the latest live reading in Hz; nothing before the first
// reading or when its text holds no positive number.
std::optional<double> LiveLineHz(const MeterState& meter, const LiveReading& live);

// "50Hz" or "60Hz", whichever is nearer (a tie keeps "60Hz", the first item).
std::string NearerHzItem(double hz);

// The frequency of an item text: 50 for "50Hz", 60 for any other.
int HzOfItem(const std::string& hzText);

// "The instrument reads 50.0 Hz: the analysis at 60 Hz is not valid" when the
// chosen item and the reading differ by more than HzMismatchRatio; empty
// when they agree or no reading is there.
std::string FrequencyMismatchNote(const std::string& hzText, std::optional<double> liveHz);

// The heading line of the analysis printouts: the signal, the frequency, the
// date and time of the acquisition or the file open, the file's name after
// an open: "A Phase Voltage   50Hz   2026/12/10 17:45:07".
std::string AnalysisHeading(const HarmonicState& state);

}  // namespace qelt
