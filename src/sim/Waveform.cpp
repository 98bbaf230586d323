#include "sim/Waveform.hpp"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace qelt {
namespace {

struct Mix {
  double Ratio[3];  // 3rd, 5th, 7th relative to the fundamental
  double Shift[3];  // their own phase, radians
};

// Voltages are nearly clean, currents of a rectifier-like load much less so.
const Mix Mixes[6] = {
    {{0.030, 0.020, 0.010}, {0.0, 0.3, 0.6}}, {{0.035, 0.018, 0.012}, {0.4, 0.9, 1.2}},
    {{0.025, 0.022, 0.008}, {0.8, 1.5, 1.8}}, {{0.180, 0.090, 0.040}, {0.2, 2.6, 0.9}},
    {{0.150, 0.110, 0.050}, {1.1, 0.5, 2.2}}, {{0.210, 0.070, 0.060}, {2.0, 1.4, 0.3}},
};

}  // namespace

int SamplesPerCycle(double nominalHz) { return nominalHz < 55.0 ? 64 : 54; }

std::vector<std::int32_t> WaveformSamples(int signal, const LoadSample& load, double nominalHz, SimRandom& rng,
                                          double noiseCounts) {
  constexpr double Pi = std::numbers::pi;
  std::vector<std::int32_t> out(WaveSampleCount, 0);
  if (signal < 0 || signal > 5) return out;
  const int phase = signal % 3;
  const bool current = signal >= 3;
  const auto& p = load.Phases[static_cast<std::size_t>(phase)];
  if (!LoadModel::PhaseUsed(load.WiringCode, phase)) return out;

  const double rms = current ? p.I : p.V;
  const double amplitude = rms * std::sqrt(2.0) * (current ? CountsPerAmpere : CountsPerVolt);
  // Phase positions 0, -120, +120 degrees (180 for the split phase); the
  // current lags its voltage by the load angle.
  double position = phase == 0 ? 0.0 : phase == 1 ? (load.WiringCode == Wiring1P3W ? Pi : -2.0 * Pi / 3) : 2.0 * Pi / 3;
  if (current) {
    double angle = std::atan2(p.KVAR, p.KW);  // full angle, reversal included
    position -= angle;
  }
  const Mix& mix = Mixes[signal];
  const int perCycle = SamplesPerCycle(nominalHz);
  for (int n = 0; n < WaveSampleCount; ++n) {
    const double x = position + 2.0 * Pi * n / perCycle;
    double v = std::sin(x);
    const int orders[3] = {3, 5, 7};
    for (int h = 0; h < 3; ++h) v += mix.Ratio[h] * std::sin(orders[h] * x + mix.Shift[h]);
    double counts = amplitude * v + (noiseCounts > 0 ? noiseCounts * rng.Symmetric() : 0.0);
    counts = std::clamp(std::round(counts), -8388608.0, 8388607.0);
    out[static_cast<std::size_t>(n)] = static_cast<std::int32_t>(counts);
  }
  return out;
}

std::string PackSamples(const std::vector<std::int32_t>& samples) {
  std::string out;
  out.reserve(samples.size() * 3);
  for (std::int32_t s : samples) {
    auto u = static_cast<std::uint32_t>(s) & 0xFFFFFFu;
    out.push_back(static_cast<char>(u >> 16 & 0xFF));
    out.push_back(static_cast<char>(u >> 8 & 0xFF));
    out.push_back(static_cast<char>(u & 0xFF));
  }
  return out;
}

}  // namespace qelt
