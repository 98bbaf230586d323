#pragma once
// A Host on a virtual clock for tests: time moves only inside RunEvents,
// straight to the next scheduled event or by maxSeconds.
#include <functional>
#include <limits>
#include <map>
#include <vector>

#include "platform/Host.hpp"

namespace qelt {

class VirtualHost : public Host {
 public:
  // The clock starts at startSecondsSinceMidnight on the given date.
  explicit VirtualHost(double startSecondsSinceMidnight = 36000.0, DateTime date = {2026, 12, 9, 0, 0, 0});

  double SecondsSinceMidnight() override;
  DateTime Now() override;
  double Monotonic() override { return now_; }
  void RunEvents(double maxSeconds) override;

  // Runs fn when the clock reaches the given Monotonic() time.
  void ScheduleAt(double at, std::function<void()> fn);
  // A source of wake-ups (a simulated port): returns the next time it has
  // something to deliver, or infinity.
  using WakeSource = std::function<double()>;
  int AddWakeSource(WakeSource source);
  void RemoveWakeSource(int id);

  // Moves the clock forward, running what comes due.
  void Advance(double seconds);
  // Runs from within every RunEvents call, after time moved (tests hook UI-like work here).
  std::function<void()> OnEvents;

  static constexpr double MinimumStep = 1e-5;  // seconds a RunEvents call takes at least
  static constexpr double Never = std::numeric_limits<double>::infinity();

 private:
  void RunDue();
  double now_ = 0.0;
  double startOfDay_;
  DateTime date_;
  std::multimap<double, std::function<void()>> scheduled_;
  std::map<int, WakeSource> sources_;
  int nextSource_ = 1;
};

}  // namespace qelt
