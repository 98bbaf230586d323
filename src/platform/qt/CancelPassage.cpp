#include "platform/qt/CancelPassage.hpp"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QWindow>

namespace qelt {

CancelPassage::CancelPassage(WaitInput* input, QWidget& window, QWidget* cancel)
    : input_(input), window_(&window), cancel_(cancel) {
  if (!input_) return;
  outer_ = input_->Passage();
  input_->SetPassage(this);
}

CancelPassage::~CancelPassage() {
  if (input_) input_->SetPassage(outer_);
}

bool CancelPassage::InWindow(QObject* receiver) const {
  if (!window_ || !receiver) return false;
  // The window system's events come to the native window first, then to the widget.
  if (receiver->isWindowType()) return receiver == window_->windowHandle();
  auto* widget = qobject_cast<QWidget*>(receiver);
  return widget && widget->window() == window_;
}

bool CancelPassage::LetsThrough(QObject* receiver, QEvent* event) const {
  if (!InWindow(receiver)) return false;
  switch (event->type()) {
    case QEvent::Close: return true;
    case QEvent::KeyPress:
    case QEvent::KeyRelease: return static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape;
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseButtonRelease: {
      if (!cancel_ || !cancel_->isVisible() || !cancel_->isEnabled()) return false;
      // At the native window: on to the widgets, where it is judged again (a
      // release goes to the button that took the press).
      if (receiver->isWindowType()) {
        if (event->type() == QEvent::MouseButtonRelease) return true;
        const QPoint at = static_cast<QMouseEvent*>(event)->position().toPoint();
        QWidget* under = window_->childAt(at);
        return under && (under == cancel_ || cancel_->isAncestorOf(under));
      }
      auto* widget = static_cast<QWidget*>(receiver);
      return widget == cancel_ || cancel_->isAncestorOf(widget);
    }
    default: return false;
  }
}

}  // namespace qelt
