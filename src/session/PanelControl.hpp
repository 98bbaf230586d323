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

// The live poll stopped for as long as this lives, started again however the
// work ends.
class PollPause {
 public:
  explicit PollPause(PanelControl& panel) : panel_(panel) { panel_.StopTimer1(); }
  ~PollPause() { panel_.StartTimer1(); }
  PollPause(const PollPause&) = delete;
  PollPause& operator=(const PollPause&) = delete;

 private:
  PanelControl& panel_;
};

}  // namespace qelt
