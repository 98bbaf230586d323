#include "logger/DirectoryRead.hpp"

#include <algorithm>

#include "link/Commands.hpp"
#include "text/NumberText.hpp"

namespace qelt {

std::string PercentCompleted(std::size_t received, std::size_t expected) {
  return FormatPattern(100.0 * static_cast<double>(received) / static_cast<double>(expected), "0.0") + "% Completed";
}

DirectoryOutcome ReadLoggerDirectory(Link& link, ExchangeGuard& guard, LoggerState& logger,
                                     const ProgressCaption& progress, double deadline) {
  ExchangeGuard::Ticket ticket = guard.TakeForCommand();
  if (!ticket) return DirectoryOutcome::Busy;
  ticket.Deadline = deadline;
  SerialPort& port = link.Port();
  Host& host = link.EventHost();

  // The wake-up discards what is pending first.
  if (!link.WakeMeter(ticket)) return DirectoryOutcome::Abandoned;
  logger.LoggerDirectory.clear();
  port.ReadAll();
  port.Write(std::string(1, cmd::Directory));
  link.Delay(0.2);

  double lastByteAt = host.Monotonic();
  for (;;) {
    if (link.Abandoned(ticket)) return DirectoryOutcome::Abandoned;
    std::string more = port.ReadAll();
    if (!more.empty()) lastByteAt = host.Monotonic();
    logger.LoggerDirectory += more;
    if (!logger.LoggerDirectory.empty()) {
      logger.LoggerSetCount = static_cast<unsigned char>(logger.LoggerDirectory[0]);
      std::size_t expected = 10 * static_cast<std::size_t>(logger.LoggerSetCount) + 4;
      std::size_t received = std::min(logger.LoggerDirectory.size(), expected);
      if (progress) progress(PercentCompleted(received, expected));
      if (received == expected) return DirectoryOutcome::Complete;
    }
    double idle = host.Monotonic() - lastByteAt;
    if (idle >= StallLimit) return DirectoryOutcome::Stalled;
    host.RunEvents(std::min(StallLimit - idle, ticket.Deadline - host.Monotonic()));
  }
}

}  // namespace qelt
