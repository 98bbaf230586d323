#pragma once
// A window for the core's tests: its caption and every caption set, the busy
// pointer's depth, and the turns of the event loop. Close() makes it gone;
// a test that needs something to happen inside the event loop overrides
// RunEventsOnce.
#include <string>
#include <vector>

#include "platform/WindowSurface.hpp"

namespace qelt {

class ScriptedWindow : public WindowSurface {
 public:
  explicit ScriptedWindow(std::string caption = {}) : Title(std::move(caption)) {}

  std::string Caption() const override;
  void SetCaption(const std::string& caption) override;
  void SetBusy(bool busy) override;
  bool Gone() const override { return closed_; }
  void RunEventsOnce() override { ++Events; }

  void Close() { closed_ = true; }

  std::string Title;
  std::vector<std::string> Captions;  // every caption set, in order
  int Busy = 0;                       // the busy pointer's depth now
  int MaxBusy = 0;
  int Events = 0;

 private:
  bool closed_ = false;
};

}  // namespace qelt
