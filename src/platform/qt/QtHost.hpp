#pragma once
// Host over the Qt event loop of the running QCoreApplication or QApplication.
// Use from the thread that runs that loop.
//
// A wait handles timers, the port and painting; the user's input is held
// meanwhile, but for a passage to a running exchange's cancel (WaitInput).
#include <QElapsedTimer>
#include <memory>

#include "platform/Host.hpp"
#include "platform/qt/WaitInput.hpp"

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
  bool InsideWait() const override { return input_ && input_->InsideWait(); }
  // The hold of the user's input in the waits; made at the first call, once
  // the application exists.
  WaitInput& Input();

 private:
  QElapsedTimer clock_;
  std::unique_ptr<WaitInput> input_;
};

}  // namespace qelt
