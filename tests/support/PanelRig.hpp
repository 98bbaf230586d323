#pragma once
// The main window on an unpaced simulated instrument, on a virtual clock,
// loaded and with both of its timers stopped: the window tests drive the
// polls and ticks by hand. PC sampling is attached; a test that attaches more
// before the load asks for no start and calls Start() itself.
#include "app/Attach.hpp"
#include "link/Link.hpp"
#include "panel/PanelWindow.hpp"
#include "platform/ScriptedDialogs.hpp"
#include "platform/VirtualHost.hpp"
#include "platform/qt/Toolbar.hpp"
#include "session/Session.hpp"
#include "sim/Instrument.hpp"
#include "sim/SimPort.hpp"

namespace qelt::test {

inline InstrumentSettings Unpaced() {
  InstrumentSettings s;
  s.Paced = false;
  return s;
}

struct PanelRig {
  explicit PanelRig(DateTime date, bool start = true) : host(10 * 3600.0, date) {
    session.Meter.PortDevice = "SIM";
    sampling = AttachPcSampling(panel, session, dialogs, &host);
    if (start) Start();
  }

  // Shows and loads the window, then stops its timers.
  void Start() {
    panel.show();
    panel.Load();
    panel.StopTimer1();
    panel.Timer2().stop();
  }

  void Key(const char* key) { panel.Toolbar1().Click(panel.Toolbar1().IndexOf(key)); }

  VirtualHost host;
  Instrument instrument{Unpaced()};
  SimPort port{host, instrument};
  Session session;
  Link link{host, port};
  ScriptedDialogs dialogs;
  PanelWindow panel{session, link, dialogs};
  PcSamplingController* sampling = nullptr;
};

}  // namespace qelt::test
