#pragma once
// What the other subsystems may do to the main window: stop its live poll
// (Timer1) and start it again. The main window implements it; tests use the
// fake in tests/support.
//
// Two kinds of stop: one piece of work (a download, an acquisition, a print)
// holds a PollPause, and pauses nest; a window that stops the poll for its
// own lifetime calls StopTimer1 and StartTimer1. While any PollPause lives,
// StartTimer1 does nothing: the last pause to end starts the poll.
#include <string>

namespace qelt {

class PanelControl {
 public:
  virtual ~PanelControl() = default;
  void StopTimer1() { StopPoll(); }
  // Does nothing while a pause holds the poll, or once the program is ending.
  void StartTimer1() {
    if (pauses_ == 0) StartPoll();
  }
  virtual bool Timer1Active() const = 0;
  // Says why the live readings stand still (the values dimmed, the reason
  // as a tip) until Timer1 starts again.
  virtual void ShowPollPaused(const std::string& why) { (void)why; }
  int Pauses() const { return pauses_; }

 protected:
  virtual void StopPoll() = 0;
  virtual void StartPoll() = 0;

 private:
  friend class PollPause;
  int pauses_ = 0;
};

// The live poll stopped for as long as this lives; when the last pause ends,
// however its work ends, the poll runs again.
class PollPause {
 public:
  explicit PollPause(PanelControl& panel) : panel_(panel) {
    ++panel_.pauses_;
    panel_.StopPoll();
  }
  // With a reason shown on the values while the poll stands still.
  PollPause(PanelControl& panel, const std::string& why) : PollPause(panel) { panel_.ShowPollPaused(why); }
  ~PollPause() {
    if (--panel_.pauses_ == 0) panel_.StartTimer1();
  }
  PollPause(const PollPause&) = delete;
  PollPause& operator=(const PollPause&) = delete;

 private:
  PanelControl& panel_;
};

}  // namespace qelt
