#pragma once
// Where a window that the user has not placed opens: where its code puts it
// when that hides no open window; else beside, below, left of or above one of
// the open windows, wholly on the screen; else, of those places and the ones
// cascaded over each open window, the one that hides no title bar and the
// least of the others, moved on so that no two title bars lie on each other. The
// window keeps its size. Boxes are frames (title bar included), in pixels.
#include <vector>

namespace qelt {

struct PlaceBox {
  int Left = 0;
  int Top = 0;
  int Width = 0;
  int Height = 0;
  int Right() const { return Left + Width; }   // one past
  int Bottom() const { return Top + Height; }  // one past
  friend bool operator==(const PlaceBox&, const PlaceBox&) = default;
};

// How far each cascaded window steps from the one below it, and the height
// of a title bar that a placed window keeps clear of where it can.
inline constexpr int CascadeStep = 24;
inline constexpr int TitleBarHeight = 24;

// The area two boxes share (0 when they only touch).
long long SharedArea(const PlaceBox& a, const PlaceBox& b);

// wanted: the window's frame where its code puts it; open: the frames of the
// windows already shown, in the order their places are tried (the main
// window first); screen: the room for windows.
PlaceBox PlaceWindow(const PlaceBox& wanted, const std::vector<PlaceBox>& open, const PlaceBox& screen);

}  // namespace qelt
