#include "platform/qt/WindowPlaces.hpp"

#include <QCoreApplication>
#include <QEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

#include "platform/qt/StoredSettings.hpp"

namespace qelt {

WindowPlaces::WindowPlaces(StoredSettings& settings, QObject* parent) : QObject(parent), settings_(settings) {
  QCoreApplication::instance()->installEventFilter(this);
}

bool WindowPlaces::eventFilter(QObject* watched, QEvent* event) {
  // Every event of the program passes here: the cheap test first.
  if (event->type() != QEvent::Show && event->type() != QEvent::Hide) return false;
  auto* window = qobject_cast<QWidget*>(watched);
  if (!window || !window->isWindow() || window->objectName().isEmpty()) return false;
  if (event->type() == QEvent::Show && !shownAt_.contains(window)) {
    connect(window, &QObject::destroyed, this, [this, window] { shownAt_.remove(window); });
    if (const auto place = settings_.WindowPlace(window->objectName())) {
      // Only where its title bar can still be reached.
      const QRect title(*place, QSize(std::max(40, window->width() / 2), 20));
      for (QScreen* screen : QGuiApplication::screens())
        if (screen->availableGeometry().intersects(title)) {
          window->move(*place);
          break;
        }
    }
    shownAt_.insert(window, window->pos());
  } else if (event->type() == QEvent::Hide && shownAt_.contains(window)) {
    // A few pixels are the window manager's frame, not the user.
    const QPoint moved = window->pos() - shownAt_.take(window);
    if (moved.manhattanLength() > 8) settings_.SetWindowPlace(window->objectName(), window->pos());
  }
  return false;
}

}  // namespace qelt
