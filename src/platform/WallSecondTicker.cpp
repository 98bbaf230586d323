#include "platform/WallSecondTicker.hpp"

#include <cmath>

namespace qelt {

// However late a poll makes a tick, it is then still in its own second of
// the wall clock, so two ticks never share a second and none is left out.
double OnWallSecond(Host& host, double nominal) {
  const double now = host.Monotonic();
  const double wall = host.SecondsSinceMidnight() + (nominal - now);
  double shift = TickAfterTheSecond - (wall - std::floor(wall));
  shift -= std::floor(shift + 0.5);  // into [-0.5, 0.5)
  return nominal + shift;
}

WallSecondTicker::WallSecondTicker(Host& host) : host_(host), next_(OnWallSecond(host, host.Monotonic() + 1.0)) {}

std::int64_t WallSecondTicker::Advance() {
  next_ = OnWallSecond(host_, next_ + 1.0);
  const double now = host_.Monotonic();
  // A tick a whole second late (or on the very turn of one: a second left
  // out is better than two in one) is in the next one's second already.
  if (next_ >= now + 2 * TickAfterTheSecond) return 0;
  const auto missed = static_cast<std::int64_t>(now - next_) + 1;
  next_ = OnWallSecond(host_, now + 1.0);
  return missed;
}

}  // namespace qelt
