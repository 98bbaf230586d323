#include <gtest/gtest.h>

#include "graphs/Inspector.hpp"
#include "graphs/LiveGraph.hpp"
#include "platform/ScriptedWindow.hpp"

namespace qelt {
namespace {

struct NoCharts : LiveChartsView {
  void AppendPoints(const LiveValues&) override {}
};

TEST(Inspector, LiveSourceIsASnapshotAndEmptyBeforeTheFirstTick) {
  GraphState state;
  OpenLiveGraph(state);
  InspectorSource empty = LiveInspectorSource(state, 5, "V1", 0, 10);
  EXPECT_TRUE(empty.Values.empty());
  EXPECT_EQ(state.GraphLast, -1.0f);
  EXPECT_EQ(empty.X.Min, 0.0);
  EXPECT_EQ(empty.X.Max, 1.0);

  NoCharts charts;
  LiveReading live;
  for (int i = 0; i < 10; ++i) {
    live.V1 = std::to_string(220 + i) + ".0";
    GraphTick(state, live, 2, charts);
  }
  InspectorSource source = LiveInspectorSource(state, 5, "V1", 218.5, 230.5);
  EXPECT_EQ(state.GraphIndex, 5);
  EXPECT_EQ(state.GraphLast, 9.0f);
  EXPECT_EQ(state.GraphYMin, 218.5);
  ASSERT_EQ(source.Values.size(), 10u);
  EXPECT_EQ(source.Values.front(), 220.0f);
  EXPECT_EQ(source.Values.back(), 229.0f);
  EXPECT_EQ(source.X.Min, 1.0);
  EXPECT_EQ(source.X.Max, 10.0);
  EXPECT_EQ(source.Y.Min, 218.5);
  GraphTick(state, live, 2, charts);
  EXPECT_EQ(source.Values.size(), 10u);
}

TEST(Inspector, FileSourceUsesThePlotsOwnCopyAndItsCount) {
  GridRows table(31);
  table.AddRow("No.s\tDate\tTime\tKW1");
  table.AddRow("11\td\tt\t-OL");
  table.AddRow("12\td\tt\t5.5");
  ScriptedWindow list;
  const auto plot = PlotRecords(table, list);
  ASSERT_TRUE(plot);
  table.SetRows(1);  // the list is emptied afterwards
  GraphState state;
  const InspectorSource source = FileInspectorSource(state, *plot, 0, "KW1", -20, 40);
  EXPECT_EQ(state.PlotYMin, -20.0);
  EXPECT_EQ(state.PlotOffset, 10.0f);
  EXPECT_EQ(state.PlotName, "KW1");
  EXPECT_EQ(source.Values, (std::vector<float>{-20.0f, 5.5f}));
  EXPECT_EQ(source.FirstX, 11.0);
  EXPECT_EQ(source.X.Min, 11.0);
  EXPECT_EQ(source.X.Max, 12.0);
}

TEST(Inspector, ReadoutsAndBoxFormatsFollowTheQuantity) {
  EXPECT_STREQ(RangeFormat(10), "0.000");
  EXPECT_EQ(RangeIncrement(10), 0.001);
  EXPECT_STREQ(RangeFormat(5), "0.0");
  EXPECT_EQ(RangeIncrement(5), 0.1);
  EXPECT_EQ(YReadout(-0.9985, 26), "-0.999");
  EXPECT_EQ(YReadout(230.25, 5), "230.3");
  EXPECT_EQ(YReadout(1234.0, 0), "1234.0");
  EXPECT_EQ(XReadout(5.5), "5.5");
  EXPECT_EQ(XReadout(432001), "432001");
  EXPECT_EQ(TrackModes[0].Item, std::string("Normal"));
  EXPECT_EQ(TrackModes[1].Code, CursorTrackMode);
  EXPECT_EQ(TrackModes[7].Code, 8);
}

TEST(Inspector, RangeProblemAndPrintHeading) {
  EXPECT_EQ(RangeProblem(1, 2), "");
  EXPECT_NE(RangeProblem(2, 2), "");  // an empty range is no range either
  EXPECT_EQ(RangeProblem(300, 250.5),
            "Min must be below Max (300 is not below 250.5): the axis keeps its range until it is.");
  InspectorSource source;
  source.Index = QuantityIndexOf("V1");
  source.Name = "V1";
  const DateTime when{2026, 1, 2, 3, 4, 5};
  EXPECT_EQ(InspectorPrintHeading(source, when), QuantityTitle("V1") + "   2026/01/02 03:04:05");
  source.File = "/data/run.mes";
  EXPECT_EQ(InspectorPrintHeading(source, when), QuantityTitle("V1") + "   2026/01/02 03:04:05   /data/run.mes");
}

TEST(Inspector, StatsCoverOnlyTheVisiblePoints) {
  const std::vector<float> values{4, 1, 7, 2, 6};  // X 11..15
  VisibleStats s = StatsInRange(values, 11, 11.5, 14.2);
  EXPECT_EQ(s.Count, 3);
  EXPECT_EQ(s.Min, 1.0);
  EXPECT_EQ(s.Max, 7.0);
  EXPECT_DOUBLE_EQ(s.Mean, 10.0 / 3.0);
  EXPECT_EQ(StatsInRange(values, 11, 0, 100).Count, 5);
  EXPECT_EQ(StatsInRange(values, 11, 16, 20).Count, 0);
  EXPECT_EQ(StatsInRange(values, 11, 12.2, 12.8).Count, 0);
  EXPECT_EQ(StatsInRange({}, 1, 0, 1).Count, 0);
}

}  // namespace
}  // namespace qelt
