#pragma once
// Calendar arithmetic for the simulated instrument's clock and logger sets.
// Proleptic Gregorian, no time zones: the instrument keeps the local time it
// was given.
#include "platform/Host.hpp"

namespace qelt {

// Whole seconds since 2000-01-01 00:00:00 (negative before it).
long long ToCivilSeconds(const DateTime& t);
DateTime FromCivilSeconds(long long seconds);

}  // namespace qelt
