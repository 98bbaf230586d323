#include "logger/SetDownload.hpp"

#include <algorithm>

#include "link/Commands.hpp"

namespace qelt {

namespace {

// Waits until want(buffer) holds, appending what arrives. False when no byte
// came for SetStallLimit seconds, or the exchange ended.
enum class Wait { Done, Stalled, Cancelled, Abandoned };

template <typename Want>
Wait Collect(Link& link, const ExchangeGuard::Ticket& ticket, const DownloadHooks& hooks, std::string& buffer,
             Want want) {
  Host& host = link.EventHost();
  SerialPort& port = link.Port();
  double lastByteAt = host.Monotonic();
  for (;;) {
    std::string more = port.ReadAll();
    if (!more.empty()) {
      lastByteAt = host.Monotonic();
      buffer += more;
    }
    if (want(buffer)) return Wait::Done;
    const double idle = host.Monotonic() - lastByteAt;
    if (idle >= SetStallLimit) return Wait::Stalled;
    host.RunEvents(std::min(SetStallLimit - idle, ticket.Deadline - host.Monotonic()));
    if (link.Abandoned(ticket)) return Wait::Abandoned;
    if (hooks.Cancelled && hooks.Cancelled()) return Wait::Cancelled;
  }
}

// Lets the rest of a block come and drops it, then ends a pending "K".
void Settle(Link& link, const ExchangeGuard::Ticket& ticket) {
  Host& host = link.EventHost();
  SerialPort& port = link.Port();
  const double start = host.Monotonic();
  double lastByteAt = start;
  for (;;) {
    if (!port.ReadAll().empty()) lastByteAt = host.Monotonic();
    const double now = host.Monotonic();
    if (now - lastByteAt >= SettleGap || now - start >= SettleLimit) break;
    host.RunEvents(SettleGap - (now - lastByteAt));
    if (link.Abandoned(ticket)) return;
  }
  port.Write(std::string(1, cmd::Reset));
  port.ReadAll();
}

DownloadOutcome OutcomeOf(Wait w) {
  switch (w) {
    case Wait::Stalled: return DownloadOutcome::Stalled;
    case Wait::Cancelled: return DownloadOutcome::Cancelled;
    case Wait::Abandoned: return DownloadOutcome::Abandoned;
    case Wait::Done: break;
  }
  return DownloadOutcome::Complete;
}

DownloadResult Download(Link& link, ExchangeGuard::Ticket& ticket, int setNumber, const DownloadHooks& hooks) {
  DownloadResult result;
  SerialPort& port = link.Port();
  auto ended = [&] {
    if (link.Abandoned(ticket)) return DownloadOutcome::Abandoned;
    if (hooks.Cancelled && hooks.Cancelled()) return DownloadOutcome::Cancelled;
    return DownloadOutcome::Complete;
  };

  // The wake-up discards what is pending before and after.
  result.Outcome = DownloadOutcome::Abandoned;
  if (!link.WakeMeter(ticket)) return result;
  // Past the wake-up a silent instrument is caught by the stall limit; a long
  // set must not be cut off by the deadline.
  ticket.Deadline = ExchangeGuard::Ticket().Deadline;
  port.ReadAll();
  port.Write(std::string(1, cmd::SelectSet));
  link.Delay(0.2);
  if ((result.Outcome = ended()) != DownloadOutcome::Complete) return result;
  port.Write(std::string(1, static_cast<char>(setNumber)));
  link.Delay(Link::ShortPause);
  if ((result.Outcome = ended()) != DownloadOutcome::Complete) return result;

  // At least ten: a stray extra byte must not hang the wait.
  std::string entry;
  Wait w = Collect(link, ticket, hooks, entry, [](const std::string& b) { return b.size() >= cmd::SetEntrySize; });
  if (w != Wait::Done) {
    result.Outcome = OutcomeOf(w);
    result.Expected = cmd::SetEntrySize;
    result.Received = entry.size();
    return result;
  }
  result.Entry = entry.substr(0, cmd::SetEntrySize);

  const auto count =
      static_cast<std::size_t>(static_cast<unsigned char>(entry[0]) * 256 + static_cast<unsigned char>(entry[1]));
  const std::size_t total = count * 24;
  result.Expected = total;
  std::string& data = result.Data;
  data.reserve(total);
  if (hooks.Bytes) hooks.Bytes(0, total);
  std::size_t told = 0;
  auto fill = [&] {
    const std::size_t got = std::min(data.size(), total);
    if (hooks.Fill && total > 0) hooks.Fill(static_cast<int>(100 * got / total));
    if (hooks.Bytes && got != told) hooks.Bytes(told = got, total);
  };
  const std::size_t blocks = total / cmd::BlockSize;
  const std::size_t rest = total % cmd::BlockSize;
  for (std::size_t b = 0; b < blocks + (rest ? 1 : 0); ++b) {
    port.Write(std::string(1, cmd::NextBlock));
    link.Delay(Link::ShortPause);
    if ((result.Outcome = ended()) != DownloadOutcome::Complete) {
      result.Received = std::min(data.size(), total);
      return result;
    }
    const std::size_t want = std::min(total, (b + 1) * cmd::BlockSize);
    w = Collect(link, ticket, hooks, data, [&](const std::string& d) {
      fill();
      return d.size() >= want;
    });
    if (w != Wait::Done) {
      result.Outcome = OutcomeOf(w);
      result.Received = std::min(data.size(), total);
      return result;
    }
  }
  if (data.size() > total) data.resize(total);
  result.Received = data.size();
  result.Outcome = DownloadOutcome::Complete;
  return result;
}

}  // namespace

DownloadResult DownloadLoggerSet(Link& link, ExchangeGuard& guard, int setNumber, const DownloadHooks& hooks) {
  ExchangeGuard::Ticket ticket = guard.TakeForCommand();
  if (!ticket) return {};
  ticket.Deadline = hooks.Deadline;
  DownloadResult result = Download(link, ticket, setNumber, hooks);
  if (result.Outcome == DownloadOutcome::Cancelled) Settle(link, ticket);
  return result;
}

bool EraseLoggerMemory(Link& link, ExchangeGuard& guard, double deadline) {
  ExchangeGuard::Ticket ticket = guard.TakeForCommand();
  if (!ticket) return false;
  ticket.Deadline = deadline;
  if (!link.WakeMeter(ticket)) return false;
  link.Port().Write(std::string(1, cmd::Erase));
  return true;
}

std::string DownloadStalledMessage(int setNumber, std::size_t received, std::size_t expected) {
  return "The instrument stopped sending set " + std::to_string(setNumber) + " (" + std::to_string(received) + " of " +
         std::to_string(expected) + " bytes).\r\nNothing was kept; the live readings go on. Try \"Read\" again.";
}

}  // namespace qelt
