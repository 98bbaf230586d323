#pragma once
// Host over the Qt event loop of the running QCoreApplication or QApplication.
// Use from the thread that runs that loop.
//
// A wait handles timers, the port and painting, but not the user's input:
// mouse and key events that come during a wait are held and delivered once
// the event loop is back at its top (or in a dialog's own loop), so that a
// click never opens a dialog or starts a command on top of an exchange.
#include <QElapsedTimer>
#include <QObject>
#include <memory>

#include "platform/Host.hpp"

namespace qelt {

class QtHost : public Host {
 public:
  QtHost();
  ~QtHost() override;
  double SecondsSinceMidnight() override;
  DateTime Now() override;
  double Monotonic() override;
  // processEvents(WaitForMoreEvents), woken by a single-shot timer after
  // maxSeconds or by any event (a port's readyRead among them).
  void RunEvents(double maxSeconds) override;
  bool InsideWait() const override { return depth_ > 0; }
  void SetInputInWaits(bool allowed) override { inputInWaits_ = allowed; }

 private:
  class InputHold;
  // Inside a wait, and not inside a dialog's own loop that began within it.
  bool HoldsInput() const;

  QElapsedTimer clock_;
  int depth_ = 0;
  int waitLoopLevel_ = 0;  // the thread's loop level at the innermost wait
  bool inputInWaits_ = false;
  std::unique_ptr<InputHold> hold_;
};

}  // namespace qelt
