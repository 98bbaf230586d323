#pragma once
// One tick of Timer2 (every 1000 ms): every SampleTime ticks a sample of the
// live values goes to the recording file and to the live list. The caller
// shows the result; nothing here touches a window.
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "platform/Host.hpp"
#include "recorder/MeasurementFile.hpp"
#include "recorder/MeasurementRecorder.hpp"
#include "session/RecorderState.hpp"

namespace qelt {

struct SampleStepResult {
  bool Sampled = false;  // this tick took a sample
  DateTime Moment;       // the sampling moment
  std::string Sample;    // the sample line

  bool Recorded = false;  // a record line was written
  // No reading newer than the last record's: nothing was written.
  bool RecordSkipped = false;
  std::string CountText;  // the count label's text when Recorded or RecordSkipped
  std::string RecText;    // the "Rec" label's text when Recorded ("Rec")
  // The recording file failed; the recording has been stopped.
  std::optional<RecorderFault> Fault;
  // No recording runs: the file name, count and "Rec" labels are emptied.
  bool ClearRecordLabels = false;

  bool ListRow = false;         // append ListRowText to the live list
  bool ListRowSkipped = false;  // no reading newer than the last row's
  std::string ListRowText;
  // The live list holds a multiple of 10 000 samples: save it to ListSaveName
  // in the current folder and open it again empty.
  bool ListSave = false;
  std::string ListSaveName;
};

// The sampling step. values is called once, at the sampling moment, for the
// texts of the value labels. readingSerial is MeterState::ReadingSerial of the
// reading they show; without it every sample is taken as new.
SampleStepResult SampleStep(RecorderState& state, MeasurementRecorder& recorder, Host& host,
                            const std::function<ValueTexts()>& values,
                            std::optional<std::uint64_t> readingSerial = std::nullopt);

// The count label's text: the record count, and the skipped ticks when there were any ("25 (3 skipped)").
std::string RecordCountText(const RecorderState& state);

// The live list scrolls by one row once it has more than this many grid rows.
inline constexpr int ListScrollRows = 15;

}  // namespace qelt
