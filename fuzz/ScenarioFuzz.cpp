// Scenario files for the simulator on any bytes: no crash or exception out
// of the parser; a refused file says why; an accepted one holds only values
// in range, and the instrument built from it answers a wake-up, a reading,
// a directory and a waveform request without failing.
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "sim/Instrument.hpp"
#include "sim/LoggerMemory.hpp"
#include "sim/Scenario.hpp"

namespace {

void Check(bool condition) {
  if (!condition) std::abort();
}

bool In(double v, double low, double high) { return std::isfinite(v) && v >= low && v <= high; }

bool ValidClock(const qelt::DateTime& t) {
  return t.Year >= 1900 && t.Year <= 9999 && t.Month >= 1 && t.Month <= 12 && t.Day >= 1 && t.Day <= 31 &&
         t.Hour >= 0 && t.Hour < 24 && t.Minute >= 0 && t.Minute < 60 && t.Second >= 0 && t.Second < 60;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);

  qelt::DateTime clock;
  if (qelt::ParseClockText(text, clock)) Check(ValidClock(clock));

  qelt::InstrumentSettings settings;
  std::string error;
  if (!qelt::ApplyScenario(text, settings, error)) {
    Check(!error.empty());
    return 0;
  }
  const qelt::LoadSettings& load = settings.Load;
  const int w = load.WiringCode;
  Check(w == qelt::Wiring1P2W || w == qelt::Wiring1P3W || w == qelt::Wiring3P3W2M || w == qelt::Wiring3P4W);
  Check(load.Hz == 50.0 || load.Hz == 60.0);
  for (const qelt::PhaseLoad& p : load.Phases) Check(In(p.V, 0, 2000) && In(p.I, 0, 2000) && In(p.Angle, -180, 180));
  Check(In(load.NoiseFraction, 0, 0.1));
  Check(In(settings.Faults.Noise, 0, 1) && In(settings.Faults.DropFrame, 0, 1));
  Check(settings.Faults.BadEcho >= 0 && settings.Faults.SilentAfter >= -1);
  Check(qelt::LoggerMemory::IsPresetName(settings.Logger));
  if (settings.Clock) Check(ValidClock(*settings.Clock));

  // Built and driven for a moment: the accepted settings must be workable.
  settings.Paced = false;
  qelt::Instrument instrument(settings);
  double now = 0;
  for (std::string_view command : {"w", " ", "w", "T", "w", "a"}) {
    instrument.Receive(command, now);
    now += 0.5;
    (void)instrument.TakeArrived(now);
  }
  return 0;
}
