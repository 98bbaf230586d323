// The trend lines fed from records (gaps, over-range marks) and the time axis.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <stdexcept>

#include "report/ReportText.hpp"
#include "report/TimeTicks.hpp"
#include "report/TrendData.hpp"

using namespace qelt;

namespace {

SummaryRecord RecordAt(Moment at, double v1) {
  SummaryRecord r;
  r.At = at;
  r.Weight = 1;
  r.Values.fill(1.0);
  r.Values[static_cast<std::size_t>(QuantityIndexOf("V1"))] = v1;
  return r;
}

const TrendLine& LineOf(const TrendBuilder& trends, const char* name) {
  for (const TrendPlot& plot : trends.Plots())
    for (const TrendLine& line : plot.Lines)
      if (line.Quantity == QuantityIndexOf(name)) return line;
  throw std::runtime_error(name);
}

int Holes(const std::vector<LinePoint>& points) {
  int holes = 0;
  for (const LinePoint& p : points) holes += std::isnan(p.Y) ? 1 : 0;
  return holes;
}

}  // namespace

TEST(Trend, AGapBreaksEveryLineAndAnOverRangeMarksItsOwn) {
  TrendBuilder trends({0, 100}, 2, 100);
  trends.Add(RecordAt(0, 230));
  trends.Add(RecordAt(2, 231));
  trends.Add(RecordAt(4, 232));   // exactly twice the interval later than before: still joined
  trends.Add(RecordAt(50, 229));  // a gap
  SummaryRecord over = RecordAt(52, 0);
  over.Kinds[static_cast<std::size_t>(QuantityIndexOf("V1"))] = ValueKind::OverRange;
  trends.Add(over);
  trends.Add(RecordAt(54, 230));

  const TrendLine& v1 = LineOf(trends, "V1");
  EXPECT_EQ(Holes(v1.Data.Points()), 2);  // the gap and the over-range
  ASSERT_EQ(v1.Data.Marks().size(), 1u);
  EXPECT_DOUBLE_EQ(v1.Data.Marks()[0], 52.0);
  EXPECT_DOUBLE_EQ(v1.Data.Max(), 232.0);  // the over-range is not a number of the line
  const TrendLine& hz = LineOf(trends, "Hz");
  EXPECT_EQ(Holes(hz.Data.Points()), 1);  // the gap only
  EXPECT_TRUE(hz.Data.Marks().empty());
}

TEST(Trend, EveryGroupIsPlottedAndAShortSpanIsWidened) {
  int lines = 0;
  for (const TrendGroup& group : TrendGroups())
    for (const char* name : group.Names) {
      EXPECT_GE(QuantityIndexOf(name), 0) << name;
      ++lines;
    }
  EXPECT_EQ(lines, 18);
  Summary one;
  one.First = one.Last = 1000;
  const TrendSpan span = TrendSpanOf(one);
  EXPECT_DOUBLE_EQ(span.X1 - span.X0, 60.0);
  EXPECT_DOUBLE_EQ(span.X0, 970.0);
}

TEST(TimeTicks, StepsAreWholeClockUnits) {
  EXPECT_EQ(TimeTickStep(10, 10), 1);
  EXPECT_EQ(TimeTickStep(11, 10), 2);
  EXPECT_EQ(TimeTickStep(3600, 8), 600);
  EXPECT_EQ(TimeTickStep(86400, 8), 10800);
  EXPECT_EQ(TimeTickStep(7 * 86400, 8), 86400);
  EXPECT_EQ(TimeTickStep(365 * 86400.0, 8), 56 * 86400);
  EXPECT_EQ(TimeTickStep(100, 0), 120);  // no room: one tick
}

TEST(TimeTicks, TheDateIsShownAtTheFirstTickAndWhereItChanges) {
  // 2026/03/01 22:00:00 and the ticks after it, 2 hours apart.
  const double evening = 1772402400;
  EXPECT_EQ(TimeTickLabel(evening, 7200, true), "22:00\n2026/03/01");
  EXPECT_EQ(TimeTickLabel(evening + 7200, 7200, false), "00:00\n2026/03/02");
  EXPECT_EQ(TimeTickLabel(evening + 14400, 7200, false), "02:00");
  EXPECT_EQ(TimeTickLabel(evening + 30, 30, false), "22:00:30");
  EXPECT_EQ(TimeTickLabel(evening + 7200, 86400, false), "2026/03/02");
}

TEST(Trend, ASinglePhaseRecordingShowsItsOnePhaseOnly) {
  Summary s;
  auto set = [&s](const char* name, double min, double max) {
    QuantityStats& q = s.Quantities[static_cast<std::size_t>(QuantityIndexOf(name))];
    q.Min = min;
    q.Max = max;
  };
  set("V1", 228.0, 232.0);
  set("V2", 0.0, 0.0);
  set("V3", 0.0, 0.0);
  EXPECT_EQ(PhasesUsedBy(s), (UsedPhases{true, false, false}));
  // A phase that was live for a moment is used; a file without voltages shows all.
  set("V3", 0.0, 1.5);
  EXPECT_EQ(PhasesUsedBy(s), (UsedPhases{true, false, true}));
  EXPECT_EQ(PhasesUsedBy(Summary{}), (UsedPhases{true, true, true}));

  TrendBuilder trends({0, 100}, 2, 100, {true, false, false});
  std::vector<std::string> names;
  for (const TrendPlot& plot : trends.Plots())
    for (const TrendLine& line : plot.Lines) names.push_back(QuantityNames[static_cast<std::size_t>(line.Quantity)]);
  EXPECT_EQ(names, (std::vector<std::string>{"V1", "I1", "I4", "TKW", "TKVAR", "TKVA", "PF1", "TPF", "Hz", "KW1"}));

  set("V3", 0.0, 0.0);
  std::vector<std::string> listed;
  for (const auto& row : QuantityTable(s)) listed.push_back(row[0]);
  EXPECT_EQ(std::count(listed.begin(), listed.end(), "PF2"), 0);
  EXPECT_EQ(std::count(listed.begin(), listed.end(), "Theta3"), 0);
  EXPECT_EQ(std::count(listed.begin(), listed.end(), "Theta1"), 1);
  EXPECT_EQ(std::count(listed.begin(), listed.end(), "TPF"), 1);
  const ReportTable energy = EnergyTable(s);
  ASSERT_EQ(energy.size(), 3u);  // titles, total, phase 1
  EXPECT_EQ(energy[2][0], "Phase 1");
}
