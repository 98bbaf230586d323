// Ten simulated days of live-graph ticks on the virtual clock: the history
// wraps at its last slot and keeps the newest values in order.
#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <functional>

#include "ProcessUsage.hpp"
#include "graphs/LiveGraph.hpp"
#include "platform/VirtualHost.hpp"

namespace qelt {
namespace {

struct CountingCharts : LiveChartsView {
  void AppendPoints(const LiveValues& values) override {
    ++points;
    last = values[0];
  }
  long points = 0;
  double last = -1;
};

TEST(LongRun, TenDaysOfLiveGraphTicks) {
  VirtualHost host(86000.0, DateTime{2027, 1, 28, 0, 0, 0});
  GraphState state;
  ASSERT_TRUE(OpenLiveGraph(state));
  CountingCharts charts;
  LiveReading live;
  long ticks = 0;
  std::vector<long> memory;
  int lastDay = host.Now().Day;
  const double end = 10 * 86400.0;
  std::function<void(int)> schedule = [&](int intervalMs) {
    host.ScheduleAt(host.Monotonic() + intervalMs / 1000.0, [&] {
      ++ticks;
      // Each tick's value is its number modulo 1000, so order shows in the history.
      const long v = ticks % 1000;
      for (int q = 0; q < QuantityCount; ++q) live.ByIndex(q) = std::to_string(v);
      const int next = GraphTick(state, live, 1, charts);
      if (host.Now().Day != lastDay) {
        lastDay = host.Now().Day;
        memory.push_back(test::ResidentKiB());
      }
      if (host.Monotonic() < end) schedule(next);
    });
  };
  const auto wallStart = std::chrono::steady_clock::now();
  schedule(FirstGraphInterval);
  while (host.Monotonic() < end) host.RunEvents(end - host.Monotonic());
  const double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - wallStart).count();

  EXPECT_EQ(ticks, 864000);
  EXPECT_EQ(charts.points, ticks);
  // Two wraps: 864 000 = 2 x 432 001 - 2, so the count stands at 431 999.
  EXPECT_EQ(std::lround(state.GraphCount), ticks % GraphSlots);
  const std::vector<float> history = HistorySnapshot(state, 0);
  ASSERT_EQ(history.size(), static_cast<std::size_t>(ticks % GraphSlots));
  // The snapshot's slots hold the ticks since the last wrap, oldest first.
  const long first = ticks - static_cast<long>(history.size()) + 1;
  for (std::size_t i = 0; i < history.size(); i += 997)
    ASSERT_EQ(history[i], static_cast<float>((first + static_cast<long>(i)) % 1000)) << "slot " << i;
  EXPECT_EQ(history.back(), static_cast<float>(ticks % 1000));
  std::printf("10 simulated days, %ld ticks, %.1f s wall\nresident KiB each day:", ticks, wall);
  for (long kib : memory) std::printf(" %ld", kib);
  std::printf("\n");
  EXPECT_EQ(memory.size(), 10u);
}

}  // namespace
}  // namespace qelt
