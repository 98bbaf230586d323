#pragma once
// The simulated instrument behind its port on a virtual clock, the link over
// it, a session and scripted dialogs: what the window tests build a window
// on. Opened, the port is open and named in the session as COM1 "SIM".
#include <utility>

#include "SimTestSupport.hpp"
#include "link/Link.hpp"
#include "platform/ScriptedDialogs.hpp"
#include "session/Session.hpp"

namespace qelt::test {

struct SimLine : SimBench {
  explicit SimLine(InstrumentSettings settings = {}, double startSeconds = 36000.0,
                   DateTime date = {2026, 12, 9, 0, 0, 0}, bool open = true)
      : SimBench(std::move(settings), startSeconds, date, open) {
    if (!open) return;
    session.Meter.ComPort = 1;
    session.Meter.PortDevice = "SIM";
  }

  Link link{host, port};
  Session session;
  ScriptedDialogs dialogs;
};

}  // namespace qelt::test
