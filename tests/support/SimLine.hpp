#pragma once
// A simulated instrument on a virtual clock behind its port, the link over
// it, a session and scripted dialogs: what the window tests build a window
// on. Opened, the port is open and named in the session as COM1 "SIM".
#include <string>
#include <utility>

#include "link/Link.hpp"
#include "platform/ScriptedDialogs.hpp"
#include "platform/VirtualHost.hpp"
#include "session/Session.hpp"
#include "sim/Instrument.hpp"
#include "sim/SimPort.hpp"

namespace qelt::test {

struct SimLine {
  explicit SimLine(InstrumentSettings settings = {}, double startSeconds = 36000.0,
                   DateTime date = {2026, 12, 9, 0, 0, 0}, bool open = true)
      : host(startSeconds, date), instrument(std::move(settings)), port(host, instrument), link(host, port) {
    if (!open) return;
    std::string error;
    port.Open("SIM", "19200,n,8,1", error);
    session.Meter.ComPort = 1;
    session.Meter.PortDevice = "SIM";
  }

  VirtualHost host;
  Instrument instrument;
  SimPort port;
  Link link;
  Session session;
  ScriptedDialogs dialogs;
};

}  // namespace qelt::test
