#include "platform/qt/WindowPlaces.hpp"

#include <QApplication>
#include <QCoreApplication>
#include <QEvent>
#include <QGuiApplication>
#include <QPointer>
#include <QScreen>
#include <QTimer>
#include <QWidget>

#include "platform/WindowPlacement.hpp"
#include "platform/qt/StoredSettings.hpp"

namespace qelt {

namespace {
// How long a window manager takes to frame a new window, about.
constexpr int SettleMilliseconds = 150;
constexpr int FrameTries = 10;

PlaceBox BoxOf(const QRect& r) { return {r.left(), r.top(), r.width(), r.height()}; }

bool CountsAsOpen(const QWidget* w, const QWidget* window) {
  if (w == window || !w->isVisible() || w->isMinimized()) return false;
  const Qt::WindowType type = w->windowType();
  return type == Qt::Window || type == Qt::Dialog;
}
}  // namespace

bool KeepFrameOnScreen(QWidget& window) {
  QScreen* screen = window.screen();
  if (!screen || !window.isVisible()) return false;
  const QRect room = screen->availableGeometry();
  const QRect frame = window.frameGeometry();
  if (room.contains(frame)) return false;
  // A frame taller or wider than the room keeps its title bar in it.
  const int left = std::max(room.left(), std::min(frame.left(), room.right() + 1 - frame.width()));
  const int top = std::max(room.top(), std::min(frame.top(), room.bottom() + 1 - frame.height()));
  // Moved by its client area: a move of the frame before the window manager
  // has told its size would be taken for the client's.
  window.setGeometry(window.geometry().translated(left - frame.left(), top - frame.top()));
  return true;
}

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

void WindowPlaces::KeepOnScreen(QWidget& window, int tries) {
  if (!shownAt_.contains(&window)) return;
  // Until the window manager has framed it, its frame is not known yet.
  if (window.frameGeometry() == window.geometry() && tries > 0) {
    QTimer::singleShot(SettleMilliseconds, &window, [self = QPointer<WindowPlaces>(this), &window, tries] {
      if (self) self->KeepOnScreen(window, tries - 1);
    });
    return;
  }
  // Moved by us, not by the user: it leaves from its new place unremembered.
  if (KeepFrameOnScreen(window)) shownAt_[&window] = window.pos();
}

bool WindowPlaces::eventFilter(QObject* watched, QEvent* event) {
  // Every event of the program passes here: the cheap test first.
  const QEvent::Type type = event->type();
  if (type != QEvent::Show && type != QEvent::Hide && type != QEvent::Resize) return false;
  auto* window = qobject_cast<QWidget*>(watched);
  if (!window || !window->isWindow() || window->objectName().isEmpty()) return false;
  if (type == QEvent::Resize) {
    // A window that grows where its code or the placement put it stays in
    // the room; one the user has moved is the user's.
    if (window->isVisible() && shownAt_.contains(window) && window->pos() == shownAt_.value(window))
      QTimer::singleShot(0, window, [self = QPointer<WindowPlaces>(this), window] {
        if (self) self->KeepOnScreen(*window, FrameTries);
      });
    return false;
  }
  if (event->type() == QEvent::Show && !shownAt_.contains(window) && !remembered_.contains(window)) {
    connect(window, &QObject::destroyed, this, [this, window] {
      shownAt_.remove(window);
      remembered_.remove(window);
    });
    if (const auto place = settings_.WindowPlace(window->objectName())) {
      // Only where its title bar can still be reached.
      const QRect title(*place, QSize(std::max(40, window->width() / 2), 20));
      for (QScreen* screen : QGuiApplication::screens())
        if (screen->availableGeometry().intersects(title)) {
          // The client area's place, kept and put back as it is: a frame
          // counted on one side only moved the window by its title bar at
          // every reopening.
          window->setGeometry(QRect(*place, window->size()));
          remembered_.insert(window);
          return false;
        }
    }
    QPoint at = window->pos();
    // Dialogs open over the window that asked for them.
    if (window->windowType() == Qt::Window) {
      at = PlaceClearOfOthers(*window);
      // The frame it was placed with was a guess, and some windows grow
      // once shown: once the window manager has framed it, it is moved back
      // into the room if it ran past an edge.
      QTimer::singleShot(SettleMilliseconds, window, [self = QPointer<WindowPlaces>(this), window] {
        if (self) self->KeepOnScreen(*window, FrameTries);
      });
    }
    // Where its frame stands once framed: leaving from there is no move by the user.
    shownAt_.insert(window, at);
  } else if (event->type() == QEvent::Hide && remembered_.remove(window)) {
    settings_.SetWindowPlace(window->objectName(), window->geometry().topLeft());
  } else if (event->type() == QEvent::Hide && shownAt_.contains(window)) {
    // A few pixels are the window manager's frame, not the user.
    const QPoint moved = window->pos() - shownAt_.take(window);
    if (moved.manhattanLength() > 8) settings_.SetWindowPlace(window->objectName(), window->geometry().topLeft());
  }
  return false;
}

}  // namespace qelt
