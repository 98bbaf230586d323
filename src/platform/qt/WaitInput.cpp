#include "platform/qt/WaitInput.hpp"

#include <QAbstractEventDispatcher>
#include <QCoreApplication>
#include <QEvent>
#include <QThread>
#include <QTimer>

namespace qelt {

namespace {
bool IsUserInput(const QEvent& event) {
  switch (event.type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::Shortcut:
    case QEvent::Wheel:
    case QEvent::ContextMenu:
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TouchEnd: return true;
    // The window system's close (a program's own close() is not held).
    case QEvent::Close: return event.spontaneous();
    default: return false;
  }
}
}  // namespace

WaitInput::WaitInput() {
  QCoreApplication::instance()->installEventFilter(this);
  // A loop that runs outside every wait (the top, a dialog's) takes what was
  // held; a wait keeps it, so that nothing spins.
  if (auto* dispatcher = QAbstractEventDispatcher::instance()) {
    auto release = [this] {
      if (!held_.empty() && !Holds()) Release();
    };
    connect(dispatcher, &QAbstractEventDispatcher::awake, this, release);
    connect(dispatcher, &QAbstractEventDispatcher::aboutToBlock, this, release);
  }
}

WaitInput::~WaitInput() = default;

bool WaitInput::Holds() const { return depth_ > 0 && QThread::currentThread()->loopLevel() == waitLoopLevel_; }

void WaitInput::Release() {
  std::vector<Held> held;
  held.swap(held_);
  for (Held& h : held)
    if (h.Receiver) QCoreApplication::postEvent(h.Receiver, h.Event.release());
}

bool WaitInput::eventFilter(QObject* watched, QEvent* event) {
  if (!IsUserInput(*event) || !Holds()) return false;
  if (passage_ && passage_->LetsThrough(watched, event)) return false;
  held_.push_back({watched, std::unique_ptr<QEvent>(event->clone())});
  return true;
}

void WaitInput::Wait(int ms) {
  // Without a passage the window system's input stays in its queue; what is
  // posted or sent meanwhile (other programs' synthetic events, tests) is
  // held by the filter and posted again once the wait is over.
  QEventLoop::ProcessEventsFlags flags = QEventLoop::AllEvents;
  if (!passage_) flags |= QEventLoop::ExcludeUserInputEvents;
  const int outerLevel = waitLoopLevel_;
  ++depth_;
  waitLoopLevel_ = QThread::currentThread()->loopLevel();
  if (ms <= 0) {
    QCoreApplication::processEvents(flags);
  } else {
    // A precise timer: the waits are as short as 20 ms.
    QTimer wake;
    wake.setSingleShot(true);
    wake.setTimerType(Qt::PreciseTimer);
    wake.start(ms);
    QCoreApplication::processEvents(flags | QEventLoop::WaitForMoreEvents);
  }
  waitLoopLevel_ = outerLevel;
  --depth_;
}

}  // namespace qelt
