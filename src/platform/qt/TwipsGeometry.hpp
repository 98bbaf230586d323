#pragma once
// Placing widgets by twips.
#include <QRect>

class QWidget;

namespace qelt {

QRect TwipsRect(int left, int top, int width, int height);
// A child control at the given place within its parent's client area.
void PlaceTwips(QWidget& widget, int left, int top, int width, int height);
// A window's client area, fixed at the given size.
void FixClientSizeTwips(QWidget& window, int width, int height);
// A window's frame to the given place on the screen.
void MoveWindowTwips(QWidget& window, int left, int top);

}  // namespace qelt
