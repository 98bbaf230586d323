#include "platform/qt/QtHost.hpp"

#include <QCoreApplication>
#include <QDateTime>
#include <QThread>
#include <algorithm>
#include <cmath>

#include "platform/qt/QtDateTime.hpp"

namespace qelt {

QtHost::QtHost() { clock_.start(); }

WaitInput& QtHost::Input() {
  if (!input_) input_ = std::make_unique<WaitInput>();
  return *input_;
}

QtHost::~QtHost() = default;

double QtHost::SecondsSinceMidnight() {
  QTime t = QTime::currentTime();
  return t.msecsSinceStartOfDay() / 1000.0;
}

DateTime QtHost::Now() { return LocalNow(); }

double QtHost::Monotonic() { return static_cast<double>(clock_.nsecsElapsed()) / 1e9; }

void QtHost::RunEvents(double maxSeconds) {
  // At most an hour per call (and none for NaN), so the conversion cannot overflow.
  double seconds = std::isfinite(maxSeconds) ? std::clamp(maxSeconds, 0.0, 3600.0) : (maxSeconds > 0 ? 3600.0 : 0.0);
  const auto ms = static_cast<int>(std::ceil(seconds * 1000.0));
  if (QCoreApplication::instance()) {
    Input().Wait(ms);
  } else if (ms > 0) {
    QThread::msleep(static_cast<unsigned long>(ms));
  }
}

}  // namespace qelt
