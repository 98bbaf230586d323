// The limit tables and the verdict, through the whole file chain: a wave
// with one order over its limit, read as a 50 Hz and as a 60 Hz file.
#include <gtest/gtest.h>

#include <cmath>
#include <map>

#include "harmonic/Analysis.hpp"
#include "harmonic/FileHz.hpp"
#include "harmonic/HarmonicCommands.hpp"
#include "harmonic/HarmonicLimits.hpp"
#include "text/NumberText.hpp"

namespace qelt::test {
namespace {

// Order -> percent of the fundamental.
using Spectrum = std::map<int, double>;

// One cycle of the wave as a harmonic file's rows: 64 samples at 50 Hz, 54 at 60 Hz.
std::vector<std::string> FileRows(const Spectrum& orders, int hz) {
  const int n = hz == 50 ? CyclePoints : Samples60Hz;
  std::vector<std::string> rows;
  for (int i = 0; i < n; ++i) {
    const double x = 2 * M_PI * i / n;
    double v = 1000 * std::sin(x);
    for (const auto& [h, pct] : orders) v += 10 * pct * std::sin(h * x + 0.2 * h);
    rows.push_back(std::to_string(i + 1) + "\t" + FormatPattern(v, "0.000"));
  }
  return rows;
}

HarmonicFigures FiguresOf(const Spectrum& orders, int hz) {
  HarmonicState state;
  StartHarmonicLists(state);
  TakeFileRows(state, FileRows(orders, hz), hz == 50 ? FileCycle::Whole64 : FileCycle::Stretch54);
  AnalyseCycle(state, true);
  return ComputeFigures(state);
}

std::vector<int> Failing(const LimitVerdict& v) {
  std::vector<int> orders;
  for (int h = 2; h <= HighestOrder; ++h)
    if (v.Orders[static_cast<std::size_t>(h)].Pass == false) orders.push_back(h);
  return orders;
}

LimitChoice Choice(const std::string& name, std::optional<double> iscIl = std::nullopt) {
  Result<LimitChoice> choice = ParseLimitChoice(name, iscIl);
  EXPECT_TRUE(choice.Ok()) << choice.Reason();
  return choice.Ok() ? choice.Value() : LimitChoice{};
}

struct OneOver {
  const char* Name;
  LimitChoice Limits;
  Spectrum Wave;
  int Over;
};

class LimitsOnAWave : public ::testing::TestWithParam<int> {};

TEST_P(LimitsOnAWave, OnlyTheOrderOverItsLimitFails) {
  const int hz = GetParam();
  const OneOver cases[] = {
      {"en50160, 5th at 7 %", Choice("en50160"), {{3, 2.0}, {5, 7.0}, {7, 2.0}, {11, 1.5}}, 5},
      {"ieee519 voltage, 7th at 6 %", Choice("ieee519"), {{3, 3.0}, {5, 3.0}, {7, 6.0}}, 7},
      {"ieee519 current R 20, 11th at 4.5 %", Choice("ieee519", 20), {{3, 5.0}, {5, 4.0}, {11, 4.5}}, 11},
  };
  for (const OneOver& c : cases) {
    SCOPED_TRACE(c.Name);
    const LimitVerdict v = JudgeFigures(FiguresOf(c.Wave, hz), c.Limits);
    EXPECT_EQ(Failing(v), std::vector<int>{c.Over});
    EXPECT_EQ(v.ThdPass, true) << v.ThdText;
    EXPECT_FALSE(v.Pass);
    // The same wave without the order over its limit passes.
    Spectrum under = c.Wave;
    under.erase(c.Over);
    EXPECT_TRUE(JudgeFigures(FiguresOf(under, hz), c.Limits).Pass);
  }
}

TEST_P(LimitsOnAWave, TheThdAloneFailsAFile) {
  // Each order under its en50160 limit, together over 8 %.
  const Spectrum wave{{3, 4.5}, {5, 5.5}, {7, 4.5}};
  const LimitVerdict v = JudgeFigures(FiguresOf(wave, GetParam()), Choice("en50160"));
  EXPECT_EQ(Failing(v), std::vector<int>{}) << v.ThdText;
  EXPECT_EQ(v.ThdPass, false) << v.ThdText;
  EXPECT_FALSE(v.Pass);
}

INSTANTIATE_TEST_SUITE_P(At50And60Hz, LimitsOnAWave, ::testing::Values(50, 60));

TEST(LimitTables, En50160AndIeee519Voltage) {
  const std::map<int, double> en{{2, 2.0},  {3, 5.0},  {4, 1.0},  {5, 6.0},  {6, 0.5},  {7, 5.0},
                                 {8, 0.5},  {9, 1.5},  {10, 0.5}, {11, 3.5}, {12, 0.5}, {13, 3.0},
                                 {14, 0.5}, {15, 0.5}, {16, 0.5}, {17, 2.0}, {18, 0.5}, {19, 1.5},
                                 {20, 0.5}, {21, 0.5}, {22, 0.5}, {23, 1.5}, {24, 0.5}, {25, 1.5}};
  const LimitTable table = LimitsOf(Choice("en50160"));
  for (int h = 2; h <= HighestOrder; ++h) {
    SCOPED_TRACE(h);
    const auto limit = table.Order[static_cast<std::size_t>(h)];
    if (en.count(h)) {
      EXPECT_EQ(limit, en.at(h));
    } else {
      EXPECT_FALSE(limit);  // 26..31
    }
  }
  EXPECT_EQ(table.Thd, 8.0);
  const LimitTable ieee = LimitsOf(Choice("ieee519"));
  for (int h = 2; h <= HighestOrder; ++h) EXPECT_EQ(ieee.Order[static_cast<std::size_t>(h)], 5.0) << h;
  EXPECT_EQ(ieee.Thd, 8.0);
  EXPECT_FALSE(LimitsOf(Choice("none")).Thd);
}

double CurrentLimit(double iscIl, int h) {
  return *LimitsOf(Choice("ieee519", iscIl)).Order[static_cast<std::size_t>(h)];
}

TEST(LimitTables, Ieee519CurrentBandsAndRatios) {
  // R just below 20 takes the first row, 20 the second.
  EXPECT_EQ(CurrentLimit(19.9, 3), 4.0);
  EXPECT_EQ(CurrentLimit(20, 3), 7.0);
  EXPECT_EQ(LimitsOf(Choice("ieee519", 19.9)).Thd, 5.0);
  EXPECT_EQ(LimitsOf(Choice("ieee519", 20)).Thd, 8.0);
  EXPECT_EQ(CurrentLimit(49.9, 11), 3.5);
  EXPECT_EQ(CurrentLimit(50, 11), 4.5);
  EXPECT_EQ(CurrentLimit(99.9, 17), 4.0);
  EXPECT_EQ(CurrentLimit(100, 17), 5.0);
  EXPECT_EQ(CurrentLimit(999, 23), 2.0);
  EXPECT_EQ(CurrentLimit(1000, 23), 2.5);
  EXPECT_EQ(LimitsOf(Choice("ieee519", 1000)).Thd, 20.0);

  // The band edges by order, below 20.
  EXPECT_EQ(CurrentLimit(10, 9), 4.0);
  EXPECT_EQ(CurrentLimit(10, 10), 4.0);
  EXPECT_EQ(CurrentLimit(10, 11), 2.0);
  EXPECT_EQ(CurrentLimit(10, 16), 2.0);
  EXPECT_EQ(CurrentLimit(10, 17), 1.5);
  EXPECT_EQ(CurrentLimit(10, 22), 1.5);
  EXPECT_EQ(CurrentLimit(10, 23), 0.6);
  EXPECT_EQ(CurrentLimit(10, 31), 0.6);

  // Even orders: half of the band up to the 6th (the 2nd in the first band), full from the 8th.
  EXPECT_EQ(CurrentLimit(10, 2), 2.0);
  EXPECT_EQ(CurrentLimit(10, 4), 2.0);
  EXPECT_EQ(CurrentLimit(10, 6), 2.0);
  EXPECT_EQ(CurrentLimit(10, 8), 4.0);
  EXPECT_EQ(CurrentLimit(1000, 6), 7.5);
  EXPECT_EQ(CurrentLimit(1000, 8), 15.0);
}

TEST(LimitVerdicts, AnOrderIsJudgedAsTheTableShowsIt) {
  HarmonicFigures f;
  for (int h = 1; h <= HighestOrder; ++h) f.OrdText[static_cast<std::size_t>(h)] = "0.00";
  f.ThdFText[HighestOrder] = "8.00";
  f.OrdText[5] = "6.00";   // at the limit: passes
  f.OrdText[7] = "5.01";   // the hundredth over it: fails
  f.OrdText[3] = "---";    // no figure: cannot pass
  f.OrdText[27] = "9.99";  // no limit
  const LimitVerdict v = JudgeFigures(f, Choice("en50160"));
  EXPECT_EQ(v.Orders[5].Pass, true);
  EXPECT_EQ(v.Orders[7].Pass, false);
  EXPECT_EQ(v.Orders[3].Pass, false);
  EXPECT_FALSE(v.Orders[27].Pass);
  EXPECT_FALSE(v.Orders[27].Limit);
  EXPECT_EQ(v.ThdPass, true);
  EXPECT_EQ(Failing(v), (std::vector<int>{3, 7}));

  f.ThdFText[HighestOrder] = "8.01";
  EXPECT_EQ(JudgeFigures(f, Choice("en50160")).ThdPass, false);
  // Without limits nothing is judged and the file passes.
  const LimitVerdict none = JudgeFigures(f, Choice("none"));
  EXPECT_TRUE(none.Pass);
  EXPECT_FALSE(none.ThdPass);
}

TEST(LimitVerdicts, ChoicesThatAreRefused) {
  EXPECT_FALSE(ParseLimitChoice("iec61000", std::nullopt).Ok());
  EXPECT_FALSE(ParseLimitChoice("ieee519", 0.0).Ok());
  EXPECT_FALSE(ParseLimitChoice("ieee519", -5.0).Ok());
  EXPECT_FALSE(ParseLimitChoice("ieee519", NAN).Ok());
  EXPECT_FALSE(ParseLimitChoice("en50160", 20.0).Ok());
  EXPECT_EQ(Choice("ieee519", 0.5).Standard, LimitStandard::Ieee519Current);
  EXPECT_EQ(ChoiceTitle(Choice("ieee519", 20)), "IEEE 519 current (ISC/IL 20)");
}

TEST(FileFrequency, TheSampleCountTellsTheFrequency) {
  const FileHz at64 = FileHzFor(64, std::nullopt);
  EXPECT_EQ(at64.Hz, 50);
  EXPECT_EQ(at64.Mode, FileCycle::Whole64);
  EXPECT_NE(at64.Note.find("50 Hz"), std::string::npos);
  EXPECT_EQ(FileHzFor(81, std::nullopt).Mode, FileCycle::Whole64);
  for (int rows : {54, 63}) {
    const FileHz at60 = FileHzFor(rows, std::nullopt);
    EXPECT_EQ(at60.Hz, 60) << rows;
    EXPECT_EQ(at60.Mode, FileCycle::Stretch54) << rows;
    EXPECT_NE(at60.Note.find("60 Hz"), std::string::npos) << rows;
  }
  // Too short for either: nothing to say, the caller refuses it.
  EXPECT_LT(53, SamplesNeeded(FileHzFor(53, std::nullopt).Mode));
  EXPECT_TRUE(FileHzFor(53, std::nullopt).Note.empty());
}

TEST(FileFrequency, AGivenFrequencyIsKeptAndADisagreementWarned) {
  const FileHz asked60 = FileHzFor(64, 60);
  EXPECT_EQ(asked60.Hz, 60);
  EXPECT_EQ(asked60.Mode, FileCycle::Stretch54);
  EXPECT_EQ(asked60.Note.rfind("warning: ", 0), 0u);
  EXPECT_TRUE(FileHzFor(54, 60).Note.empty());
  EXPECT_EQ(FileHzFor(64, 50).Mode, FileCycle::Whole64);
  EXPECT_TRUE(FileHzFor(64, 50).Note.empty());
}

TEST(FileFrequency, A50HzFileReadAt60HzShowsAFalseThd) {
  // The trap the inference closes: the first 54 of 64 samples taken as a cycle.
  const std::vector<std::string> rows = FileRows({{3, 3.0}, {5, 2.0}}, 50);
  HarmonicState inferred, asked60;
  StartHarmonicLists(inferred);
  StartHarmonicLists(asked60);
  TakeFileRows(inferred, rows, FileHzFor(64, std::nullopt).Mode);
  TakeFileRows(asked60, rows, FileHzFor(64, 60).Mode);
  AnalyseCycle(inferred, true);
  AnalyseCycle(asked60, true);
  EXPECT_NEAR(NumericPrefix(ComputeFigures(inferred).ThdFText[HighestOrder]), 3.61, 0.05);
  EXPECT_GT(NumericPrefix(ComputeFigures(asked60).ThdFText[HighestOrder]), 10.0);
}

}  // namespace
}  // namespace qelt::test
