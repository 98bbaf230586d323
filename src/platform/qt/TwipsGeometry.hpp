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

// The window that others keep clear of (the main window), or none.
void SetMainWindow(QWidget* window);
// For a window whose place is the screen's top left corner: there, unless it
// would cover the main window and the screen has room for it to the main
// window's right (or left), where it goes instead, level with its top.
void MoveToCornerOrBesideMain(QWidget& window);

}  // namespace qelt
