#include "recorder/SamplingStep.hpp"

namespace qelt {

SampleStepResult SampleStep(RecorderState& state, MeasurementRecorder& recorder, Host& host,
                            const std::function<ValueTexts()>& values) {
  SampleStepResult result;
  if (!(state.SampleTick >= state.SampleTime || state.SampleTick == 0)) {
    ++state.SampleTick;
    return result;
  }
  result.Sampled = true;
  result.Moment = host.Now();
  result.Sample = SampleLine(result.Moment, values());

  if (state.Recording) {
    RecorderFault fault;
    if (recorder.Write(result.Sample, fault)) {
      result.Recorded = true;
      result.CountText = std::to_string(state.RecCount);
      result.RecText = "Rec";
    } else {
      result.Fault = fault;
    }
  }
  if (!state.Recording) {
    state.RecPart = 0;
    state.RecCount = 0;
    result.ClearRecordLabels = true;
  }

  if (state.ListActive) {
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
