#pragma once
// The simulated three-phase load: per phase a voltage, a current and the angle
// between them, from which active, reactive and apparent power, power factor
// and phase angle follow, so that all of them agree. Values drift slowly and
// carry a little noise from the caller's seeded generator.
//
// Units: volts, amperes, kW, kvar, kVA (V * I / 1000), degrees, hertz.
// Time: seconds on the instrument's own time axis (any origin).
#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "sim/SimRandom.hpp"

namespace qelt {

// Wiring codes as the instrument reports them.
inline constexpr int Wiring1P2W = 1;
inline constexpr int Wiring1P3W = 2;
inline constexpr int Wiring3P3W2M = 4;
inline constexpr int Wiring3P4W = 8;

// "1P2W" -> 1, ... "3P4W" -> 8; 0 for any other text.
int WiringCodeFromText(std::string_view text);

struct PhaseLoad {
  double V = 230.0;      // volts rms
  double I = 12.5;       // amperes rms
  double Angle = 25.0;   // degrees the current lags the voltage; negative leads (Q < 0)
  bool Reverse = false;  // power flows back to the line: P < 0, Q keeps its sign
};

// Inputs marked over range. An input whose value exceeds what four digits
// can show (999.9) is marked over range as well.
struct OverRange {
  bool V1 = false, I1 = false, V2 = false, I2 = false, V3 = false, I3 = false, I4 = false;
  bool Any() const { return V1 || I1 || V2 || I2 || V3 || I3 || I4; }
};

// Sets the named input ("V1", "I1", ... "I4"); false for an unknown name.
bool SetOverRange(OverRange& over, std::string_view input, bool value = true);

// A disturbance of the supply: from At for Seconds (seconds after the
// simulator starts; in a logger set, after its first record) the chosen
// phases' voltage and current at Level times their own, as a load of fixed
// impedance follows it. Below 0.9 a dip, above 1.1 a swell, 0 an interruption.
struct SupplyEvent {
  double At = 0;
  double Seconds = 1;
  double Level = 0;
  std::array<bool, 3> Phases = {true, true, true};
};

struct LoadSettings {
  int WiringCode = Wiring3P4W;
  double Hz = 50.0;  // nominal line frequency, 50 or 60
  std::array<PhaseLoad, 3> Phases = {PhaseLoad{230.0, 12.5, 25.0, false}, PhaseLoad{229.0, 11.8, 30.0, false},
                                     PhaseLoad{231.5, 13.2, 20.0, false}};
  bool Drift = true;             // slow swings of V (1 %), I (5 %), angle (2 degrees), Hz (0.03)
  double NoiseFraction = 0.001;  // relative noise on V and I of every reading
  OverRange Over;
  std::vector<SupplyEvent> Supply;
  double VoltageDriftPerHour = 0;  // a slow change of every voltage: share of it per hour from the start
  double EventOrigin = 0;          // the time that Supply and the drift count from
};

// One moment of the load, unrounded. Phases that the wiring does not use are 0.
struct LoadSample {
  struct Phase {
    double V = 0, I = 0, KVA = 0, KW = 0, KVAR = 0, PF = 0, Theta = 0;
  };
  std::array<Phase, 3> Phases;
  double Hz = 0, I4 = 0, TKW = 0, TKVAR = 0, TKVA = 0, TPF = 0, TTheta = 0;
  int WiringCode = Wiring3P4W;
  OverRange Over;
};

class LoadModel {
 public:
  explicit LoadModel(LoadSettings settings = {}) : settings_(settings) {}

  LoadSettings& Settings() { return settings_; }
  const LoadSettings& Settings() const { return settings_; }

  // The load at time t; draws its noise from rng (nothing when the noise is 0).
  LoadSample Sample(double t, SimRandom& rng) const;

  // Which phases a wiring uses (index 0..2).
  static bool PhaseUsed(int wiringCode, int phase);

 private:
  LoadSettings settings_;
};

}  // namespace qelt
