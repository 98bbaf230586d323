#include "platform/qt/QtHost.hpp"

#include <QAbstractEventDispatcher>
#include <QCoreApplication>
#include <QDateTime>
#include <QEvent>
#include <QEventLoop>
#include <QPointer>
#include <QThread>
#include <QTimer>
#include <algorithm>
#include <cmath>
#include <vector>

#include "platform/qt/QtDateTime.hpp"

namespace qelt {

namespace {
bool IsUserInput(QEvent::Type type) {
  switch (type) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::Wheel:
    case QEvent::ContextMenu:
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TouchEnd: return true;
    default: return false;
  }
}
}  // namespace

// The window system's input stays in its queue during a wait (the loop runs
// without it); this holds what is posted or sent meanwhile (other programs'
// synthetic events, tests) and posts it again once the wait is over.
class QtHost::InputHold : public QObject {
 public:
  explicit InputHold(QtHost& host) : host_(host) {
    QCoreApplication::instance()->installEventFilter(this);
    // A loop that runs outside every wait (the top, a dialog's) takes what
    // was held; a wait keeps it, so that nothing spins.
    if (auto* dispatcher = QAbstractEventDispatcher::instance()) {
      auto release = [this] {
        if (!held_.empty() && !host_.HoldsInput()) Release();
      };
      connect(dispatcher, &QAbstractEventDispatcher::awake, this, release);
      connect(dispatcher, &QAbstractEventDispatcher::aboutToBlock, this, release);
    }
  }

 private:
  void Release() {
    std::vector<Held> held;
    held.swap(held_);
    for (Held& h : held)
      if (h.Receiver) QCoreApplication::postEvent(h.Receiver, h.Event.release());
  }

  bool eventFilter(QObject* watched, QEvent* event) override {
    if (!IsUserInput(event->type()) || !host_.HoldsInput()) return false;
    held_.push_back({watched, std::unique_ptr<QEvent>(event->clone())});
    return true;
  }

  struct Held {
    QPointer<QObject> Receiver;
    std::unique_ptr<QEvent> Event;
  };
  QtHost& host_;
  std::vector<Held> held_;
};

QtHost::QtHost() { clock_.start(); }

bool QtHost::HoldsInput() const {
  return depth_ > 0 && !inputInWaits_ && QThread::currentThread()->loopLevel() == waitLoopLevel_;
}

QtHost::~QtHost() = default;

double QtHost::SecondsSinceMidnight() {
  QTime t = QTime::currentTime();
  return t.msecsSinceStartOfDay() / 1000.0;
}

DateTime QtHost::Now() { return LocalNow(); }

double QtHost::Monotonic() { return static_cast<double>(clock_.nsecsElapsed()) / 1e9; }

void QtHost::RunEvents(double maxSeconds) {
  if (!hold_ && QCoreApplication::instance()) hold_ = std::make_unique<InputHold>(*this);
  QEventLoop::ProcessEventsFlags flags = QEventLoop::AllEvents;
  if (!inputInWaits_) flags |= QEventLoop::ExcludeUserInputEvents;
  struct Depth {
    QtHost& Host;
    int OuterLevel;
    explicit Depth(QtHost& host) : Host(host), OuterLevel(host.waitLoopLevel_) {
      ++Host.depth_;
      Host.waitLoopLevel_ = QThread::currentThread()->loopLevel();
    }
    ~Depth() {
      Host.waitLoopLevel_ = OuterLevel;
      --Host.depth_;
    }
  } depth(*this);

  // At most an hour per call (and none for NaN), so the conversion cannot overflow.
  double seconds = std::isfinite(maxSeconds) ? std::clamp(maxSeconds, 0.0, 3600.0) : (maxSeconds > 0 ? 3600.0 : 0.0);
  auto ms = static_cast<int>(std::ceil(seconds * 1000.0));
  if (ms <= 0) {
    QCoreApplication::processEvents(flags);
    return;
  }
  // A precise timer: the waits are as short as 20 ms.
  QTimer wake;
  wake.setSingleShot(true);
  wake.setTimerType(Qt::PreciseTimer);
  wake.start(ms);
  QCoreApplication::processEvents(flags | QEventLoop::WaitForMoreEvents);
}

}  // namespace qelt
