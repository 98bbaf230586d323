#pragma once
// What the other subsystems may do to the main window: stop its live poll
// (Timer1) around an exchange of their own and start it again afterwards.
// The main window implements it; tests use a plain fake.
#include <string>

namespace qelt {

class PanelControl {
 public:
  virtual ~PanelControl() = default;
  virtual void StopTimer1() = 0;
  // Does nothing once the program is ending.
  virtual void StartTimer1() = 0;
  virtual bool Timer1Active() const = 0;
  // Says why the live readings stand still (the values dimmed, the reason
  // as a tip) until Timer1 starts again.
  virtual void ShowPollPaused(const std::string& why) { (void)why; }
};

}  // namespace qelt
