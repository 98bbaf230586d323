#pragma once
// A SerialPort wired straight to a simulated Instrument on a VirtualHost's
// clock: what is written reaches the instrument at host.Monotonic(), and
// replies become readable when the clock reaches their arrival time. The
// port registers itself as a wake source of the host, so RunEvents moves the
// clock straight to the next arriving byte.
//
// The host and the instrument must outlive the port. Same thread as the host.
#include <string>

#include "platform/SerialPort.hpp"
#include "platform/VirtualHost.hpp"
#include "sim/Instrument.hpp"

namespace qelt {

class SimPort : public SerialPort {
 public:
  SimPort(VirtualHost& host, Instrument& instrument);
  ~SimPort() override;
  SimPort(const SimPort&) = delete;
  SimPort& operator=(const SimPort&) = delete;

  // Always succeeds unless an open error is set. Opening drops replies that
  // arrived while the port was closed, as a fresh device buffer would.
  bool Open(const std::string& device, const std::string& settings, std::string& error) override;
  bool IsOpen() const override { return open_; }
  // While closed, writes are lost and reads return nothing.
  void Write(std::string_view bytes) override;
  std::string ReadAll() override;
  std::size_t Pending() override;

  // Non-empty: every Open fails with this text (for tests of open errors).
  void SetOpenError(std::string error) { openError_ = std::move(error); }
  // The device going away; Open works again afterwards.
  void Close() { open_ = false; }

  const std::string& Device() const { return device_; }
  const std::string& Settings() const { return settings_; }
  // Every byte written while open, in order, until cleared.
  const std::string& Written() const { return written_; }
  void ClearWritten() { written_.clear(); }

  Instrument& Sim() { return instrument_; }

 private:
  VirtualHost& host_;
  Instrument& instrument_;
  int wakeSource_ = 0;
  bool open_ = false;
  std::string openError_;
  std::string device_;
  std::string settings_;
  std::string written_;
};

}  // namespace qelt
