#include "harmonic/HarmonicCommands.hpp"

#include "harmonic/Analysis.hpp"
#include "harmonic/LineFrequency.hpp"
#include "link/Commands.hpp"
#include "records/GridCommands.hpp"

namespace qelt {
namespace {

// Busy is cleared however the acquisition ends (before its poll pause ends).
struct AcquisitionEnd {
  HarmonicState& state;
  PreHarmonicView& view;
  ~AcquisitionEnd() {
    state.Busy = false;
    if (view.Present()) view.SetAcquiring(false);
  }
};

}  // namespace

AcquireOutcome RunAcquisition(Link& link, Session& session, PanelControl& panel, Dialogs& dialogs,
                              PreHarmonicView& view) {
  HarmonicState& state = session.Harmonic;
  if (state.Busy) return AcquireOutcome::Busy;
  ExchangeGuard::Ticket ticket = session.Guard.TakeForCommand();
  if (!ticket) {
    dialogs.Message(PortBusyMessage, MessageIcon::Exclamation);
    return AcquireOutcome::Refused;
  }
  state.Busy = true;
  PollPause pause(panel);
  AcquisitionEnd end{state, view};
  view.SetAcquiring(true);
  state.LastPhase.clear();
  state.LastMultiply.clear();
  state.LastVI.clear();

  WaveReply reply = RequestWave(link, ticket, [&] {
    // A window closed meanwhile has taken the ticket; its texts are not read.
    PhaseSelection now = view.Present() ? view.Selection() : PhaseSelection{};
    state.LastPhase = now.Phase;
    state.LastMultiply = now.Multiply;
    state.LastVI = now.VI;
    return now;
  });
  if (reply.Outcome == WaveOutcome::Abandoned || !view.Present()) return AcquireOutcome::Ended;
  if (reply.Outcome != WaveOutcome::Complete) {
    dialogs.Message(WaveFailureMessage(reply), MessageIcon::Exclamation);
    return AcquireOutcome::Failed;
  }

  const std::string hz = view.HzText();
  TakeReply(state, reply.Bytes, hz);
  Normalise(state);
  state.LastLetter = RequestLetter(state.LastPhase);
  state.LastHz = hz;
  state.AnalysisHz = hz;
  state.AnalysedAt = link.EventHost().Now();
  state.AnalysisFile.clear();
  // The poll stopped for the acquisition: its last reading is the instrument's frequency.
  state.FrequencyNote = FrequencyMismatchNote(hz, LiveLineHz(session.Meter, session.Live));
  view.ShowLists();
  view.ReopenSignal();
  if (link.Abandoned(ticket)) return AcquireOutcome::Ended;
  link.Port().Write(std::string(1, cmd::Reset));
  Spectrum(state);
  if (!view.Present()) return AcquireOutcome::Ended;
  view.ReopenHarmonic();
  return AcquireOutcome::Done;
}

void CancelAcquisition(Session& session) {
  if (session.Harmonic.Busy && session.Guard.CommandActive()) session.Guard.TakeForShutdown().Release();
}

FileCycle CycleModeFor(const std::string& hzText, int rows) {
  return hzText == "50Hz" && rows >= SamplesNeeded(FileCycle::Whole64) ? FileCycle::Whole64 : FileCycle::Stretch54;
}

void AnalyseCycle(HarmonicState& state, bool listMagnitudes) {
  Normalise(state);
  Spectrum(state);
  if (listMagnitudes) ListMagnitudes(state);
}

OpenOutcome RunOpen(Link& link, Session& session, PanelControl& panel, Dialogs& dialogs, PreHarmonicView& view) {
  PollPause pause(panel);

  // No filter of its own: the dialog keeps the one of its last use.
  auto choice = dialogs.OpenFile(FileRequest{});
  if (!choice || choice->Path.empty()) return OpenOutcome::Cancelled;
  HarmonicFileRead file = ReadHarmonicFile(choice->Path);
  if (!file.Ok) {
    dialogs.Message(std::string(UnreadableFileMessage) + "\r\n" + choice->Path + "\r\n" + file.Reason,
                    MessageIcon::Stop);
    return OpenOutcome::Unreadable;
  }
  if (!view.Present()) return OpenOutcome::Cancelled;
  const std::string hz = view.HzText();
  const FileCycle mode = CycleModeFor(hz, static_cast<int>(file.Rows.size()));
  if (static_cast<int>(file.Rows.size()) < SamplesNeeded(mode)) {
    dialogs.Message(std::string(ShortFileMessage) + "\r\n" + choice->Path + "\r\n" + std::to_string(file.Rows.size()) +
                        " sample lines",
                    MessageIcon::Stop);
    return OpenOutcome::TooShort;
  }

  HarmonicState& state = session.Harmonic;
  TakeFileRows(state, file.Rows, mode);
  Normalise(state);
  state.LastLetter = '\0';
  state.LastHz.clear();
  state.AnalysisHz = hz;
  state.AnalysedAt = link.EventHost().Now();
  state.AnalysisFile = choice->Path;
  state.FrequencyNote.clear();  // a file may come from another line
  view.ShowLists();
  view.ReopenSignal();
  // "E" as after an acquisition; skipped while another exchange holds the port.
  if (ExchangeGuard::Ticket ticket = session.Guard.TakeForCommand()) link.Port().Write(std::string(1, cmd::Reset));
  Spectrum(state);
  ListMagnitudes(state);
  if (!view.Present()) return OpenOutcome::Opened;
  view.ShowLists();
  view.ReopenHarmonic();
  return OpenOutcome::Opened;
}

bool RunSave(Session& session, Dialogs& dialogs, WindowSurface& window) {
  HarmonicState& state = session.Harmonic;
  RecorderState& recorder = session.Recorder;
  FileRequest request;
  request.Filter = AllFilesFilter;
  request.OverwritePrompt = true;
  if (state.LastLetter != '\0')
    request.InitialPath = ProposedHarmonicName(PhaseItems[state.LastLetter - 'a'], state.LastHz);
  auto choice = dialogs.SaveFile(request);
  if (!choice) {
    recorder.DialogOK = false;
    return false;
  }
  recorder.RecFileName = choice->Path;
  recorder.DialogOK = !choice->FileName.empty();
  if (!recorder.DialogOK) return false;
  return SaveGrid(recorder, state.Grid54, window, dialogs).Ok;
}

}  // namespace qelt
