#pragma once
// Host over the Qt event loop of the running QCoreApplication or QApplication.
// Use from the thread that runs that loop.
#include <QElapsedTimer>
#include <QObject>

#include "platform/Host.hpp"

namespace qelt {

class QtHost : public Host {
 public:
  QtHost();
  double SecondsSinceMidnight() override;
  DateTime Now() override;
  double Monotonic() override;
  // processEvents(WaitForMoreEvents), woken by a single-shot timer after
  // maxSeconds or by any event (a port's readyRead among them).
  void RunEvents(double maxSeconds) override;

 private:
  QElapsedTimer clock_;
};

}  // namespace qelt
