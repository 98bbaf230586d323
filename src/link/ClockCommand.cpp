#include "link/ClockCommand.hpp"

#include "link/Bcd.hpp"
#include "link/Commands.hpp"

namespace qelt {

std::array<std::uint8_t, 6> ClockBytes(const DateTime& when) {
  return {ToBcd(when.Year), ToBcd(when.Month),  ToBcd(when.Day),
          ToBcd(when.Hour), ToBcd(when.Minute), ToBcd(when.Second)};
}

std::string SetInstrumentClock(Link& link, ExchangeGuard& guard, double deadline) {
  ExchangeGuard::Ticket ticket = guard.TakeForCommand();
  if (!ticket) return {};
  ticket.Deadline = deadline;
  // The wake-up discards what is pending first.
  if (!link.WakeMeter(ticket)) return {};
  // The time is taken after the wake-up, which may have waited long.
  auto bytes = ClockBytes(link.EventHost().Now());
  std::string sent(1, cmd::SetClock);
  link.Port().Write(sent);
  // Once "D" is out the six bytes go whole, even if the port is taken at
  // program end meanwhile: the instrument would read whatever came next on
  // the line as the missing clock fields.
  for (std::uint8_t b : bytes) {
    link.Delay(Link::ShortPause);
    std::string one(1, static_cast<char>(b));
    link.Port().Write(one);
    sent += one;
  }
  link.Delay(Link::ShortPause);
  return sent;
}

}  // namespace qelt
