#pragma once
// One tick of the live poll: wake-up, " ", the 61-byte frame within 4 s, the
// frame check, and the decoding into the reading. Showing the result (wiring
// picture, labels) is the caller's.
#include "link/ExchangeGuard.hpp"
#include "link/Link.hpp"
#include "link/LiveReading.hpp"
#include "link/MeterState.hpp"

namespace qelt {

enum class PollOutcome {
  Reading,    // a checked frame was decoded into the reading
  TimedOut,   // no complete reply within 4 s; the link-lost cycle ran and the link is back
  Abandoned,  // the port was taken by another exchange, or the deadline passed; nothing changed
  Busy,       // another exchange holds the port, or a tick is still running
};

struct PollLimits {
  // Monotonic time after which the tick gives up (the command-line tool's
  // --timeout); infinity in the program.
  double Deadline = ExchangeGuard::Ticket().Deadline;
};

class LivePoll {
 public:
  LivePoll(Link& link, ExchangeGuard& guard, MeterState& meter, LiveReading& reading)
      : link_(link), guard_(guard), meter_(meter), reading_(reading) {}

  PollOutcome Tick(PollLimits limits = {});

  static constexpr double ReplyLimit = 4.0;  // seconds from the request

 private:
  Link& link_;
  ExchangeGuard& guard_;
  MeterState& meter_;
  LiveReading& reading_;
};

}  // namespace qelt
