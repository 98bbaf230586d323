#pragma once
// Input as the window system delivers it: spontaneous, to the native window,
// at once (a test runs these from within a wait to see what the wait's hold
// lets through).
#include <QtTest/qtestspontaneevent.h>

#include <QCloseEvent>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QWidget>
#include <QWindow>

namespace qelt::test {

inline void Deliver(QWidget& window, QEvent& event) {
  QSpontaneKeyEvent::setSpontaneous(&event);
  QCoreApplication::instance()->notify(window.windowHandle(), &event);
}

inline void ClickAt(QWidget& window, QWidget& target) {
  const QPointF at = target.mapTo(&window, target.rect().center());
  const QPointF global = window.mapToGlobal(at);
  QMouseEvent press(QEvent::MouseButtonPress, at, global, Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
  QMouseEvent release(QEvent::MouseButtonRelease, at, global, Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
  Deliver(window, press);
  Deliver(window, release);
}

inline void PressEscape(QWidget& window) {
  QKeyEvent press(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
  QKeyEvent release(QEvent::KeyRelease, Qt::Key_Escape, Qt::NoModifier);
  Deliver(window, press);
  Deliver(window, release);
}

// The close button of the window's frame.
inline void CloseByFrame(QWidget& window) {
  QCloseEvent close;
  Deliver(window, close);
}

}  // namespace qelt::test
