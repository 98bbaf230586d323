#include "platform/VirtualHost.hpp"

#include <algorithm>
#include <cmath>

namespace qelt {
namespace {

int DaysInMonth(int year, int month) {
  static const int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
  return month == 2 && leap ? 29 : days[month - 1];
}

void NextDay(DateTime& d) {
  if (++d.Day <= DaysInMonth(d.Year, d.Month)) return;
  d.Day = 1;
  if (++d.Month <= 12) return;
  d.Month = 1;
  ++d.Year;
}

}  // namespace

VirtualHost::VirtualHost(double startSecondsSinceMidnight, DateTime date)
    : startOfDay_(startSecondsSinceMidnight), date_(date) {}

double VirtualHost::SecondsSinceMidnight() { return std::fmod(startOfDay_ + now_, 86400.0); }

DateTime VirtualHost::Now() {
  DateTime d = date_;
  double total = startOfDay_ + now_;
  auto days = static_cast<long>(std::floor(total / 86400.0));
  auto secs = static_cast<long>(std::floor(total - static_cast<double>(days) * 86400.0));
  for (long n = 0; n < days; ++n) NextDay(d);
  d.Hour = static_cast<int>(secs / 3600);
  d.Minute = static_cast<int>(secs / 60 % 60);
  d.Second = static_cast<int>(secs % 60);
  return d;
}

void VirtualHost::RunEvents(double maxSeconds) {
  // Handling events costs a little time, so a loop that only runs events
  // still moves the clock on.
  double until = now_ + std::max(MinimumStep, maxSeconds);
  double next = scheduled_.empty() ? Never : scheduled_.begin()->first;
  for (auto& [id, source] : sources_) next = std::min(next, source());
  now_ = std::max(now_, std::min(until, next));
  RunDue();
  if (OnEvents) OnEvents();
}

void VirtualHost::ScheduleAt(double at, std::function<void()> fn) { scheduled_.emplace(at, std::move(fn)); }

int VirtualHost::AddWakeSource(WakeSource source) {
  sources_.emplace(nextSource_, std::move(source));
  return nextSource_++;
}

void VirtualHost::RemoveWakeSource(int id) { sources_.erase(id); }

void VirtualHost::Advance(double seconds) {
  now_ += seconds;
  RunDue();
}

void VirtualHost::RunDue() {
  while (!scheduled_.empty() && scheduled_.begin()->first <= now_) {
    auto fn = std::move(scheduled_.begin()->second);
    scheduled_.erase(scheduled_.begin());
    fn();
  }
}

}  // namespace qelt
