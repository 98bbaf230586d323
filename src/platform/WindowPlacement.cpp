#include "platform/WindowPlacement.hpp"

#include <algorithm>
#include <cstdlib>
#include <limits>

namespace qelt {

long long SharedArea(const PlaceBox& a, const PlaceBox& b) {
  const long long w = std::min(a.Right(), b.Right()) - std::max(a.Left, b.Left);
  const long long h = std::min(a.Bottom(), b.Bottom()) - std::max(a.Top, b.Top);
  return w > 0 && h > 0 ? w * h : 0;
}

namespace {

bool OnScreen(const PlaceBox& box, const PlaceBox& screen) {
  return box.Left >= screen.Left && box.Top >= screen.Top && box.Right() <= screen.Right() &&
         box.Bottom() <= screen.Bottom();
}

// Moved onto the screen; a window larger than the screen keeps its top left corner there.
PlaceBox Within(PlaceBox box, const PlaceBox& screen) {
  box.Left = std::max(screen.Left, std::min(box.Left, screen.Right() - box.Width));
  box.Top = std::max(screen.Top, std::min(box.Top, screen.Bottom() - box.Height));
  return box;
}

long long Hidden(const PlaceBox& box, const std::vector<PlaceBox>& open) {
  long long area = 0;
  for (const PlaceBox& o : open) area += SharedArea(box, o);
  return area;
}

// Hiding a title bar costs more than any area: a window whose title bar shows
// can still be reached and raised.
long long Cost(const PlaceBox& box, const std::vector<PlaceBox>& open) {
  constexpr long long TitleCost = 1LL << 40;
  long long cost = Hidden(box, open);
  for (const PlaceBox& o : open)
    if (SharedArea(box, PlaceBox{o.Left, o.Top, o.Width, TitleBarHeight}) > 0) cost += TitleCost;
  return cost;
}

}  // namespace

PlaceBox PlaceWindow(const PlaceBox& wanted, const std::vector<PlaceBox>& open, const PlaceBox& screen) {
  std::vector<PlaceBox> tries{wanted};
  for (const PlaceBox& o : open) {
    auto at = [&](int left, int top) { return PlaceBox{left, top, wanted.Width, wanted.Height}; };
    tries.push_back(at(o.Right(), o.Top));               // beside
    tries.push_back(at(o.Left, o.Bottom()));             // below
    tries.push_back(at(o.Right(), o.Bottom()));          // below, to the right
    tries.push_back(at(o.Left - wanted.Width, o.Top));   // left of it
    tries.push_back(at(o.Left, o.Top - wanted.Height));  // above
  }
  for (const PlaceBox& box : tries)
    if (OnScreen(box, screen) && Hidden(box, open) == 0) return box;

  // Everywhere hides something: the least, on the screen, hiding no title
  // bar where it can, and never on another window's corner.
  PlaceBox best = Within(wanted, screen);
  long long least = std::numeric_limits<long long>::max();
  for (const PlaceBox& t : tries) {
    const PlaceBox box = Within(t, screen);
    if (const long long hidden = Cost(box, open); hidden < least) {
      least = hidden;
      best = box;
    }
  }
  for (std::size_t step = 0; step <= open.size(); ++step) {
    const bool onTitle = std::any_of(open.begin(), open.end(), [&](const PlaceBox& o) {
      return std::abs(o.Left - best.Left) < CascadeStep && std::abs(o.Top - best.Top) < CascadeStep;
    });
    if (!onTitle) break;
    PlaceBox next{best.Left + CascadeStep, best.Top + CascadeStep, best.Width, best.Height};
    if (!OnScreen(next, screen)) next = Within(PlaceBox{screen.Left, screen.Top, best.Width, best.Height}, screen);
    best = next;
  }
  return best;
}

}  // namespace qelt
