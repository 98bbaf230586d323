#pragma once
// The main window on an unpaced simulated instrument, on a virtual clock,
// loaded and with both of its timers stopped: the window tests drive the
// polls and ticks by hand. PC sampling is attached; a test that attaches more
// before the load asks for no start and calls Start() itself.
#include "SimLine.hpp"
#include "ToolbarKeys.hpp"
#include "app/Attach.hpp"
#include "panel/PanelWindow.hpp"
#include "platform/qt/Toolbar.hpp"

namespace qelt::test {

// The port is opened by the window's load.
struct PanelRig : SimLine {
  explicit PanelRig(DateTime date, bool start = true) : SimLine(Unpaced(), 10 * 3600.0, date, false) {
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

  void Key(const char* key) { test::Press(panel.Toolbar1(), key); }

  PanelWindow panel{session, link, dialogs};
  PcSamplingController* sampling = nullptr;
};

}  // namespace qelt::test
