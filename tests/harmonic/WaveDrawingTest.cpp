// The waveform view's geometry, labels, clipping and the order of the grid
// lines against the segments.
#include <gtest/gtest.h>

#include "harmonic/WaveDrawing.hpp"

namespace qelt::test {
namespace {

// Eight pixels a character, ten high.
WaveTextMetrics Metrics() {
  return {[](const std::string& t) { return 8.0 * static_cast<double>(t.size()); },
          [](const std::string& t) { return t.empty() ? 0.0 : 10.0; }};
}

TEST(WaveDrawing, FourHundredPixelGeometry) {
  std::vector<std::string> texts(64, "0.0000");
  texts[0] = "1.0000";
  texts[1] = "-1.0000";
  texts[2] = "1.5";
  texts[3] = "-2";
  texts[4] = "";
  WaveDrawing d = DrawWave(400, 391, texts, Metrics());
  const WaveGeometry& g = d.Geometry;
  EXPECT_EQ(g.Width, 330);
  EXPECT_EQ(g.Step, 5.15625);
  EXPECT_EQ(g.OriginY, 364);
  EXPECT_EQ(g.Height, 291);
  ASSERT_EQ(d.PointX.size(), 64u);
  const double expected[] = {60, 116.71875, 183.75, 250.78125, 317.8125, 384.84375};
  const int points[] = {1, 12, 25, 38, 51, 64};
  for (int n = 0; n < 6; ++n) EXPECT_DOUBLE_EQ(d.PointX[static_cast<std::size_t>(points[n] - 1)], expected[n]);
  EXPECT_LT(d.PointX[63], g.OriginX + g.Width);  // 63/64 of the width
  EXPECT_EQ(d.PointY[0], g.OriginY - g.Height);
  EXPECT_EQ(d.PointY[1], g.OriginY);
  EXPECT_EQ(d.PointY[2], g.OriginY - g.Height - 5);
  EXPECT_EQ(d.PointY[3], g.OriginY + 3);
  EXPECT_EQ(d.PointY[4], g.OriginY - g.Height / 2);
  EXPECT_EQ(d.PointY[5], g.OriginY - g.Height / 2);

  // Value labels bottom to top, each placed from the width of the one before.
  ASSERT_GE(d.Texts.size(), 9u + 6u);
  const char* labels[] = {"-1.", "-0.75", "-0.5", "-0.25", "0.", "0.25", "0.5", "0.75", "1."};
  for (int k = 0; k < 9; ++k) EXPECT_EQ(d.Texts[static_cast<std::size_t>(k)].Text, labels[k]);
  EXPECT_DOUBLE_EQ(d.Texts[0].X, 20 - 24.0 / 4);  // from "100"
  EXPECT_DOUBLE_EQ(d.Texts[1].X, 20 - 24.0 / 4);  // from "-1."
  EXPECT_DOUBLE_EQ(d.Texts[2].X, 20 - 40.0 / 4);  // from "-0.75"
  EXPECT_DOUBLE_EQ(d.Texts[8].Y, (364 - 5) - 8 * 291.0 / 8);
  // Point labels: centred on their own number, 10 further left for 1 and 64.
  EXPECT_EQ(d.Texts[9].Text, " 1");
  EXPECT_DOUBLE_EQ(d.Texts[9].X, 60 - 4 - 10);
  EXPECT_EQ(d.Texts[10].Text, " 12");
  EXPECT_DOUBLE_EQ(d.Texts[10].X, 116.71875 - 8);
  EXPECT_DOUBLE_EQ(d.Texts[14].X, 384.84375 - 8 - 10);
  EXPECT_DOUBLE_EQ(d.Texts[14].Y, 374);

  // The grid is drawn again before each segment: the last line of the
  // drawing is point 64's dotted mark, and the segment to point 64 comes
  // after that point's seven dotted grid lines.
  std::size_t segments = 0, dotted = 0, lastDotted = 0, lastSegment = 0;
  for (std::size_t i = 0; i < d.Lines.size(); ++i) {
    const WaveLine& l = d.Lines[i];
    if (l.Dotted) ++dotted, lastDotted = i;
    if (l.Colour == WaveColour::Black && l.Width == 1 && l.X1 >= 60) ++segments, lastSegment = i;
  }
  EXPECT_EQ(segments, 63u);
  EXPECT_EQ(dotted, 64u * 7 + 6);
  EXPECT_EQ(lastDotted, d.Lines.size() - 1);
  EXPECT_EQ(lastSegment, d.Lines.size() - 2);
  EXPECT_EQ(d.Lines[0].Width, 2);
  EXPECT_EQ(WaveProgressCaption(12), "12 Records Completed");
}

TEST(WaveDrawing, ReportsProgressPerPointAndRoundsTheWidth) {
  std::vector<int> seen;
  DrawWave(1920, 1080, {}, Metrics(), [&](int i) { seen.push_back(i); });
  ASSERT_EQ(seen.size(), 64u);
  EXPECT_EQ(seen.front(), 1);
  EXPECT_EQ(seen.back(), 64);
  EXPECT_EQ(WaveGeometryFor(1920, 1080).Width, 1860);
  EXPECT_EQ(WaveGeometryFor(419.6, 400).Width, 359.6 - 0);  // 359.6 rounds to 360, a multiple of 30
  EXPECT_EQ(WaveGeometryFor(405, 400).Width, 345 - 15);
}

}  // namespace
}  // namespace qelt::test
