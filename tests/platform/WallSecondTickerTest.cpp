#include <gtest/gtest.h>

#include <cmath>

#include "platform/VirtualHost.hpp"
#include "platform/WallSecondTicker.hpp"

namespace qelt {
namespace {

// A virtual host whose wall clock the test sets forward or back, as an
// administrator or a time service would; the monotonic clock runs on.
class SteppedHost : public Host {
 public:
  explicit SteppedHost(double start) : clock_(start) {}
  double SecondsSinceMidnight() override { return std::fmod(clock_.SecondsSinceMidnight() + step_ + 86400.0, 86400.0); }
  DateTime Now() override { return clock_.Now(); }
  double Monotonic() override { return clock_.Monotonic(); }
  void RunEvents(double maxSeconds) override { clock_.RunEvents(maxSeconds); }

  void RunUntil(double monotonic) {
    while (Monotonic() < monotonic) RunEvents(monotonic - Monotonic());
  }
  void StepWallClock(double seconds) { step_ += seconds; }
  // How far past its whole second the wall clock is.
  double WallFraction() {
    const double wall = SecondsSinceMidnight();
    return wall - std::floor(wall);
  }

 private:
  VirtualHost clock_;
  double step_ = 0;
};

TEST(WallSecondTicker, TicksJustAfterEachWholeWallSecondAcrossMidnight) {
  SteppedHost host(86397.6);  // 23:59:57.6
  WallSecondTicker ticker(host);
  std::vector<double> walls;
  for (int i = 0; i < 5; ++i) {
    host.RunUntil(ticker.Next());
    walls.push_back(host.SecondsSinceMidnight());
    EXPECT_EQ(ticker.Advance(), 0);
  }
  // The first tick is the whole second nearest to one from now.
  const std::vector<double> expected = {86399.02, 0.02, 1.02, 2.02, 3.02};
  for (std::size_t i = 0; i < walls.size(); ++i) EXPECT_NEAR(walls[i], expected[i], 1e-6) << i;
}

TEST(WallSecondTicker, FollowsAWallClockThatIsSetWithoutBurstOrPause) {
  for (const double step : {0.3, -0.3, 10.0, -10.0, 3600.0}) {
    SCOPED_TRACE(step);
    SteppedHost host(36000.5);
    WallSecondTicker ticker(host);
    host.RunUntil(ticker.Next());
    EXPECT_EQ(ticker.Advance(), 0);
    host.StepWallClock(step);
    // The tick planned before the step comes as planned; the one after it
    // keeps to the new clock's seconds, within half a second of where it
    // was due: no run of catch-up ticks, no long pause.
    host.RunUntil(ticker.Next());
    EXPECT_EQ(ticker.Advance(), 0);
    const double before = host.Monotonic();
    host.RunUntil(ticker.Next());
    EXPECT_NEAR(host.WallFraction(), TickAfterTheSecond, 1e-6);
    EXPECT_LE(std::fabs(host.Monotonic() - before - 1.0), 0.5);
    EXPECT_EQ(ticker.Advance(), 0);
  }
}

TEST(WallSecondTicker, AnExchangeThatOverrunsTicksCountsTheMissedOnesOnce) {
  SteppedHost host(36000.5);
  WallSecondTicker ticker(host);
  host.RunUntil(ticker.Next());
  const double taken = host.Monotonic();
  // The tick's own work (a poll waiting for its reply) takes 3.5 s: the
  // ticks 1, 2 and 3 s later never come, the one after 4 s does.
  host.RunUntil(taken + 3.5);
  EXPECT_EQ(ticker.Advance(), 3);
  EXPECT_NEAR(ticker.Next() - taken, 4.0, 1e-6);
  host.RunUntil(ticker.Next());
  EXPECT_EQ(ticker.Advance(), 0);
  EXPECT_NEAR(ticker.Next() - taken, 5.0, 1e-6);
}

}  // namespace
}  // namespace qelt
