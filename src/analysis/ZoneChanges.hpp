#pragma once
// Daylight-saving changes of the local time zone within a recording.
// Records carry the local wall time: a change forward leaves a stretch
// without records (the summary counts it as a gap), a change back repeats a
// stretch of times (the step back counts nothing, the repeated records
// count as they come). The figures keep that meaning; the change is said.
#include <string>
#include <vector>

#include "analysis/Summary.hpp"

namespace qelt {

struct ZoneChange {
  Moment Before = 0;     // the wall time the clock showed when it changed
  int ShiftMinutes = 0;  // > 0 forward, < 0 back
};

// The changes of the local zone (TZ) whose wall time lies between first
// and last, in order. Changes closer than a day apart are not told apart.
std::vector<ZoneChange> ZoneChangesBetween(Moment first, Moment last);

// One line per change for the summary's text output, each ending in LF;
// empty without a change.
std::string ZoneChangeNote(const std::vector<ZoneChange>& changes);

}  // namespace qelt
