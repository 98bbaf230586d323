#pragma once
// The simulator's own account of what it sent, one JSON object per line, so
// that a test can hold a client's output against it: a live frame's 28 value
// texts keyed by quantity name in measurement-file order, and each completed
// clock setting as the seven bytes of "D" and its data in upper-case hex.
#include <fstream>
#include <string>

#include "sim/InstrumentListener.hpp"

namespace qelt {

// {"KW1":"002.7",...,"TTheta":"025.2"}
std::string TraceFrameLine(const LiveReading& texts);
// {"clock":"44 11 07 29 13 45 07"} for the six data bytes 11 07 29 13 45 07.
std::string TraceClockLine(const std::string& clockBytes);

// Appends the lines to a file, each flushed as it is written, so that a
// reader sees a line as soon as its reply goes out. Called only from the
// thread that drives the instrument.
class SimTrace : public InstrumentListener {
 public:
  // False with error filled when the file cannot be opened for appending.
  bool Open(const std::string& path, std::string& error);
  void FrameSent(const LiveReading& texts) override;
  void ClockReceived(const std::string& clockBytes) override;

 private:
  void Write(const std::string& line);
  std::ofstream out_;
};

}  // namespace qelt
