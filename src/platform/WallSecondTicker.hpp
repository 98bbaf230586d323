#pragma once
// A one-second tick on the wall clock's whole seconds, for the loops that
// stamp what they take with the wall time (the timed recording, the
// publisher). Times are the host's Monotonic(); the wall clock is asked
// afresh at every tick, so the ticks follow a clock that is slewed or set
// and run on across midnight.
#include <cstdint>

#include "platform/Host.hpp"

namespace qelt {

// Ticks fall this long after the wall clock's second turns.
inline constexpr double TickAfterTheSecond = 0.02;

// The monotonic moment near `nominal` (within half a second) at which the
// wall clock shows a whole second and TickAfterTheSecond: a tick made late
// by a poll then still falls in its own second.
double OnWallSecond(Host& host, double nominal);

class WallSecondTicker {
 public:
  // The first tick about a second from now.
  explicit WallSecondTicker(Host& host);

  // When the coming tick is due.
  double Next() const { return next_; }

  // After the tick was taken: plans the next one. Like a timer, a late tick
  // is taken once, never two in one second; returns the ticks it missed
  // (0 when on time), which never come.
  std::int64_t Advance();

 private:
  Host& host_;
  double next_;
};

}  // namespace qelt
