#pragma once
// The main window's poll control without a window: records what the other
// subsystems did to the poll.
#include <string>

#include "session/PanelControl.hpp"

namespace qelt::test {

struct FakePanel : PanelControl {
  bool Timer1Active() const override { return active; }
  void ShowPollPaused(const std::string& why) override { paused = why; }

  bool active = true;
  int stops = 0;
  int starts = 0;
  std::string paused;  // the reason last shown; cleared when the poll starts

 protected:
  void StopPoll() override {
    active = false;
    ++stops;
  }
  void StartPoll() override {
    active = true;
    paused.clear();
    ++starts;
  }
};

}  // namespace qelt::test
