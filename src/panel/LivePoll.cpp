#include "panel/LivePoll.hpp"

#include <algorithm>

#include "link/Commands.hpp"
#include "link/Decoding.hpp"

namespace qelt {

PollOutcome LivePoll::Tick(PollLimits limits) {
  ExchangeGuard::Ticket ticket = guard_.TakeForPoll();
  if (!ticket) return PollOutcome::Busy;
  ticket.Deadline = limits.Deadline;
  Host& host = link_.EventHost();
  SerialPort& port = link_.Port();

  for (;;) {
    if (!link_.WakeMeter(ticket)) return PollOutcome::Abandoned;
    std::string reply;
    const double start = host.Monotonic();
    port.Write(std::string(1, cmd::Reading));
    link_.Delay(Link::ShortPause);
    if (link_.Abandoned(ticket)) return PollOutcome::Abandoned;
    for (;;) {
      reply += port.ReadAll();
      double elapsed = host.Monotonic() - start;
      if (reply.size() >= cmd::FrameSize || elapsed >= ReplyLimit) break;
      // Not past the exchange's own deadline either, so that the tool's
      // --timeout holds to the wait's length rather than to the 4 s.
      host.RunEvents(std::min(ReplyLimit - elapsed, ticket.Deadline - host.Monotonic()));
      if (link_.Abandoned(ticket)) return PollOutcome::Abandoned;
    }
    if (reply.size() < cmd::FrameSize) {
      link_.ShowLinkText("No COM");
      return link_.ComLost(ticket) ? PollOutcome::TimedOut : PollOutcome::Abandoned;
    }
    if (!FrameMarksOk(reply)) continue;  // a new wake-up and request, same tick
    DecodeLiveFrame(meter_, reply, reading_);
    ++meter_.ReadingSerial;
    return PollOutcome::Reading;
  }
}

}  // namespace qelt
