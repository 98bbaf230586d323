#include "platform/qt/TwipsGeometry.hpp"

#include <QPointer>
#include <QScreen>
#include <QWidget>

#include "platform/Twips.hpp"

namespace qelt {

QRect TwipsRect(int left, int top, int width, int height) {
  return QRect(TwipsToPixels(left), TwipsToPixels(top), TwipsToPixels(width), TwipsToPixels(height));
}

void PlaceTwips(QWidget& widget, int left, int top, int width, int height) {
  widget.setGeometry(TwipsRect(left, top, width, height));
}

void FixClientSizeTwips(QWidget& window, int width, int height) {
  window.setFixedSize(TwipsToPixels(width), TwipsToPixels(height));
}

void MoveWindowTwips(QWidget& window, int left, int top) { window.move(TwipsToPixels(left), TwipsToPixels(top)); }

namespace {
QPointer<QWidget>& MainWindow() {
  static QPointer<QWidget> main;
  return main;
}
}  // namespace

void SetMainWindow(QWidget* window) { MainWindow() = window; }

void MoveToCornerOrBesideMain(QWidget& window) {
  window.move(0, 0);
  QWidget* main = MainWindow().data();
  if (!main || !main->isVisible() || main == &window) return;
  const QRect mainFrame = main->frameGeometry();
  // The frame is not known before the first showing: allow for a title bar.
  const QSize size = window.frameGeometry().size().expandedTo(window.size() + QSize(2, 30));
  if (!QRect(QPoint(0, 0), size).intersects(mainFrame)) return;
  const QScreen* screen = main->screen();
  if (!screen) return;
  const QRect room = screen->availableGeometry();
  if (mainFrame.right() + 1 + size.width() <= room.right() + 1)
    window.move(mainFrame.right() + 1, std::max(room.top(), mainFrame.top()));
  else if (mainFrame.left() - size.width() >= room.left())
    window.move(mainFrame.left() - size.width(), std::max(room.top(), mainFrame.top()));
}

}  // namespace qelt
