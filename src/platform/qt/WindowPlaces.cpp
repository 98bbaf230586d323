#include "platform/qt/WindowPlaces.hpp"

#include <QApplication>
#include <QCoreApplication>
#include <QEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

#include "platform/WindowPlacement.hpp"
#include "platform/qt/StoredSettings.hpp"

namespace qelt {

namespace {
PlaceBox BoxOf(const QRect& r) { return {r.left(), r.top(), r.width(), r.height()}; }

bool CountsAsOpen(const QWidget* w, const QWidget* window) {
  if (w == window || !w->isVisible() || w->isMinimized()) return false;
  const Qt::WindowType type = w->windowType();
  return type == Qt::Window || type == Qt::Dialog;
}
}  // namespace

QPoint PlaceClearOfOthers(QWidget& window) {
  QScreen* screen = window.screen();
  if (!screen) return window.pos();
  // A window just shown has no frame yet: it takes the frame of one that has.
  QMargins frame(1, 24, 1, 4);
  std::vector<QWidget*> others;
  for (QWidget* w : QApplication::topLevelWidgets()) {
    if (!CountsAsOpen(w, &window)) continue;
    others.push_back(w);
    const QRect outer = w->frameGeometry();
    const QRect inner = w->geometry();
    if (outer != inner)
      frame = QMargins(inner.left() - outer.left(), inner.top() - outer.top(), outer.right() - inner.right(),
                       outer.bottom() - inner.bottom());
  }
  std::vector<PlaceBox> open;
  for (QWidget* w : others)
    open.push_back(BoxOf(w->frameGeometry() != w->geometry() ? w->frameGeometry() : w->geometry().marginsAdded(frame)));
  const QRect wanted(window.pos(), window.size().grownBy(frame));
  const PlaceBox placed = PlaceWindow(BoxOf(wanted), open, BoxOf(screen->availableGeometry()));
  if (placed.Left == wanted.left() && placed.Top == wanted.top()) return window.pos();  // where its code put it
  // Once the native window exists but has no frame yet, a move places the
  // client area: the frame's place is then the client's less the frame.
  const bool frameless = window.geometry().topLeft() == window.pos();
  if (frameless && window.testAttribute(Qt::WA_WState_Created))
    window.move(placed.Left + frame.left(), placed.Top + frame.top());
  else
    window.move(placed.Left, placed.Top);
  return QPoint(placed.Left, placed.Top);
}

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
    bool placed = false;
    QPoint at = window->pos();
    if (const auto place = settings_.WindowPlace(window->objectName())) {
      // Only where its title bar can still be reached.
      const QRect title(*place, QSize(std::max(40, window->width() / 2), 20));
      for (QScreen* screen : QGuiApplication::screens())
        if (screen->availableGeometry().intersects(title)) {
          window->move(*place);
          placed = true;
          break;
        }
    }
    // Dialogs open over the window that asked for them.
    if (!placed && window->windowType() == Qt::Window) at = PlaceClearOfOthers(*window);
    // Where its frame stands once framed: leaving from there is no move by the user.
    shownAt_.insert(window, at);
  } else if (event->type() == QEvent::Hide && shownAt_.contains(window)) {
    // A few pixels are the window manager's frame, not the user.
    const QPoint moved = window->pos() - shownAt_.take(window);
    if (moved.manhattanLength() > 8) settings_.SetWindowPlace(window->objectName(), window->pos());
  }
  return false;
}

}  // namespace qelt
