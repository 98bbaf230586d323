// Samples to spectrum: decoding, the cycle at 50 and 60 Hz, normalisation and
// the sums per order, and the figures the analysis view shows.
#include <gtest/gtest.h>

#include <cmath>

#include "harmonic/Analysis.hpp"
#include "harmonic/Figures.hpp"
#include "harmonic/LineFrequency.hpp"
#include "sim/Waveform.hpp"

namespace qelt::test {
namespace {

std::string Reply(const std::vector<std::int32_t>& samples) {
  std::vector<std::int32_t> all = samples;
  all.resize(81, 0);
  return PackSamples(all);
}

HarmonicState WithCycle(const std::vector<double>& cycle) {
  HarmonicState s;
  StartHarmonicLists(s);
  for (std::size_t i = 0; i < cycle.size(); ++i) s.CycleSamples[i] = cycle[i];
  return s;
}

TEST(HarmonicAnalysis, DecodesSignedBigEndianSamples) {
  EXPECT_EQ(DecodeSample(0x7F, 0xFF, 0xFF), 8388607.0);
  EXPECT_EQ(DecodeSample(0x80, 0x00, 0x00), -8388608.0);
  EXPECT_EQ(DecodeSample(0xFF, 0xFF, 0xFF), -1.0);
  EXPECT_EQ(DecodeSample(0x00, 0x01, 0x00), 256.0);
}

TEST(HarmonicAnalysis, CycleListsSixtyFourOrFiftyFourSamples) {
  std::vector<std::int32_t> samples;
  for (int i = 0; i < 81; ++i) samples.push_back(i * i - 1000 * (i % 7));
  HarmonicState s;
  StartHarmonicLists(s);
  TakeReply(s, Reply(samples), "50Hz");
  ASSERT_EQ(s.Grid54.Rows(), 65);
  EXPECT_EQ(s.Grid54.Cell(1, 0), "1");
  EXPECT_EQ(s.Grid54.Cell(64, 0), "64");
  EXPECT_EQ(s.Grid54.Cell(3, 1), "-1996");  // sample 2: 4 - 2000
  for (int j = 0; j < 64; ++j)
    EXPECT_EQ(s.CycleSamples[static_cast<std::size_t>(j)], samples[static_cast<std::size_t>(j)]);
  EXPECT_EQ(s.RawSamples[80], samples[80]);

  TakeReply(s, Reply(samples), "60Hz");
  ASSERT_EQ(s.Grid54.Rows(), 55);
  EXPECT_EQ(s.Grid54.Cell(54, 0), "54");
  EXPECT_EQ(s.CycleSamples[0], samples[0]);
  EXPECT_DOUBLE_EQ(s.CycleSamples[1], samples[0] + (53.0 / 63.0) * (samples[1] - samples[0]));
  EXPECT_EQ(s.CycleSamples[63], samples[53]);
  // Point 62: x = 52.126..., between samples 52 and 53.
  const double x = 62 * 53.0 / 63;
  EXPECT_DOUBLE_EQ(s.CycleSamples[62], samples[52] + (x - 52) * (samples[53] - samples[52]));

  Normalise(s);
  ASSERT_EQ(s.Grid.Rows(), 65);
  EXPECT_EQ(s.Grid.Cell(0, 0), "No.s");
  EXPECT_EQ(s.Grid.Cell(64, 0), "64");
}

TEST(HarmonicAnalysis, NormalisesBetweenTheSearchedPeaks) {
  std::vector<double> symmetric(64);
  for (int i = 0; i < 64; ++i) symmetric[static_cast<std::size_t>(i)] = 300 * std::sin(2 * M_PI * i / 64);
  HarmonicState s = WithCycle(symmetric);
  Normalise(s);
  EXPECT_EQ(s.Grid.Cell(17, 1), "1.0000");   // point 16, the maximum
  EXPECT_EQ(s.Grid.Cell(49, 1), "-1.0000");  // point 48, the minimum

  // The search starts at 0: all positive 100..300 keeps 0 as the minimum.
  std::vector<double> positive(64);
  for (int i = 0; i < 64; ++i) positive[static_cast<std::size_t>(i)] = 100 + 200.0 * i / 63;
  s = WithCycle(positive);
  Normalise(s);
  EXPECT_EQ(s.Grid.Cell(1, 1), "-0.3333");
  EXPECT_EQ(s.Grid.Cell(64, 1), "1.0000");

  // No positive peak: divided by the largest magnitude.
  std::vector<double> negative(64);
  for (int i = 0; i < 64; ++i) negative[static_cast<std::size_t>(i)] = -300 + 100.0 * i / 63;
  s = WithCycle(negative);
  Normalise(s);
  EXPECT_EQ(s.Grid.Cell(1, 1), "-1.0000");
  EXPECT_EQ(s.Grid.Cell(64, 1), "-0.3333");

  s = WithCycle(std::vector<double>(64, 0.0));
  Normalise(s);
  for (int r = 1; r <= 64; ++r) EXPECT_EQ(s.Grid.Cell(r, 1), "0.0000");
  // Flat but positive: the minimum stays 0, so the cycle reads its peak.
  s = WithCycle(std::vector<double>(64, 42.0));
  Normalise(s);
  EXPECT_EQ(s.Grid.Cell(5, 1), "1.0000");
}

TEST(HarmonicAnalysis, SpectrumOfAPureSine) {
  std::vector<double> sine(64);
  for (int n = 0; n < 64; ++n) sine[static_cast<std::size_t>(n)] = 1000 * std::sin(2 * M_PI * n / 64);
  HarmonicState s = WithCycle(sine);
  Spectrum(s);
  EXPECT_EQ(s.HarmonicAmp[1], 32000.0f);  // 32 x the peak, no division by 64
  for (int h = 2; h <= 31; ++h) EXPECT_LT(s.HarmonicAmp[static_cast<std::size_t>(h)], 1e-6) << h;
  HarmonicFigures f = ComputeFigures(s);
  EXPECT_EQ(f.PhaseText[1], "-90.00");
  EXPECT_EQ(f.OrdText[1], "100.00");

  // Sign and range of the phase.
  EXPECT_DOUBLE_EQ(PhaseDegrees(-1, 0), 180.0);
  EXPECT_DOUBLE_EQ(PhaseDegrees(-1, -0.0), 180.0);
  EXPECT_DOUBLE_EQ(PhaseDegrees(0, 0), 0.0);
  EXPECT_DOUBLE_EQ(PhaseDegrees(1, 1), 45.0);
}

HarmonicFigures FiguresOf(std::initializer_list<std::pair<int, float>> magnitudes) {
  HarmonicState s;
  for (auto [h, m] : magnitudes) s.HarmonicAmp[static_cast<std::size_t>(h)] = m;
  return ComputeFigures(s);
}

TEST(HarmonicFigures, RatiosAndDistortionPerOrder) {
  HarmonicFigures f = FiguresOf({{1, 100.0f}, {3, 10.0f}});
  EXPECT_EQ(f.OrdText[3], "10.00");
  EXPECT_EQ(f.OrdText[2], "0.00");
  EXPECT_EQ(f.ThdFText[1], "0");
  EXPECT_EQ(f.ThdRText[1], "0");
  EXPECT_EQ(f.ThdFText[2], "0.00");
  EXPECT_EQ(f.ThdRText[2], "0.00");
  for (int n = 3; n <= 31; ++n) {
    EXPECT_EQ(f.ThdFText[static_cast<std::size_t>(n)], "10.00") << n;
    EXPECT_EQ(f.ThdRText[static_cast<std::size_t>(n)], "9.95") << n;
  }
  EXPECT_EQ(f.R[1], 100.0f);

  OrdersView one = ChooseOrders(f, 1);
  EXPECT_EQ(one.Labels, std::vector<std::string>{"K1"});
  EXPECT_EQ(one.ValueTexts, std::vector<std::string>{"100"});
  EXPECT_EQ(one.Thd, "0");
  EXPECT_EQ(one.Thdr, "0.00");
  OrdersView five = ChooseOrders(f, 5);
  EXPECT_EQ(five.Labels, (std::vector<std::string>{"K1", "K2", "K3", "K4", "K5"}));
  EXPECT_EQ(five.ValueTexts[2], "10");
  EXPECT_EQ(five.Thd, "10.00");
  EXPECT_EQ(five.Thdr, "9.95");
  EXPECT_EQ(ChooseOrder(f, 3).Ord, "10.00");
  EXPECT_EQ(ChooseOrder(f, 1).Ord, "100.00");

  // Ratios to seven digits on the chart, two in the texts.
  HarmonicFigures g = FiguresOf({{1, 3.0f}, {2, 1.0f}});
  EXPECT_EQ(ChooseOrders(g, 2).ValueTexts[1], "33.33333");
  EXPECT_EQ(g.OrdText[2], "33.33");

  const std::string report = FiguresReport(f);
  EXPECT_EQ(report.substr(0, report.find('\n', report.find('\n') + 1) + 1),
            "K\tORD%\tDegree\tTHD-F%\tTHD-R%\n1\t100.00\t0.00\t0\t0\n");
  EXPECT_EQ(std::count(report.begin(), report.end(), '\n'), 32);
}

TEST(HarmonicFigures, NoFundamentalReadsDashes) {
  HarmonicFigures f = FiguresOf({{3, 10.0f}});
  EXPECT_EQ(f.OrdText[1], NoFigure);
  EXPECT_EQ(f.OrdText[3], NoFigure);
  EXPECT_EQ(f.ThdFText[5], NoFigure);
  EXPECT_EQ(f.ThdRText[5], "100.00");
  OrdersView v = ChooseOrders(f, 31);
  EXPECT_EQ(v.Values[2], 0.0);  // no bar for a ratio that is not a number
  EXPECT_EQ(v.ValueTexts[2], NoFigure);
  EXPECT_EQ(v.Thd, NoFigure);

  HarmonicFigures silent = FiguresOf({});
  EXPECT_EQ(silent.ThdRText[31], NoFigure);
  EXPECT_EQ(ChooseOrders(silent, 1).Thdr, NoFigure);
  EXPECT_EQ(silent.PhaseText[4], "0.00");
}

TEST(LineFrequency, TheReadingPicksTheNearerItemAndAMismatchIsNamed) {
  MeterState meter;
  LiveReading live;
  live.Hz = "050.0";
  EXPECT_FALSE(LiveLineHz(meter, live));  // no reading has come yet
  meter.ReadingSerial = 3;
  ASSERT_TRUE(LiveLineHz(meter, live));
  EXPECT_DOUBLE_EQ(*LiveLineHz(meter, live), 50.0);
  live.Hz = "";
  EXPECT_FALSE(LiveLineHz(meter, live));

  EXPECT_EQ(NearerHzItem(49.9), "50Hz");
  EXPECT_EQ(NearerHzItem(59.2), "60Hz");
  EXPECT_EQ(NearerHzItem(55.0), "60Hz");  // a tie keeps the first item
  EXPECT_EQ(NearerHzItem(54.9), "50Hz");

  EXPECT_EQ(FrequencyMismatchNote("60Hz", 50.0), "The instrument reads 50.0 Hz: the analysis at 60 Hz is not valid");
  EXPECT_EQ(FrequencyMismatchNote("60Hz", 57.0), "");  // 5 % of 60 Hz is 3 Hz
  EXPECT_NE(FrequencyMismatchNote("60Hz", 56.9), "");
  EXPECT_EQ(FrequencyMismatchNote("50Hz", 52.5), "");
  EXPECT_NE(FrequencyMismatchNote("50Hz", 52.6), "");
  EXPECT_EQ(FrequencyMismatchNote("50Hz", std::nullopt), "");
}

TEST(LineFrequency, PrintoutHeadingNamesWhatWasAnalysed) {
  HarmonicState state;
  EXPECT_EQ(AnalysisHeading(state), "");
  state.LastLetter = 'e';
  state.AnalysisHz = "50Hz";
  state.AnalysedAt = DateTime{2026, 12, 10, 7, 5, 9};
  EXPECT_EQ(AnalysisHeading(state), "B Phase Current   50Hz   2026/12/10 07:05:09");
  state.LastLetter = '\0';
  state.AnalysisFile = "/data/a.har";
  EXPECT_EQ(AnalysisHeading(state), "50Hz   2026/12/10 07:05:09   /data/a.har");
}

TEST(Figures, TheChartWithoutTheFundamentalDropsOrderOne) {
  HarmonicState state;
  state.HarmonicAmp[1] = 100;
  state.HarmonicAmp[3] = 2;
  state.HarmonicAmp[5] = 1;
  const HarmonicFigures f = ComputeFigures(state);
  const OrdersView all = ChooseOrders(f, 31);
  const OrdersView without = WithoutFundamental(all);
  ASSERT_EQ(without.Labels.size(), 30u);
  EXPECT_EQ(without.Labels.front(), "K2");
  EXPECT_DOUBLE_EQ(without.Values[1], 2.0);
  EXPECT_EQ(without.ValueTexts[1], all.ValueTexts[2]);
  EXPECT_EQ(without.Thd, all.Thd);  // the labels keep every order
  EXPECT_TRUE(WithoutFundamental(ChooseOrders(f, 1)).Labels.empty());
}

}  // namespace
}  // namespace qelt::test
