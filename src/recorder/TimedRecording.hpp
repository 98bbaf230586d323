#pragma once
// A whole PC recording without a window, for the command-line tool: the
// same sampling step, recorder and file format as the program's "Save", with
// Timer2's one-second tick taken from the host's monotonic clock.
#include <cstdint>
#include <functional>
#include <string>

#include "platform/Host.hpp"
#include "platform/WallSecondTicker.hpp"
#include "recorder/MeasurementFile.hpp"
#include "recorder/MeasurementRecorder.hpp"

namespace qelt {

struct TimedRecordingOptions {
  std::string Out;           // the recording file (continuations beside it)
  int Interval = 2;          // SampleTime in seconds, 1..86400
  std::int64_t Count = 0;    // stop after this many records; 0: no limit
  double Seconds = 0;        // stop once this many seconds have passed; 0: no limit
  bool SyncEachLine = true;  // off only for long virtual runs of many records
};

enum class TimedRecordingEnd {
  Done,       // the count or the time was reached
  Stopped,    // `between` asked to stop (an instrument that did not answer, a signal)
  FileFault,  // the recording file could not be created or written
};

struct TimedRecordingResult {
  TimedRecordingEnd End = TimedRecordingEnd::Done;
  std::int64_t Records = 0;
  std::int64_t Skipped = 0;  // ticks without a new reading
  RecorderFault Fault;       // when End is FileFault
};

// Opens Out and writes the header, then ticks on every whole second of the
// wall clock, the first about a second after the start; every Interval
// ticks, one record of values() is written and flushed, and onRecord gets
// its line (without CR LF). Between ticks `between(nextTickMonotonic)`
// runs (the tool's live poll); it returns false to end the recording.
// Without `between` the host's event loop runs.
// With neither Count nor Seconds the run goes on until `between` stops it.
// readingSerial (MeterState::ReadingSerial of the values) lets a tick
// without a new reading be skipped; onSkipped then gets the tick's moment
// and the skipped count so far. A tick that comes late (a poll waited for
// its reply) is taken once, and the missed ticks count toward the next sample.
TimedRecordingResult RunTimedRecording(Host& host, const TimedRecordingOptions& options,
                                       const std::function<ValueTexts()>& values,
                                       const std::function<bool(double nextTick)>& between,
                                       const std::function<void(const std::string& recordLine)>& onRecord = {},
                                       const std::function<std::uint64_t()>& readingSerial = {},
                                       const std::function<void(const DateTime&, std::int64_t)>& onSkipped = {});

}  // namespace qelt
