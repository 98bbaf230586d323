#pragma once
// The simulator's own account of what it sent, one JSON object per line, so
// that a test can hold a client's output against it: a live frame's 28 value
// texts keyed by quantity name in measurement-file order, each completed
// clock setting as the seven bytes of "D" and its data in upper-case hex, and
// every piece of bytes received, in hex, with the time it came in.
#include <fstream>
#include <string>

#include "sim/InstrumentListener.hpp"

namespace qelt {

// {"KW1":"002.7",...,"TTheta":"025.2"}
std::string TraceFrameLine(const LiveReading& texts);
// {"clock":"44 11 07 29 13 45 07"} for the six data bytes 11 07 29 13 45 07.
std::string TraceClockLine(const std::string& clockBytes);
// {"received":"77 20","at":12.345678}: at is in seconds since the simulator
// started serving, to the microsecond.
std::string TraceReceivedLine(std::string_view bytes, double at);

// Appends the lines to a file, each flushed as it is written, so that a
// reader sees a line as soon as its reply goes out. Called only from the
// thread that drives the instrument.
class SimTrace : public InstrumentListener {
 public:
  // False with error filled when the file cannot be opened for appending.
  bool Open(const std::string& path, std::string& error);
  void FrameSent(const LiveReading& texts) override;
  void ClockReceived(const std::string& clockBytes) override;
  void BytesReceived(std::string_view bytes, double now) override;

 private:
  void Write(const std::string& line);
  std::ofstream out_;
};

}  // namespace qelt
