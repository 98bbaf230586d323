#pragma once
// A local wall time as one instant: ISO 8601 with milliseconds and the UTC
// offset in force at that instant, so that a reader in another zone, or on
// either side of a daylight-saving change, takes the same moment.
#include <string>

#include "platform/Host.hpp"

namespace qelt {

// Minutes east of UTC of the zone whose wall clock showed local at the
// instant epoch (seconds since 1970-01-01 UTC); both read from one clock
// within a second of each other.
int UtcOffsetMinutes(const DateTime& local, double epoch);

// "2026-12-10T10:00:00.250+01:00"; millisecond 0..999 (clamped), offset in
// minutes east of UTC.
std::string IsoMoment(const DateTime& local, int millisecond, int offsetMinutes);

}  // namespace qelt
