#pragma once
// Ticks of a time axis in whole clock units, counted from midnight of the
// recording's own clock (no time zone), so an hour tick is at hh:00 and a day
// tick at midnight. Qt-free; times are Moments (seconds since 1970/01/01).
#include <string>

namespace qelt {

// The step, in seconds, out of 1, 2, 5, 10, 15, 30 s, 1, 2, 5, 10, 15, 30 min,
// 1, 2, 3, 6, 12 h, 1, 2, 7, 14, 28 days (and multiples of 28 days beyond), that
// gives at most `ticks` ticks over `span` seconds.
double TimeTickStep(double span, int ticks);

// The label of a tick: "hh:nn" ("hh:nn:ss" for steps under a minute), with
// the date "yyyy/mm/dd" on a second line at the first tick and wherever the
// date differs from the tick before; the date alone for steps of a day or more.
std::string TimeTickLabel(double moment, double step, bool first);

}  // namespace qelt
