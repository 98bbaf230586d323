#pragma once
// "OK", "Open" and "Save" of the acquisition window. They talk to the window
// through PreHarmonicView, to the instrument through the link and the
// exchange guard, and to the user through Dialogs.
#include "harmonic/Analysis.hpp"
#include "harmonic/HarmonicFile.hpp"
#include "harmonic/PreHarmonicView.hpp"
#include "link/Link.hpp"
#include "platform/Dialogs.hpp"
#include "platform/WindowSurface.hpp"
#include "session/PanelControl.hpp"
#include "session/Session.hpp"

namespace qelt {

enum class AcquireOutcome { Done, Busy, Refused, Failed, Ended };

inline constexpr const char* PortBusyMessage =
    "The port is busy with another exchange.\r\nTry \"OK\" again when it has ended.";

// The acquisition: the exchange, the cycle, the lists, the waveform view, the
// spectrum and the analysis view. Busy: a second "OK" during one does
// nothing. Refused: another exchange holds the port (said in a message).
// Failed: the reply stalled or ran long; the previous analysis stays. Ended:
// the window was closed or the program ends. The live poll starts again at
// the end, unless the port was refused.
AcquireOutcome RunAcquisition(Link& link, Session& session, PanelControl& panel, Dialogs& dialogs,
                              PreHarmonicView& view);

// Closing the window during an acquisition: takes the port from it, so its
// waits end and it touches nothing more.
void CancelAcquisition(Session& session);

enum class OpenOutcome { Opened, Cancelled, Unreadable, TooShort };

// "Open": reads and checks the whole file first, then the same chain as an
// acquisition from the samples on, filling Grid64 and GridK as well. A file
// that cannot be read or holds too few samples is reported and changes
// nothing. The live poll starts again at the end, whatever the outcome.
OpenOutcome RunOpen(Link& link, Session& session, PanelControl& panel, Dialogs& dialogs, PreHarmonicView& view);

// The cycle from a read file for the window's frequency text: a "50Hz" file
// of 64 rows or more as it stands, otherwise the first 54 stretched.
FileCycle CycleModeFor(const std::string& hzText, int rows);

// The analysis chain from the cycle on, as after an acquisition, without
// the windows: normalisation, spectrum (and GridK when listMagnitudes).
void AnalyseCycle(HarmonicState& state, bool listMagnitudes);

// "Save": the save dialog (proposing the signal and frequency as the name),
// then Grid54 into the chosen file, the progress in the window's caption.
// False when cancelled or not written.
bool RunSave(Session& session, Dialogs& dialogs, WindowSurface& window);

}  // namespace qelt
