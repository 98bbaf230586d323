#include "recorder/SamplingStep.hpp"

namespace qelt {

std::string RecordCountText(const RecorderState& state) {
  std::string text = std::to_string(state.RecCount);
  if (state.SkippedRecords > 0) text += " (" + std::to_string(state.SkippedRecords) + " skipped)";
  return text;
}

SampleStepResult SampleStep(RecorderState& state, MeasurementRecorder& recorder, Host& host,
                            const std::function<ValueTexts()>& values, std::optional<std::uint64_t> readingSerial) {
  SampleStepResult result;
  if (!(state.SampleTick >= state.SampleTime || state.SampleTick == 0)) {
    ++state.SampleTick;
    return result;
  }
  result.Sampled = true;
  result.Moment = host.Now();
  result.Sample = SampleLine(result.Moment, values());

  const std::uint64_t serial = readingSerial.value_or(0);
  auto stale = [&](std::int64_t taken, std::uint64_t takenSerial) {
    return readingSerial && taken > 0 && serial == takenSerial;
  };
  if (state.Recording) {
    RecorderFault fault;
    if (stale(state.RecCount, state.RecordedSerial)) {
      ++state.SkippedRecords;
      result.RecordSkipped = true;
      result.CountText = RecordCountText(state);
    } else if (recorder.Write(result.Sample, fault)) {
      state.RecordedSerial = serial;
      result.Recorded = true;
      result.CountText = RecordCountText(state);
      result.RecText = "Rec";
    } else {
      result.Fault = fault;
    }
  }
  if (!state.Recording) {
    state.RecPart = 0;
    state.RecCount = 0;
    state.SkippedRecords = 0;
    result.ClearRecordLabels = true;
  }

  if (state.ListActive && stale(state.ListCount, state.ListedSerial)) {
    ++state.SkippedListRows;
    result.ListRowSkipped = true;
  } else if (state.ListActive) {
    state.ListedSerial = serial;
    ++state.ListCount;
    result.ListRow = true;
    result.ListRowText = RecordLine(state.ListCount, result.Sample);
    if (state.ListCount % RecordsPerFile == 0) {
      result.ListSave = true;
      result.ListSaveName = ListAutoSaveName(result.Moment);
    }
  }
  state.SampleTick = 1;
  return result;
}

}  // namespace qelt
