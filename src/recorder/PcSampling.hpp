#pragma once
// The PC sampling commands of the main window: "Save" (start or stop a
// recording), "Open" (a measurement file into the file list), "Sampling"
// (the interval), and the Timer2 step that feeds the recording file and the
// live list. The windows are reached through the views below, so all of it
// runs without Qt. All calls on the user-interface thread.
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "platform/Dialogs.hpp"
#include "platform/GridRows.hpp"
#include "platform/Host.hpp"
#include "recorder/MeasurementFile.hpp"
#include "recorder/MeasurementRecorder.hpp"
#include "recorder/SamplingStep.hpp"
#include "records/GridCommands.hpp"
#include "session/RecorderState.hpp"

namespace qelt {

// The recording status controls of the main window.
class RecorderView {
 public:
  virtual ~RecorderView() = default;
  virtual void SetFileNameLabel(const std::string& text) = 0;  // LblFileName
  virtual void SetCountLabel(const std::string& text) = 0;     // LblCount
  virtual void SetRecLabel(const std::string& text) = 0;       // LblRec caption
  virtual void SetRecLabelVisible(bool visible) = 0;
  // Toolbar button 1: while recording it takes the picture of button 9 and
  // the tool tip "Stop Recording"; otherwise the picture of button 11 and
  // "Start Recording".
  virtual void SetRecordingButton(bool recording) = 0;
  // The texts of the 28 value labels, in measurement-record order.
  virtual ValueTexts ValueLabelTexts() const = 0;
};

// The live record list window as the sampling step uses it.
class LiveListView {
 public:
  virtual ~LiveListView() = default;
  virtual const GridRows& Rows() const = 0;
  virtual void AppendRow(std::string_view tabRow) = 0;
  virtual int TopRow() const = 0;
  virtual void SetTopRow(int row) = 0;
  // The list window's caption and busy pointer, for saving it.
  virtual WindowSurface& Surface() = 0;
  // Closes the window and opens it again empty (titles only).
  virtual void Restart() = 0;
  // Sampling ticks skipped so far because no new reading had come.
  virtual void ShowSkippedTicks(std::int64_t skipped) = 0;
};

// Where "Open" puts what it reads: a new file list window.
class FileListTarget {
 public:
  virtual ~FileListTarget() = default;
  virtual void CloseOpenList() = 0;                       // closes a file list window that is open
  virtual void OpenList(const std::string& caption) = 0;  // a new, empty one
  virtual void AppendRow(std::string_view tabRow) = 0;
  virtual void SetCaption(const std::string& caption) = 0;
  // The full path of the file being listed, once its list is open.
  virtual void SetSource(const std::string& /*path*/) {}
};

class PcSampling {
 public:
  PcSampling(RecorderState& state, Host& host, Dialogs& dialogs, RecorderView& view)
      : state_(state), host_(host), dialogs_(dialogs), view_(view), recorder_(state) {}

  // "Save": starts a recording when none runs (save dialog, header), stops
  // the one that runs. A file that cannot be created is reported.
  void Save();
  void StartRecording(const std::string& path);  // after the save dialog
  void StopRecording();

  // "Open": refused while recording ("Recording Mode!"); otherwise the open
  // dialog, then the file into a new file list. A file that cannot be
  // opened or read is reported; the rows read so far stay.
  void Open(FileListTarget& target);

  // "Sampling": the input box; a valid answer sets SampleTime.
  void Sampling();

  // One Timer2 tick. values gives the texts of the value labels, list is the
  // live list window while it is open (else null). A recording file that
  // fails stops the recording and is reported; an automatic list save that
  // fails is reported and the list is kept.
  // readingSerial: see SampleStep.
  SampleStepResult Tick(const std::function<ValueTexts()>& values, LiveListView* list,
                        std::optional<std::uint64_t> readingSerial = std::nullopt);

  MeasurementRecorder& Recorder() { return recorder_; }
  RecorderState& State() { return state_; }

 private:
  void ShowStopped();
  // The automatic save and restart of the live list; the message to show
  // when the file could not be written (the list is then kept), else empty.
  std::string SaveLiveList(LiveListView& list, const std::string& name);

  RecorderState& state_;
  Host& host_;
  Dialogs& dialogs_;
  RecorderView& view_;
  MeasurementRecorder recorder_;
  bool opening_ = false;  // a file is being read into the list
};

// "Recording Mode!", LF, CR, "Please stop recording!"
const std::string& RecordingModeMessage();
// "Aready in recording mode, close it and try again !"
const std::string& ListRecordingMessage();
// "12 Records Completed": the caption while "Open" reads line 12.
std::string OpenProgressCaption(int lineNumber);

// "Save" of the live list: refused while recording; otherwise the save
// dialog and the grid written to the chosen file (busy pointer meanwhile).
// rows is asked for the grid once the dialog has ended; null when the list's
// window went away meanwhile, and then nothing is written.
void SaveLiveListCommand(RecorderState& state, Dialogs& dialogs, const std::function<const GridRows*()>& rows,
                         WindowSurface& window);

}  // namespace qelt
