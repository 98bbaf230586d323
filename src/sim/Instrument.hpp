#pragma once
// The simulated power analyzer as a pure state machine on caller-supplied
// time: bytes go in with Receive, replies come out of a queue in which every
// byte has its arrival time. No threads, no clock of its own; one caller at a
// time (the thread that owns it).
//
// Time: seconds on the caller's monotonic clock; it must not go backwards
// between calls.
//
// Behaviour on the line:
// - "w" is echoed; " " gives the 61-byte live frame of the load model;
//   "D" + 6 packed-BCD bytes sets the clock; "T" the logger directory;
//   "K" + set number its 10-byte entry (ten zero bytes for no such set) and
//   selects it; every "k" the next 256-byte block of the selected set (the
//   rest for the last, nothing past the end); "G" erases the memory;
//   "a".."f" 243 bytes of waveform; "E" ends a pending "D" or "K".
// - A new command drops whatever of an earlier reply has not left yet, as a
//   new request interrupts the instrument's transmitter.
// - The data bytes of "D" and "K" may come in any pieces. A pending "D" or
//   "K" whose next byte does not come within CommandTimeout is forgotten.
//   During "D", 0x45 ("E") is taken as data only where it is a valid value
//   of that field (year, minute, second); elsewhere it ends the command.
// - Paced: a reply starts ReplyLatency after its command and then takes
//   1 / BytesPerSecond per byte (19 200 baud: 1 920 bytes per second).
//   Unpaced: it arrives at once.
#include <cstddef>
#include <cstdint>
#include <deque>
#include <limits>
#include <optional>
#include <string>
#include <string_view>

#include "link/LiveReading.hpp"
#include "platform/Host.hpp"
#include "sim/FaultSettings.hpp"
#include "sim/InstrumentListener.hpp"
#include "sim/LoadModel.hpp"
#include "sim/LoggerMemory.hpp"
#include "sim/SimRandom.hpp"

namespace qelt {

struct InstrumentSettings {
  LoadSettings Load;
  FaultSettings Faults;
  std::string Logger = "small";  // a LoggerMemory preset: empty, small, large, full
  bool Paced = true;
  double BytesPerSecond = 1920.0;
  double ReplyLatency = 0.002;  // seconds from a command to the first byte of its reply
  double CommandTimeout = 1.0;  // seconds a pending "D" or "K" waits for its next byte
  std::uint64_t Seed = 1;
  // The clock at time 0; unset: 2000-01-01 00:00:00, as after a flat battery.
  std::optional<DateTime> Clock;
};

class Instrument {
 public:
  explicit Instrument(InstrumentSettings settings = {});

  // Bytes from the program, received at time now.
  void Receive(std::string_view bytes, double now);

  // Removes and returns the reply bytes that have arrived by now.
  std::string TakeArrived(double now);
  std::size_t ArrivedCount(double now) const;
  // Arrival time of the first queued byte, or infinity when none is queued.
  double NextArrival() const;
  // Arrival time of the first queued byte that arrives after t, or infinity.
  double NextArrivalAfter(double t) const;
  // Arrival time of the last queued byte that has arrived by t, or minus infinity.
  double LastArrivalBy(double t) const;
  std::size_t QueuedCount() const { return queue_.size(); }

  static constexpr double Never = std::numeric_limits<double>::infinity();

  // Settings that may change while it runs.
  LoadModel& Load() { return load_; }
  LoggerMemory& Logger() { return logger_; }
  FaultSettings& Faults() { return settings_.Faults; }
  void SetPaced(bool paced) { settings_.Paced = paced; }
  // As constructed, with the present faults and pacing; the load lives in Load().
  const InstrumentSettings& Settings() const { return settings_; }

  // What the last live frame should decode to, text for text, and the frame
  // as meant (before any fault damaged it). Empty before the first frame.
  const LiveReading& LastReadingTexts() const { return lastTexts_; }
  const std::string& LastFrame() const { return lastFrame_; }

  // The clock, kept as an offset from the caller's time.
  DateTime ClockAt(double now) const;
  void SetClock(const DateTime& t, double now);
  // The six bytes of the last complete "D", valid date or not; empty before.
  const std::string& LastClockBytes() const { return lastClockBytes_; }
  // False when the last "D" carried no valid date and time (the clock kept running).
  bool LastClockValid() const { return lastClockValid_; }

  // Told of every live frame and completed "D"; not owned, nullptr for none.
  void SetListener(InstrumentListener* listener) { listener_ = listener; }

  // Logs a new set as if logging had just ended at now: count records every
  // interval seconds with the present load and wiring. False when the memory
  // refuses it (10 sets or no room).
  bool LogSet(int count, int intervalSeconds, double now);

  // Counters for tests.
  long CommandCount() const { return commands_; }       // commands answered (data bytes not counted)
  const std::string& Commands() const { return log_; }  // those command bytes, in order (last 4096)
  long FramesDamaged() const { return framesDamaged_; }
  long BytesCorrupted() const { return bytesCorrupted_; }
  bool IsSilent() const;

 private:
  enum class Pending { None, Clock, SelectSet };

  void Command(char c, double now);
  void ClockByte(std::uint8_t b, double now);
  void Send(std::string bytes, double now);
  void DropUnsent(double now);
  void SendFrame(double now);

  struct Byte {
    double At;
    char Value;
  };

  InstrumentSettings settings_;
  LoadModel load_;
  LoggerMemory logger_;
  SimRandom rng_;
  std::deque<Byte> queue_;

  Pending pending_ = Pending::None;
  double lastByteAt_ = 0;
  std::string clockBytes_;
  std::string lastClockBytes_;
  bool lastClockValid_ = false;
  long long clockBase_;  // civil seconds at clockAt_
  double clockAt_ = 0;

  int selectedSet_ = 0;
  std::size_t blockCursor_ = 0;

  InstrumentListener* listener_ = nullptr;
  LiveReading lastTexts_;
  std::string lastFrame_;
  long commands_ = 0;
  std::string log_;
  long framesDamaged_ = 0;
  long bytesCorrupted_ = 0;
};

}  // namespace qelt
