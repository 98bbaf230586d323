#pragma once
// What an observer of the simulated instrument hears: told on the thread
// that drives the instrument, at the moment a reply is put on the line or
// bytes come in from it.
#include <string>
#include <string_view>

#include "link/LiveReading.hpp"

namespace qelt {

class InstrumentListener {
 public:
  virtual ~InstrumentListener() = default;
  // A live frame's reply starts; texts are what it means, before any fault
  // damaged it. A later command may still cut the reply short.
  virtual void FrameSent(const LiveReading& texts) = 0;
  // A "D" got its sixth data byte; the six bytes as received, valid date or not.
  virtual void ClockReceived(const std::string& clockBytes) = 0;
  // Bytes from the program as they came in, silent or not, at now (the
  // caller's clock, in seconds).
  virtual void BytesReceived(std::string_view bytes, double now) = 0;
};

}  // namespace qelt
