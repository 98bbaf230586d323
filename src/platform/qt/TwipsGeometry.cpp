#include "platform/qt/TwipsGeometry.hpp"

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

}  // namespace qelt
