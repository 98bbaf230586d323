#include <gtest/gtest.h>

#include <cmath>

#include "report/Decimation.hpp"

namespace qelt {
namespace {

int Holes(const std::vector<LinePoint>& points) {
  int holes = 0;
  for (const LinePoint& p : points) holes += std::isnan(p.Y) ? 1 : 0;
  return holes;
}

TEST(Decimation, AMillionPointsBecomeTwoPerColumnAndKeepTheirPeaks) {
  ColumnDecimator line(0, 1e6, 500);
  for (int i = 0; i < 1000000; ++i) line.Add(i, std::sin(i / 1000.0));
  line.Add(123456.5, 40.0);  // one spike
  line.Add(654321.5, -40.0);
  const std::vector<LinePoint> points = line.Points();
  EXPECT_LE(points.size(), 1000u);
  EXPECT_GE(points.size(), 900u);
  double top = -1e9, bottom = 1e9;
  for (const LinePoint& p : points) top = std::max(top, p.Y), bottom = std::min(bottom, p.Y);
  EXPECT_EQ(top, 40.0);
  EXPECT_EQ(bottom, -40.0);
  EXPECT_EQ(line.Max(), 40.0);
  EXPECT_EQ(line.Min(), -40.0);
  EXPECT_EQ(Holes(points), 0);
}

TEST(Decimation, AColumnGivesItsExtremesInTheOrderTheyCame) {
  ColumnDecimator falling(0, 10, 1);
  falling.Add(1, 5);
  falling.Add(2, 9);  // the maximum first
  falling.Add(3, 1);  // then the minimum
  falling.Add(4, 4);
  const std::vector<LinePoint> a = falling.Points();
  ASSERT_EQ(a.size(), 2u);
  EXPECT_EQ(a[0].X, 2);
  EXPECT_EQ(a[0].Y, 9);
  EXPECT_EQ(a[1].X, 3);
  EXPECT_EQ(a[1].Y, 1);

  ColumnDecimator rising(0, 10, 1);
  rising.Add(1, 5);
  rising.Add(2, 1);
  rising.Add(3, 9);
  const std::vector<LinePoint> b = rising.Points();
  ASSERT_EQ(b.size(), 2u);
  EXPECT_EQ(b[0].Y, 1);
  EXPECT_EQ(b[1].Y, 9);
}

TEST(Decimation, FewPointsStayAsTheyAre) {
  ColumnDecimator line(0, 100, 1000);
  line.Add(10, 1);
  line.Add(20, 1);  // a flat column gives one point
  line.Add(30, 2);
  const std::vector<LinePoint> points = line.Points();
  ASSERT_EQ(points.size(), 3u);
  EXPECT_EQ(points[1].X, 20);
  EXPECT_EQ(points[2].Y, 2);
}

TEST(Decimation, ABreakLeavesAHoleAndEmptyColumnsAreBridged) {
  ColumnDecimator line(0, 100, 100);
  line.Add(1, 1);
  line.Add(50, 2);  // columns 2..49 empty: bridged
  line.Break();
  line.Break();  // a second break adds nothing
  line.Add(80, 3);
  const std::vector<LinePoint> points = line.Points();
  ASSERT_EQ(points.size(), 4u);
  EXPECT_EQ(points[1].Y, 2);
  EXPECT_TRUE(std::isnan(points[2].Y));
  EXPECT_EQ(points[3].Y, 3);

  ColumnDecimator before(0, 100, 100);
  before.Break();  // nothing to break yet
  before.Add(5, 1);
  EXPECT_EQ(Holes(before.Points()), 0);
}

TEST(Decimation, ANonFiniteNumberIsABreak) {
  ColumnDecimator line(0, 10, 10);
  line.Add(1, 1);
  line.Add(2, std::nan(""));
  line.Add(3, 1);
  EXPECT_EQ(Holes(line.Points()), 1);
  EXPECT_EQ(line.Max(), 1);
}

TEST(Decimation, MarksAreOnePerColumnAtTheFirstMark) {
  ColumnDecimator line(0, 100, 10);
  line.Mark(12);
  line.Mark(15);  // same column
  line.Mark(95);
  line.Mark(250);  // past the end: the last column, already marked
  line.Mark(-5);   // before the start: the first column
  const std::vector<double> marks = line.Marks();
  ASSERT_EQ(marks.size(), 3u);
  EXPECT_EQ(marks[0], -5);
  EXPECT_EQ(marks[1], 12);
  EXPECT_EQ(marks[2], 95);
  EXPECT_FALSE(line.HasNumbers());
  EXPECT_TRUE(line.Points().empty());
}

TEST(Decimation, AnEmptySpanPutsEverythingIntoOneColumn) {
  ColumnDecimator line(50, 50, 300);
  line.Add(50, 1);
  line.Add(50, 3);
  line.Add(50, 2);
  EXPECT_EQ(line.Points().size(), 2u);
}

}  // namespace
}  // namespace qelt
