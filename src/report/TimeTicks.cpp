#include "report/TimeTicks.hpp"

#include <array>
#include <cmath>

#include "analysis/Summary.hpp"

namespace qelt {

double TimeTickStep(double span, int ticks) {
  static constexpr std::array<double, 22> steps = {1,     2,     5,      10,     15,      30,     60,    120,
                                                   300,   600,   900,    1800,   3600,    7200,   10800, 21600,
                                                   43200, 86400, 172800, 604800, 1209600, 2419200};
  if (ticks < 1) ticks = 1;
  for (double step : steps)
    if (span / step <= ticks) return step;
  return std::ceil(span / ticks / 2419200) * 2419200;
}

std::string TimeTickLabel(double moment, double step, bool first) {
  const std::string text = MomentText(static_cast<Moment>(std::llround(moment)));  // "yyyy/mm/dd hh:nn:ss"
  const std::string date = text.substr(0, 10);
  if (step >= 86400) return date;
  const std::string time = text.substr(11, step < 60 ? 8 : 5);
  const std::string before = MomentText(static_cast<Moment>(std::llround(moment - step))).substr(0, 10);
  if (first || before != date) return time + "\n" + date;
  return time;
}

}  // namespace qelt
