#pragma once
// A VirtualHost with a simulated instrument behind a SimPort, and the few
// port steps the tests repeat.
#include <string>
#include <string_view>
#include <utility>

#include "platform/VirtualHost.hpp"
#include "sim/Instrument.hpp"
#include "sim/SimPort.hpp"

namespace qelt::test {

// Opened, the port is open at 19 200 baud.
struct SimBench {
  explicit SimBench(InstrumentSettings settings = {}, double startSeconds = 36000.0,
                    DateTime date = {2026, 12, 9, 0, 0, 0}, bool open = true)
      : host(startSeconds, date), instrument(std::move(settings)), port(host, instrument) {
    if (!open) return;
    std::string error;
    port.Open("SIM", "19200,n,8,1", error);
  }

  // Writes bytes and collects the reply until it holds at least count bytes
  // or limit seconds of virtual time have passed.
  std::string Exchange(std::string_view bytes, std::size_t count, double limit = 5.0) {
    port.Write(bytes);
    return Collect(count, limit);
  }

  std::string Collect(std::size_t count, double limit = 5.0) {
    std::string reply;
    const double end = host.Monotonic() + limit;
    while (reply.size() < count && host.Monotonic() < end) {
      host.RunEvents(end - host.Monotonic());
      reply += port.ReadAll();
    }
    return reply;
  }

  // Lets virtual time pass and returns what arrived meanwhile.
  std::string Wait(double seconds) {
    const double end = host.Monotonic() + seconds;
    while (host.Monotonic() < end) host.RunEvents(end - host.Monotonic());
    return port.ReadAll();
  }

  VirtualHost host;
  Instrument instrument;
  SimPort port;
};

inline InstrumentSettings Unpaced(InstrumentSettings s = {}) {
  s.Paced = false;
  return s;
}

inline unsigned Byte(const std::string& s, std::size_t i) { return static_cast<unsigned char>(s.at(i)); }

}  // namespace qelt::test
