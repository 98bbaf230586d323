#include "recorder/TimedRecording.hpp"

#include <algorithm>

#include "recorder/SamplingInterval.hpp"
#include "recorder/SamplingStep.hpp"

namespace qelt {

TimedRecordingResult RunTimedRecording(Host& host, const TimedRecordingOptions& options,
                                       const std::function<ValueTexts()>& values,
                                       const std::function<bool(double nextTick)>& between,
                                       const std::function<void(const std::string& recordLine)>& onRecord) {
  TimedRecordingResult result;
  RecorderState state;
  state.SampleTime = std::clamp(options.Interval, MinSampleTime, MaxSampleTime);
  state.SampleTick = 0;
  MeasurementRecorder recorder(state);
  if (!recorder.Start(options.Out, result.Fault)) {
    result.End = TimedRecordingEnd::FileFault;
    return result;
  }

  const double start = host.Monotonic();
  double nextTick = start + 1.0;
  for (;;) {
    while (host.Monotonic() < nextTick) {
      if (between) {
        if (!between(nextTick)) {
          result.End = TimedRecordingEnd::Stopped;
          return result;
        }
      } else {
        host.RunEvents(nextTick - host.Monotonic());
      }
    }
    if (options.Seconds > 0 && nextTick - start > options.Seconds + 1e-9) break;

    SampleStepResult step = SampleStep(state, recorder, host, values);
    if (step.Fault) {
      result.End = TimedRecordingEnd::FileFault;
      result.Fault = *step.Fault;
      return result;
    }
    if (step.Recorded) {
      ++result.Records;
      if (onRecord) onRecord(RecordLine(state.RecCount, step.Sample));
      if (options.Count > 0 && result.Records >= options.Count) break;
    }
    // Like a timer, a late tick is not made up for twice.
    nextTick = std::max(nextTick + 1.0, host.Monotonic());
  }
  recorder.Stop();
  return result;
}

}  // namespace qelt
