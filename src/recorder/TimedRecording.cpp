#include "recorder/TimedRecording.hpp"

#include <algorithm>
#include <cmath>

#include "recorder/SamplingInterval.hpp"
#include "recorder/SamplingStep.hpp"

namespace qelt {
namespace {

// Advances the sampling count over ticks that never came; returns how many
// of them would have taken a sample.
std::int64_t MissTicks(RecorderState& state, std::int64_t ticks) {
  const std::int64_t interval = state.SampleTime;
  const std::int64_t count = state.SampleTick;
  // Ticks up to the first sample, as SampleStep counts them.
  const std::int64_t first = (count == 0 || count >= interval) ? 1 : interval - count + 1;
  if (ticks < first) {
    state.SampleTick = static_cast<int>(count + ticks);
    return 0;
  }
  const std::int64_t after = ticks - first;
  state.SampleTick = static_cast<int>(1 + after % interval);
  return 1 + after / interval;
}

}  // namespace

TimedRecordingResult RunTimedRecording(Host& host, const TimedRecordingOptions& options,
                                       const std::function<ValueTexts()>& values,
                                       const std::function<bool(double nextTick)>& between,
                                       const std::function<void(const std::string& recordLine)>& onRecord,
                                       const std::function<std::uint64_t()>& readingSerial,
                                       const std::function<void(const DateTime&, std::int64_t)>& onSkipped) {
  TimedRecordingResult result;
  RecorderState state;
  state.SampleTime = std::clamp(options.Interval, MinSampleTime, MaxSampleTime);
  state.SampleTick = 0;
  MeasurementRecorder recorder(state);
  recorder.SetSyncEachLine(options.SyncEachLine);
  if (!recorder.Start(options.Out, result.Fault)) {
    result.End = TimedRecordingEnd::FileFault;
    return result;
  }

  WallSecondTicker ticker(host);
  std::int64_t ticks = 0;
  for (;;) {
    while (host.Monotonic() < ticker.Next()) {
      if (between) {
        if (!between(ticker.Next())) {
          result.End = TimedRecordingEnd::Stopped;
          return result;
        }
      } else {
        host.RunEvents(ticker.Next() - host.Monotonic());
      }
    }
    ++ticks;
    if (options.Seconds > 0 && static_cast<double>(ticks) > options.Seconds + 1e-9) break;

    std::optional<std::uint64_t> serial;
    if (readingSerial) serial = readingSerial();
    SampleStepResult step = SampleStep(state, recorder, host, values, serial);
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
    if (step.RecordSkipped) {
      result.Skipped = state.SkippedRecords;
      if (onSkipped) onSkipped(step.Moment, state.SkippedRecords);
    }
    // The ticks a late one missed count as ticks without a new reading.
    if (const std::int64_t missed = ticker.Advance(); missed > 0) {
      ticks += missed;
      const std::int64_t missedSamples = MissTicks(state, missed);
      if (missedSamples > 0 && state.Recording) {
        state.SkippedRecords += missedSamples;
        result.Skipped = state.SkippedRecords;
        if (onSkipped) onSkipped(host.Now(), state.SkippedRecords);
      }
    }
  }
  recorder.Stop();
  return result;
}

}  // namespace qelt
