#pragma once
// "RTC": sets the instrument's clock to the PC's.
#include <array>
#include <cstdint>
#include <string>

#include "link/ExchangeGuard.hpp"
#include "link/Link.hpp"
#include "platform/Host.hpp"

namespace qelt {

// The six packed-BCD bytes year (two digits), month, day, hours, minutes, seconds.
std::array<std::uint8_t, 6> ClockBytes(const DateTime& when);

// Wake-up, "D", then the six bytes each after 0.02 s, and a last 0.02 s.
// Returns the seven bytes written, or nothing when the port was busy or the
// exchange was abandoned before "D" went out.
std::string SetInstrumentClock(Link& link, ExchangeGuard& guard, double deadline = ExchangeGuard::Ticket().Deadline);

}  // namespace qelt
