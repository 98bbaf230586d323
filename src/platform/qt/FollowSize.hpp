#pragma once
// Resizable windows whose first size is their design size: the chosen
// children follow the client area as it grows or shrinks, the rest stay.
#include <QObject>
#include <QRect>
#include <QSize>
#include <utility>
#include <vector>

class QWidget;

namespace qelt {

// How a child follows: its right or bottom edge with the window's, or its
// whole box moved with the window's right or bottom edge, or its box scaled
// with the client area (a grid of graphs).
enum Follow : unsigned {
  GrowWidth = 1,
  GrowHeight = 2,
  GrowBoth = GrowWidth | GrowHeight,
  MoveRight = 4,
  MoveDown = 8,
  Scale = 16,
};

// Makes window resizable from its current size, which
// stays its first size; it cannot shrink below minFraction of it. The
// children's current boxes are their boxes at that size.
void FollowClientSize(QWidget& window, std::vector<std::pair<QWidget*, unsigned>> children, double minFraction = 0.5);

// A child's box at a client area of the given size: pure, for tests.
QRect FollowedBox(const QRect& designBox, QSize designClient, QSize client, unsigned how);

}  // namespace qelt
