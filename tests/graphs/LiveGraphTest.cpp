#include <gtest/gtest.h>

#include "graphs/LiveGraph.hpp"

namespace qelt {
namespace {

struct Charts : LiveChartsView {
  void AppendPoints(const LiveValues& values) override {
    ++Calls;
    Last = values;
  }
  int Calls = 0;
  LiveValues Last{};
};

LiveReading ReadingOf(const std::string& text) {
  LiveReading live;
  for (int i = 0; i < QuantityCount; ++i) live.ByIndex(i) = text;
  return live;
}

TEST(LiveGraph, ConvertsByTheNumericPrefixIntoChartsAndHistory) {
  GraphState state;
  ASSERT_TRUE(OpenLiveGraph(state));
  Charts charts;
  LiveReading live = ReadingOf("000.0");
  live.KW1 = "OL";
  live.KVAR1 = "-OL";
  live.V1 = "230.5";
  live.PF2 = "-0.998";
  live.Hz = "";
  live.I4 = " 1 2.5A";
  GraphTick(state, live, 2, charts);
  EXPECT_EQ(charts.Calls, 1);
  EXPECT_EQ(charts.Last[0], 0.0);
  EXPECT_EQ(charts.Last[1], 0.0);
  EXPECT_EQ(charts.Last[5], 230.5);
  EXPECT_EQ(charts.Last[10], -0.998);
  EXPECT_EQ(charts.Last[21], 0.0);
  EXPECT_EQ(charts.Last[22], 12.5);
  for (int q = 0; q < QuantityCount; ++q) EXPECT_EQ(state.History(q)[0], charts.Last[static_cast<std::size_t>(q)]);
  EXPECT_EQ(state.GraphCount, 1.0f);
}

TEST(LiveGraph, CountWrapsAfterTheLastSlotAndTheNextTickWritesSlotZero) {
  GraphState state;
  OpenLiveGraph(state);
  Charts charts;
  const LiveReading one = ReadingOf("1.0");
  for (int i = 0; i < GraphSlots - 1; ++i) GraphTick(state, one, 2, charts);
  EXPECT_EQ(state.GraphCount, static_cast<float>(GraphSlots - 1));
  EXPECT_EQ(HistorySnapshot(state, 3).size(), static_cast<std::size_t>(GraphSlots - 1));
  GraphTick(state, ReadingOf("2.0"), 2, charts);
  EXPECT_EQ(state.GraphCount, 0.0f);
  EXPECT_EQ(state.History(27)[GraphSlots - 1], 2.0);
  // Right after the wrap there is nothing to inspect, and no stale slot shows.
  EXPECT_TRUE(HistorySnapshot(state, 0).empty());
  GraphTick(state, ReadingOf("3.0"), 2, charts);
  EXPECT_EQ(state.GraphCount, 1.0f);
  EXPECT_EQ(state.History(0)[0], 3.0);
  EXPECT_EQ(state.History(0)[1], 1.0);
  EXPECT_EQ(HistorySnapshot(state, 0), std::vector<float>{3.0f});
}

TEST(LiveGraph, OpeningTwiceKeepsCountingAndReopeningStartsAtZeroInTheSameHistory) {
  GraphState state;
  EXPECT_FALSE(state.GraphHistory);
  ASSERT_TRUE(OpenLiveGraph(state));
  const double* history = state.GraphHistory.get();
  Charts charts;
  for (int i = 0; i < 5; ++i) GraphTick(state, ReadingOf(std::to_string(i)), 2, charts);
  EXPECT_FALSE(OpenLiveGraph(state));
  EXPECT_EQ(state.GraphCount, 5.0f);

  CloseLiveGraph(state);
  EXPECT_FALSE(state.GraphOpen);
  EXPECT_EQ(state.GraphCount, 5.0f);
  ASSERT_TRUE(OpenLiveGraph(state));
  EXPECT_EQ(state.GraphCount, 0.0f);
  EXPECT_EQ(state.GraphHistory.get(), history);
  EXPECT_TRUE(HistorySnapshot(state, 4).empty());
  GraphTick(state, ReadingOf("9"), 2, charts);
  EXPECT_EQ(HistorySnapshot(state, 4), std::vector<float>{9.0f});
}

TEST(LiveGraph, IntervalFollowsTheSamplingTimeBeyondSixteenBits) {
  GraphState state;
  OpenLiveGraph(state);
  Charts charts;
  EXPECT_EQ(FirstGraphInterval, 1000);
  EXPECT_EQ(GraphTick(state, ReadingOf("1"), 2, charts), 2000);
  EXPECT_EQ(GraphTick(state, ReadingOf("1"), 100, charts), 100000);
  EXPECT_EQ(GraphInterval(86400), 86400000);
}

TEST(LiveGraph, SnapshotNarrowsToSinglePrecision) {
  GraphState state;
  EXPECT_TRUE(HistorySnapshot(state, 0).empty());  // never opened
  OpenLiveGraph(state);
  Charts charts;
  GraphTick(state, ReadingOf("0.1"), 2, charts);
  const std::vector<float> shot = HistorySnapshot(state, 7);
  ASSERT_EQ(shot.size(), 1u);
  EXPECT_EQ(shot[0], 0.1f);
  EXPECT_TRUE(HistorySnapshot(state, 28).empty());
}

}  // namespace
}  // namespace qelt
