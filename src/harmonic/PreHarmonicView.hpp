#pragma once
// What the acquisition window's commands need of the window. The window
// implements it through an object that outlives the window's deletion, so
// that a command coming back from a wait can ask whether it is still there.
#include <string>

#include "harmonic/WaveRequest.hpp"

namespace qelt {

class PreHarmonicView {
 public:
  virtual ~PreHarmonicView() = default;
  // False once the window was closed; nothing else is called then.
  virtual bool Present() = 0;
  virtual PhaseSelection Selection() = 0;
  virtual std::string HzText() = 0;
  // Open, Save and the prints are disabled while an acquisition runs.
  virtual void SetAcquiring(bool acquiring) = 0;
  // The lists of HarmonicState into the window's grids.
  virtual void ShowLists() = 0;
  // Close the waveform view or the analysis view if open, and open it anew.
  virtual void ReopenSignal() = 0;
  virtual void ReopenHarmonic() = 0;
};

}  // namespace qelt
