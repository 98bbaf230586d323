#pragma once
// Wires each subsystem to a new main window (before it loads): its toolbar
// buttons, its ticks and the program's end. The program does this for every
// subsystem; a window test attaches only the one it tests.
#include <string>

#include "platform/Dialogs.hpp"
#include "platform/Host.hpp"
#include "session/Session.hpp"

namespace qelt {

class LoggerWindows;
class Link;
class GraphsController;
class PanelWindow;
class PcSamplingController;
class PreHarmonicWindow;
class StoredSettings;
class Link;
class WaitInput;

// "Save", "Open", "List", "Sampling" and Timer2. host gives the sampling
// moment's date and time; by default the PC's clock.
PcSamplingController* AttachPcSampling(PanelWindow& panel, Session& session, Dialogs& dialogs, Host* host = nullptr);

// The logger: what "Memory" opens once the directory holds sets, and its
// windows closed at the program's end. exportFolder: where workbooks go
// (empty: "Qelt" in the temporary folder).
LoggerWindows* AttachLogger(PanelWindow& panel, Session& session, Link& link, Dialogs& dialogs,
                            const std::string& exportFolder = {});

// "Graph", and "Plot" of every file list that sampling opens from now on.
GraphsController* AttachGraphs(PanelWindow& panel, Session& session, Dialogs& dialogs,
                               PcSamplingController* sampling = nullptr);

// "Harmonic": the acquisition window, made at the first click and shown again
// by every later one. It closes with the main window.
// settings: where the analysis view's "Limits" choice is kept (none in tests).
// input: the hold of the program's waits, which an acquisition opens to its
// window's Escape and close.
void AttachHarmonic(PanelWindow& panel, Session& session, Link& link, Dialogs& dialogs,
                    StoredSettings* settings = nullptr, WaitInput* input = nullptr);

// "Summary" and "Report" on every file list and live list that sampling opens
// from now on and on the logger's data lists (both together: one set). Either
// may be null. graphs (may be null): a file list's summary shows a chosen
// quality event in its file plot.
void AttachSummaryAndReport(Dialogs& dialogs, PcSamplingController* sampling, LoggerWindows* logger,
                            GraphsController* graphs = nullptr);

}  // namespace qelt
