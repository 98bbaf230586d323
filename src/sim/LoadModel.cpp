#include "sim/LoadModel.hpp"

#include <algorithm>
#include <cmath>
#include <complex>
#include <numbers>

namespace qelt {
namespace {

constexpr double Pi = std::numbers::pi;
double Radians(double degrees) { return degrees * Pi / 180.0; }
double Degrees(double radians) { return radians * 180.0 / Pi; }

// Slow swing of period seconds, shifted per phase so the phases differ.
double Swing(double t, double period, double shift) { return std::sin(2.0 * Pi * t / period + shift); }

}  // namespace

int WiringCodeFromText(std::string_view text) {
  if (text == "1P2W") return Wiring1P2W;
  if (text == "1P3W") return Wiring1P3W;
  if (text == "3P3W2M") return Wiring3P3W2M;
  if (text == "3P4W") return Wiring3P4W;
  return 0;
}

bool SetOverRange(OverRange& over, std::string_view input, bool value) {
  bool* flag = input == "V1"   ? &over.V1
               : input == "I1" ? &over.I1
               : input == "V2" ? &over.V2
               : input == "I2" ? &over.I2
               : input == "V3" ? &over.V3
               : input == "I3" ? &over.I3
               : input == "I4" ? &over.I4
                               : nullptr;
  if (!flag) return false;
  *flag = value;
  return true;
}

bool LoadModel::PhaseUsed(int wiringCode, int phase) {
  switch (wiringCode) {
    case Wiring1P2W: return phase == 0;
    case Wiring1P3W: return phase <= 1;
    case Wiring3P3W2M: return phase != 1;  // two elements, on phases 1 and 3
    default: return true;
  }
}

LoadSample LoadModel::Sample(double t, SimRandom& rng) const {
  const LoadSettings& s = settings_;
  LoadSample out;
  out.WiringCode = s.WiringCode;
  out.Over = s.Over;

  const double hzDrift = s.Drift ? 0.03 * Swing(t, 420.0, 0.0) : 0.0;
  out.Hz = s.Hz + hzDrift + (s.NoiseFraction > 0 ? 0.005 * rng.Symmetric() : 0.0);

  // The neutral current is the phasor sum of the phase currents, each at its
  // voltage's position (0, -120, +120 degrees; split phase at 0 and 180).
  std::complex<double> neutral = 0.0;
  const double voltagePosition[3] = {0.0, s.WiringCode == Wiring1P3W ? 180.0 : -120.0, 120.0};

  for (int k = 0; k < 3; ++k) {
    auto& phase = out.Phases[static_cast<std::size_t>(k)];
    if (!PhaseUsed(s.WiringCode, k)) continue;
    const PhaseLoad& p = s.Phases[static_cast<std::size_t>(k)];
    const double shift = 2.1 * k;
    double v = p.V, i = p.I, angle = p.Angle;
    if (s.Drift) {
      v *= 1.0 + 0.01 * Swing(t, 600.0, shift);
      i *= 1.0 + 0.05 * Swing(t, 300.0, shift + 1.0);
      angle += 2.0 * Swing(t, 900.0, shift + 2.0);
    }
    const double since = t - s.EventOrigin;
    v *= 1.0 + s.VoltageDriftPerHour * since / 3600.0;
    for (const SupplyEvent& e : s.Supply)
      if (e.Phases[static_cast<std::size_t>(k)] && since >= e.At && since < e.At + e.Seconds) {
        v *= e.Level;
        i *= e.Level;
      }
    if (s.NoiseFraction > 0) {
      v *= 1.0 + s.NoiseFraction * rng.Symmetric();
      i *= 1.0 + s.NoiseFraction * rng.Symmetric();
    }
    v = std::max(0.0, v);
    i = std::max(0.0, i);
    // A reversed flow turns the current round: P changes sign, Q keeps it.
    const double alpha = Radians(p.Reverse ? 180.0 - angle : angle);
    phase.V = v;
    phase.I = i;
    phase.KVA = v * i / 1000.0;
    phase.KW = phase.KVA * std::cos(alpha);
    phase.KVAR = phase.KVA * std::sin(alpha);
    phase.PF = phase.KVA > 0 ? std::fabs(std::cos(alpha)) : 0.0;
    phase.Theta = std::copysign(Degrees(std::acos(std::min(1.0, phase.PF))), phase.KVAR);
    if (phase.KVA <= 0) phase.Theta = 90.0;
    neutral += std::polar(i, Radians(voltagePosition[k]) - alpha);

    out.TKW += phase.KW;
    out.TKVAR += phase.KVAR;
    out.TKVA += phase.KVA;
  }
  out.I4 = (s.WiringCode == Wiring3P4W || s.WiringCode == Wiring1P3W) ? std::abs(neutral) : 0.0;
  out.TPF = out.TKVA > 0 ? std::min(1.0, std::fabs(out.TKW) / out.TKVA) : 0.0;
  out.TTheta = out.TKVA > 0 ? std::copysign(Degrees(std::acos(out.TPF)), out.TKVAR) : 90.0;
  return out;
}

}  // namespace qelt
