#include "harmonic/LineFrequency.hpp"

#include <cmath>

#include "harmonic/WaveRequest.hpp"
#include "text/NumberText.hpp"

namespace qelt {

std::optional<double> LiveLineHz(const MeterState& meter, const LiveReading& live) {
  if (meter.ReadingSerial == 0) return std::nullopt;
  const double hz = NumericPrefix(live.Hz);
  if (!(hz > 0) || !std::isfinite(hz)) return std::nullopt;
  return hz;
}

std::string NearerHzItem(double hz) { return std::abs(hz - 50.0) < std::abs(hz - 60.0) ? "50Hz" : "60Hz"; }

int HzOfItem(const std::string& hzText) { return hzText == "50Hz" ? 50 : 60; }

std::string FrequencyMismatchNote(const std::string& hzText, std::optional<double> liveHz) {
  if (!liveHz) return {};
  const int chosen = HzOfItem(hzText);
  if (std::abs(*liveHz - chosen) <= HzMismatchRatio * chosen) return {};
  return "The instrument reads " + FormatPattern(*liveHz, "0.0") + " Hz: the analysis at " + std::to_string(chosen) +
         " Hz is not valid";
}

std::string AnalysisHeading(const HarmonicState& state) {
  std::string heading;
  auto add = [&](const std::string& part) {
    if (part.empty()) return;
    if (!heading.empty()) heading += "   ";
    heading += part;
  };
  if (state.LastLetter >= 'a' && state.LastLetter <= 'f') add(PhaseItems[state.LastLetter - 'a']);
  add(state.AnalysisHz);
  if (state.AnalysedAt) add(DateTimeText(*state.AnalysedAt));
  add(state.AnalysisFile);
  return heading;
}

}  // namespace qelt
