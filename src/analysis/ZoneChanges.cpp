#include "analysis/ZoneChanges.hpp"

#include <algorithm>
#include <cstdlib>
#include <ctime>

namespace qelt {
namespace {

constexpr std::int64_t Day = 86400;
// No zone is further than this from UTC: the search starts and ends that
// much beyond the recording's wall times.
constexpr std::int64_t WidestOffset = std::int64_t{15} * 3600;
// A recording of made-up dates (a damaged file) is not searched for ever.
constexpr std::int64_t LongestSearch = std::int64_t{400} * 366 * Day;

long OffsetAt(std::int64_t utc) {
  const auto t = static_cast<std::time_t>(utc);
  std::tm local{};
  if (!localtime_r(&t, &local)) return 0;
  return local.tm_gmtoff;
}

// The first second at or before `to` whose offset differs from the one at
// `from` (which it does at `to`).
std::int64_t ChangeWithin(std::int64_t from, std::int64_t to) {
  const long before = OffsetAt(from);
  while (to - from > 1) {
    const std::int64_t mid = from + (to - from) / 2;
    (OffsetAt(mid) == before ? from : to) = mid;
  }
  return to;
}

}  // namespace

std::vector<ZoneChange> ZoneChangesBetween(Moment first, Moment last) {
  std::vector<ZoneChange> changes;
  if (last <= first) return changes;
  const std::int64_t start = first - WidestOffset;
  const std::int64_t end = std::min(last, first + LongestSearch) + WidestOffset;
  long offset = OffsetAt(start);
  for (std::int64_t at = start; at < end; at += Day) {
    const std::int64_t next = std::min(at + Day, end);
    const long nextOffset = OffsetAt(next);
    if (nextOffset == offset) continue;
    const std::int64_t utc = ChangeWithin(at, next);
    const Moment wall = utc + offset;
    if (wall > first && wall <= last) changes.push_back({wall, static_cast<int>((nextOffset - offset) / 60)});
    offset = nextOffset;
  }
  return changes;
}

std::string ZoneChangeNote(const std::vector<ZoneChange>& changes) {
  std::string note;
  for (const ZoneChange& c : changes) {
    const std::string minutes = std::to_string(std::abs(c.ShiftMinutes)) + " minutes";
    note += "Daylight saving: at " + MomentText(c.Before) + " the local clock went " +
            (c.ShiftMinutes > 0 ? "forward by " + minutes + "; the records skip the " + minutes + " after it.\n"
                                : "back by " + minutes + "; the records repeat the " + minutes + " before it.\n");
  }
  return note;
}

}  // namespace qelt
