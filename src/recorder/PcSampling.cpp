#include "recorder/PcSampling.hpp"

#include <cstdio>

#include "platform/PathText.hpp"
#include "recorder/SamplingInterval.hpp"
#include "records/RecordFileReader.hpp"

namespace qelt {

const std::string& RecordingModeMessage() {
  static const std::string text = "Recording Mode!\n\rPlease stop recording!";
  return text;
}

const std::string& ListRecordingMessage() {
  static const std::string text = "Aready in recording mode, close it and try again !";
  return text;
}

std::string OpenProgressCaption(int lineNumber) { return std::to_string(lineNumber) + " Records Completed"; }

void PcSampling::Save() {
  if (state_.Recording) {
    StopRecording();
    return;
  }
  SaveDialog(state_, dialogs_);
  if (!state_.DialogOK) return;
  // A name typed without an ending gets the measurement file's; the dialog
  // asked about the name as typed, so a file of the new name is asked about here.
  if (FileNameOf(state_.RecFileName).find('.') == std::string::npos) {
    state_.RecFileName += ".mes";
    if (std::FILE* existing = std::fopen(state_.RecFileName.c_str(), "rb")) {
      std::fclose(existing);
      if (dialogs_.Message(state_.RecFileName + " already exists.\r\nDo you want to replace it?",
                           MessageIcon::Exclamation, MessageButtons::YesNo) != MessageAnswer::Yes) {
        state_.DialogOK = false;
        return;
      }
    }
  }
  StartRecording(state_.RecFileName);
}

void PcSampling::StartRecording(const std::string& path) {
  RecorderFault fault;
  if (!recorder_.Start(path, fault)) {
    state_.DialogOK = false;
    dialogs_.Message(fault.Message(), MessageIcon::Stop);
    return;
  }
  view_.SetFileNameLabel(FileNameOf(path));
  view_.SetRecordingButton(true);
  view_.SetRecLabelVisible(true);
}

void PcSampling::StopRecording() {
  recorder_.Stop();
  ShowStopped();
}

void PcSampling::ShowStopped() {
  view_.SetRecordingButton(false);
  view_.SetRecLabelVisible(false);
  view_.SetCountLabel("");
  view_.SetFileNameLabel("");
}

void PcSampling::Open(FileListTarget& target) {
  // The reading lets the event loop run: a second "Open" meanwhile is ignored.
  if (opening_) return;
  if (state_.Recording) {
    dialogs_.Message(RecordingModeMessage(), MessageIcon::Stop);
    return;
  }
  FileRequest request;
  // Any name opens, as ever; the second entry shows the recordings alone.
  request.Filter = std::string(AllFilesFilter) + "Measurement Files (*.mes)|*.mes|";
  auto choice = dialogs_.OpenFile(request);
  if (!choice || choice->FileName.empty()) return;

  // A file of another kind is refused before the open list is touched.
  if (std::string problem = MeasurementFileProblem(choice->Path); !problem.empty()) {
    dialogs_.Message("This is not a measurement file:\r\n" + choice->Path + "\r\n" + problem, MessageIcon::Stop);
    return;
  }
  target.CloseOpenList();
  opening_ = true;
  struct Done {
    bool& flag;
    ~Done() { flag = false; }
  } done{opening_};
  const std::string name = choice->FileName;
  bool opened = false;
  // The progress caption a few times a second, and the event loop between,
  // so that a large file neither freezes the program nor spends its time on
  // captions.
  double nextShown = host_.Monotonic();
  RecordFileResult read = ReadRecordFile(
      choice->Path,
      [&](int lineNumber, std::string_view row) {
        target.AppendRow(row);
        if (lineNumber % 1024 != 1) return;
        if (const double now = host_.Monotonic(); now >= nextShown) {
          target.SetCaption(OpenProgressCaption(lineNumber));
          host_.RunEvents(0.0);
          nextShown = now + 0.2;
        }
      },
      [&] {
        opened = true;
        target.OpenList(name);
        target.SetSource(choice->Path);
      });
  if (opened) target.SetCaption(name);
  if (!read.Ok)
    dialogs_.Message("The file cannot be read:\r\n" + choice->Path + "\r\n" + read.Reason, MessageIcon::Stop);
}

void PcSampling::Sampling() {
  std::string answer = dialogs_.Input(SamplingPrompt(), SamplingTitle(), SamplingDefault(state_));
  ApplySamplingAnswer(state_, answer);
}

SampleStepResult PcSampling::Tick(const std::function<ValueTexts()>& values, LiveListView* list,
                                  std::optional<std::uint64_t> readingSerial) {
  SampleStepResult result = SampleStep(state_, recorder_, host_, values, readingSerial);
  if (!result.Sampled) return result;
  if (result.Recorded) {
    view_.SetCountLabel(result.CountText);
    view_.SetRecLabel(result.RecText);
  }
  if (result.RecordSkipped) view_.SetCountLabel(result.CountText);
  if (result.ListRowSkipped && list) list->ShowSkippedTicks(state_.SkippedListRows);
  if (result.Fault) ShowStopped();
  if (result.ClearRecordLabels) {
    view_.SetFileNameLabel("");
    view_.SetCountLabel("");
    view_.SetRecLabel("");
  }
  std::string listFault;
  if (result.ListRow && list) {
    list->AppendRow(result.ListRowText);
    if (list->Rows().Rows() > ListScrollRows) list->SetTopRow(list->TopRow() + 1);
    if (result.ListSave) listFault = SaveLiveList(*list, result.ListSaveName);
  }
  // Messages last: a message box runs the event loop, where the next ticks
  // come and the live list may close.
  if (result.Fault) dialogs_.Message(result.Fault->Message(), MessageIcon::Stop);
  if (!listFault.empty()) dialogs_.Message(listFault, MessageIcon::Stop);
  return result;
}

std::string PcSampling::SaveLiveList(LiveListView& list, const std::string& name) {
  GridFileResult written = WriteGridShowingProgress(name, list.Rows(), list.Surface());
  // Keep the list when its file failed: its rows are the only copy.
  if (!written.Ok) return "The list cannot be saved:\r\n" + name + "\r\n" + written.Reason;
  list.Restart();
  return {};
}

void SaveLiveListCommand(RecorderState& state, Dialogs& dialogs, const std::function<const GridRows*()>& rows,
                         WindowSurface& window) {
  if (state.Recording) {
    dialogs.Message(ListRecordingMessage(), MessageIcon::Stop);
    return;
  }
  // The busy pointer only while the file is written: over the file dialog it
  // would tell the user to wait while the program waits for the user.
  SaveDialog(state, dialogs);
  if (!state.DialogOK) return;
  // The dialog runs the event loop, where the list may have been saved on its
  // own and opened again: its window and rows are then gone.
  const GridRows* grid = rows();
  if (!grid) {
    state.DialogOK = false;
    dialogs.Message(
        "The list was saved on its own and started again while the dialog was open;\r\nnothing was written to:\r\n" +
            state.RecFileName,
        MessageIcon::Stop);
    return;
  }
  SaveGrid(state, *grid, window, dialogs);
}

}  // namespace qelt
