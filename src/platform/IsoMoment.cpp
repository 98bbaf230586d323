#include "platform/IsoMoment.hpp"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "platform/CivilDate.hpp"

namespace qelt {

int UtcOffsetMinutes(const DateTime& local, double epoch) {
  const double wall = static_cast<double>(DaysFromCivil(local.Year, static_cast<unsigned>(local.Month),
                                                        static_cast<unsigned>(local.Day))) *
                          86400.0 +
                      local.Hour * 3600.0 + local.Minute * 60.0 + local.Second;
  // The wall second is whole and the epoch is not, and the two reads may
  // straddle a second turning: rounding to the minute takes both out.
  return static_cast<int>(std::lround((wall - epoch) / 60.0));
}

std::string IsoMoment(const DateTime& local, int millisecond, int offsetMinutes) {
  const int offset = std::abs(offsetMinutes);
  char t[48];
  std::snprintf(t, sizeof t, "%04d-%02d-%02dT%02d:%02d:%02d.%03d%c%02d:%02d", local.Year, local.Month, local.Day,
                local.Hour, local.Minute, local.Second, std::clamp(millisecond, 0, 999), offsetMinutes < 0 ? '-' : '+',
                offset / 60 % 100, offset % 60);
  return t;
}

}  // namespace qelt
