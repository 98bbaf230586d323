#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "TempDir.hpp"
#include "analysis/Quality.hpp"
#include "analysis/QualityText.hpp"
#include "records/RecordTable.hpp"

namespace qelt {
namespace {

using test::TempDir;
using test::WriteFile;

// One record, At seconds after 2026/03/01 00:00:00; the other quantities
// read "000.0".
struct Row {
  int At;
  std::string V1, V2, V3;
  std::string Hz = "50.00";
};

// count rows from at, step s apart, all three phases at v.
std::vector<Row> Steady(int at, int count, const std::string& v, int step = 1) {
  std::vector<Row> rows;
  for (int i = 0; i < count; ++i) rows.push_back({at + i * step, v, v, v});
  return rows;
}

std::vector<Row> operator+(std::vector<Row> a, const std::vector<Row>& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

std::string FileText(const std::vector<Row>& rows) {
  const Moment base = *ReadMoment("2026/03/01", "00:00:00");
  std::string text = HeaderLine() + "\r\n";
  int n = 0;
  for (const Row& r : rows) {
    const std::string when = MomentText(base + r.At);
    text += std::to_string(++n) + "\t" + when.substr(0, 10) + "\t" + when.substr(11);
    for (const char* name : QuantityNames) {
      const std::string q = name;
      text += "\t" + (q == "V1" ? r.V1 : q == "V2" ? r.V2 : q == "V3" ? r.V3 : q == "Hz" ? r.Hz : std::string("000.0"));
    }
    text += "\r\n";
  }
  return text;
}

Quality Assess(const std::vector<Row>& rows, QualityOptions options = {}) {
  TempDir dir;
  const std::string path = dir.File("run.mes");
  WriteFile(path, FileText(rows));
  return AssessQuality(RecordingFiles(path), options);
}

QualityOptions Declared(double v) {
  QualityOptions o;
  o.NominalV = v;
  return o;
}

std::string At(int seconds) { return MomentText(*ReadMoment("2026/03/01", "00:00:00") + seconds); }

TEST(QualityEvents, ADipThatRecoversOnlyTo91PercentGoesOn) {
  // 230 V: starts below 207 V, ends at 211.6 V and above; 209.3 V is 91 %.
  Quality q = Assess(Steady(0, 2, "230.0") +
                         std::vector<Row>{{2, "200.0", "230.0", "230.0"},
                                          {3, "209.3", "230.0", "230.0"},
                                          {4, "211.5", "230.0", "230.0"},
                                          {5, "211.6", "230.0", "230.0"}} +
                         Steady(6, 2, "230.0"),
                     Declared(230));
  ASSERT_EQ(q.Events.size(), 1U);
  const QualityEvent& e = q.Events[0];
  EXPECT_EQ(e.Kind, QualityEventKind::Dip);
  EXPECT_EQ(MomentText(e.Start), At(2));
  EXPECT_EQ(MomentText(e.End), At(5));
  EXPECT_EQ(e.DurationS, 3);
  EXPECT_DOUBLE_EQ(*e.ExtremeV, 200.0);
  EXPECT_DOUBLE_EQ(*e.ExtremePct, 200.0 / 230.0 * 100.0);
  EXPECT_EQ(e.Phases(), std::vector<int>{1});
  EXPECT_FALSE(e.Open);
  EXPECT_EQ(q.DipTable[0][1], 1);  // 86.96 %, 1 s < 3 s <= 5 s
}

TEST(QualityEvents, AOneRecordDipLastsOneIntervalAndAThresholdValueDoesNotStartOne) {
  Quality q = Assess(Steady(0, 3, "230.0", 2) +
                         std::vector<Row>{{6, "230.0", "207.0", "230.0"}, {8, "230.0", "206.9", "180.0"}} +
                         Steady(10, 3, "230.0", 2),
                     Declared(230));
  ASSERT_EQ(q.Events.size(), 1U);
  EXPECT_EQ(q.Events[0].DurationS, 2);
  EXPECT_EQ(q.Events[0].Phases(), (std::vector<int>{2, 3}));
  EXPECT_DOUBLE_EQ(*q.Events[0].ExtremeV, 180.0);
  EXPECT_EQ(q.DipTable[1][1], 1);  // 78.3 %, 2 s
}

TEST(QualityEvents, AnEventOpenAtTheEndLastsToTheLastRecordPlusItsWeight) {
  Quality q =
      Assess(Steady(0, 3, "230.0") + std::vector<Row>{{3, "100.0", "100.0", "100.0"}, {4, "90.0", "230.0", "230.0"}},
             Declared(230));
  ASSERT_EQ(q.Events.size(), 1U);
  EXPECT_TRUE(q.Events[0].Open);
  EXPECT_EQ(MomentText(q.Events[0].End), At(5));
  EXPECT_EQ(q.Events[0].DurationS, 2);
  EXPECT_EQ(q.Events[0].Phases(), (std::vector<int>{1, 2, 3}));
  EXPECT_DOUBLE_EQ(*q.Events[0].ExtremeV, 90.0);
}

TEST(QualityEvents, SwellsEndOnlyOnANumberAtMost108PercentAndOverRangeHasNoExtreme) {
  // 110 % of 230 is 253, 108 % is 248.4.
  Quality q = Assess(Steady(0, 2, "230.0") + std::vector<Row>{{2, "253.1", "230.0", "230.0"},
                                                              {3, "248.5", "230.0", "230.0"},
                                                              {4, "248.4", "230.0", "230.0"},
                                                              {5, "230.0", "OL", "230.0"},
                                                              {6, "", "", ""},
                                                              {7, "230.0", "230.0", "230.0"}},
                     Declared(230));
  ASSERT_EQ(q.Events.size(), 2U);
  EXPECT_EQ(q.Events[0].DurationS, 2);
  EXPECT_DOUBLE_EQ(*q.Events[0].ExtremeV, 253.1);
  EXPECT_EQ(q.Events[0].Phases(), std::vector<int>{1});
  EXPECT_EQ(MomentText(q.Events[1].Start), At(5));
  EXPECT_EQ(q.Events[1].DurationS, 2);  // the empty record does not end it
  EXPECT_FALSE(q.Events[1].ExtremeV);
  EXPECT_FALSE(q.Events[1].ExtremePct);
  EXPECT_EQ(q.Events[1].Phases(), std::vector<int>{2});
  EXPECT_EQ(q.SwellTable[1][1], 1);  // 110.04 %, 2 s
  EXPECT_EQ(q.SwellTable[0][1], 1);  // over range counts as 120 % and above
}

TEST(QualityEvents, AnInterruptionIsAlsoADipListedAfterItAndKeepsItsFrequencyOut) {
  // 5 % of 230 is 11.5, 7 % is 16.1; an over-range phase neither starts one nor lets it go on.
  std::vector<Row> rows = Steady(0, 2, "230.0") + std::vector<Row>{{2, "0.0", "11.4", ""},
                                                                   {3, "16.0", "3.0", "0.0"},
                                                                   {4, "16.1", "0.0", "0.0"},
                                                                   {5, "230.0", "230.0", "230.0"}};
  rows[2].Hz = rows[3].Hz = "40.00";
  rows[4].Hz = "50.20";
  Quality q = Assess(rows + Steady(6, 2, "230.0"), Declared(230));
  ASSERT_EQ(q.Events.size(), 2U);
  EXPECT_EQ(q.Events[0].Kind, QualityEventKind::Dip);
  EXPECT_EQ(q.Events[0].DurationS, 3);
  EXPECT_DOUBLE_EQ(*q.Events[0].ExtremePct, 0.0);
  EXPECT_EQ(q.Events[1].Kind, QualityEventKind::Interruption);
  EXPECT_EQ(MomentText(q.Events[1].Start), At(2));
  EXPECT_EQ(MomentText(q.Events[1].End), At(4));
  EXPECT_EQ(q.Events[1].Phases(), (std::vector<int>{1, 2, 3}));
  EXPECT_EQ(q.Interruptions, 1);
  EXPECT_EQ(q.DipTable[4][1], 1);
  ASSERT_TRUE(q.Frequency);
  EXPECT_DOUBLE_EQ(*q.Frequency->Min, 50.0);  // the 40 Hz records are inside it
  EXPECT_DOUBLE_EQ(*q.Frequency->Max, 50.2);

  Quality over = Assess(Steady(0, 2, "230.0") + std::vector<Row>{{2, "0.0", "0.0", "OL"}, {3, "0.0", "0.0", "0.0"}},
                        Declared(230));
  ASSERT_EQ(over.Interruptions, 1);
  EXPECT_EQ(MomentText(over.Events.back().Start), At(3));
}

TEST(QualityEvents, ADipAndASwellOnOneRecordAreListedDipFirst) {
  Quality q = Assess(Steady(0, 2, "230.0") + std::vector<Row>{{2, "300.0", "100.0", "230.0"}} + Steady(3, 2, "230.0"),
                     Declared(230));
  ASSERT_EQ(q.Events.size(), 2U);
  EXPECT_EQ(q.Events[0].Kind, QualityEventKind::Dip);
  EXPECT_EQ(q.Events[1].Kind, QualityEventKind::Swell);
  EXPECT_EQ(q.SwellTable[0][0], 1);  // 130 %, 1 s
}

TEST(QualityTables, DurationColumnsIncludeTheirUpperBound) {
  std::vector<Row> rows = Steady(0, 1, "230.0");
  int at = 1;
  for (const int length : {1, 5, 6, 60, 61}) {
    rows = rows + Steady(at, length, "150.0") + Steady(at + length, 2, "230.0");
    at += length + 2;
  }
  Quality q = Assess(rows, Declared(230));
  ASSERT_EQ(q.Events.size(), 5U);
  EXPECT_EQ(q.DipTable[2], (std::array<std::int64_t, 4>{1, 1, 2, 1}));  // 65.2 %: 70_40
}

TEST(QualityBlocks, AFourSecondDipFlagsItsBlockATenMinuteOneDoesNot) {
  // 20 minutes at 1 s from midnight: two blocks.
  Quality shortDip =
      Assess(Steady(0, 300, "230.0") + Steady(300, 4, "200.0") + Steady(304, 896, "230.0"), Declared(230));
  ASSERT_EQ(shortDip.Blocks.size(), 2U);
  EXPECT_EQ(shortDip.ValidBlocks, 2);
  EXPECT_EQ(shortDip.FlaggedBlocks, 1);
  EXPECT_TRUE(shortDip.Blocks[0].Flagged);
  EXPECT_EQ(shortDip.Voltage[0]->Blocks, 1);
  EXPECT_DOUBLE_EQ(*shortDip.Voltage[0]->Min, 230.0);

  Quality longDip =
      Assess(Steady(0, 300, "230.0") + Steady(300, 600, "200.0") + Steady(900, 300, "230.0"), Declared(230));
  EXPECT_EQ(longDip.FlaggedBlocks, 0);
  ASSERT_EQ(longDip.Voltage[0]->Blocks, 2);
  const double rms = std::sqrt((300 * 230.0 * 230.0 + 300 * 200.0 * 200.0) / 600);
  EXPECT_DOUBLE_EQ(*longDip.Voltage[0]->Min, rms);
  EXPECT_DOUBLE_EQ(*longDip.Voltage[0]->Max, rms);
  EXPECT_EQ(longDip.Events[0].DurationS, 600);
  EXPECT_EQ(longDip.DipTable[0][3], 1);
}

TEST(QualityBlocks, ABlockIsValidFrom480SecondsAndAnEventEndingAtItsStartDoesNotFlagIt) {
  // 00:00..00:07:59 is 480 s; 00:10..00:17:58 is 479 s with the last record's T.
  Quality q = Assess(Steady(0, 480, "230.0", 1) + Steady(600, 479, "230.0"), Declared(230));
  ASSERT_EQ(q.Blocks.size(), 2U);
  EXPECT_TRUE(q.Blocks[0].Valid);
  EXPECT_FALSE(q.Blocks[1].Valid);

  // A one-second dip at 00:09:59 ends at 00:10:00.
  Quality edge = Assess(Steady(0, 599, "230.0") + Steady(599, 1, "100.0") + Steady(600, 600, "230.0"), Declared(230));
  ASSERT_EQ(edge.Events.size(), 1U);
  EXPECT_TRUE(edge.Blocks[0].Flagged);
  EXPECT_FALSE(edge.Blocks[1].Flagged);
}

TEST(QualityUnbalance, PhaseVoltagesAndLineToLineMagnitudes) {
  EXPECT_NEAR(*UnbalancePct(230, 225, 235, false), 1.2551, 5e-5);
  EXPECT_NEAR(*UnbalancePct(230, 225, 235, true), 2.5111, 5e-5);
  EXPECT_DOUBLE_EQ(*UnbalancePct(230, 230, 230, false), 0.0);
  EXPECT_DOUBLE_EQ(*UnbalancePct(400, 400, 400, true), 0.0);
  EXPECT_FALSE(UnbalancePct(0, 0, 0, false));

  std::vector<Row> rows;
  for (int i = 0; i < 600; ++i) rows.push_back({i, "230.0", "225.0", "235.0"});
  Quality phase = Assess(rows);
  ASSERT_TRUE(phase.Unbalance);
  EXPECT_EQ(phase.Unbalance->Blocks, 1);
  EXPECT_NEAR(phase.Unbalance->MaxPct, 1.2551, 5e-5);
  EXPECT_TRUE(phase.Unbalance->WithinLimits);
  QualityOptions line;
  line.LineVoltages = true;
  Quality lineQ = Assess(rows, line);
  EXPECT_NEAR(lineQ.Unbalance->MaxPct, 2.5111, 5e-5);
  EXPECT_FALSE(lineQ.Unbalance->WithinLimits);
  EXPECT_EQ(lineQ.Verdict, QualityVerdict::Fail);
}

TEST(QualityNominal, TheNearestStandardVoltageTheLowerOnATie) {
  EXPECT_EQ(NearestNominal(235.0), 230.0);
  EXPECT_EQ(NearestNominal(235.1), 240.0);
  EXPECT_EQ(NearestNominal(110.0), 100.0);
  EXPECT_EQ(NearestNominal(10.0), 100.0);
  EXPECT_EQ(NearestNominal(5000.0), 690.0);

  // Phase 3 at 50 V does not take part and is not pooled: (236 + 234) / 2.
  std::vector<Row> rows;
  for (int i = 0; i < 10; ++i) rows.push_back({i, "236.0", "234.0", "050.0"});
  Quality q = Assess(rows);
  EXPECT_EQ(q.Phases, (std::vector<int>{1, 2}));
  ASSERT_TRUE(q.NominalV);
  EXPECT_EQ(*q.NominalV, 230.0);
  EXPECT_FALSE(q.NominalGiven);
  EXPECT_FALSE(q.Voltage[2]);
  EXPECT_FALSE(q.Unbalance);

  Quality none = Assess(Steady(0, 10, "010.0"));
  EXPECT_TRUE(none.Phases.empty());
  EXPECT_FALSE(none.NominalV);
  EXPECT_TRUE(none.Events.empty());
  EXPECT_EQ(none.Verdict, QualityVerdict::Incomplete);
  ASSERT_TRUE(none.Frequency);  // frequency needs no phase
}

TEST(QualityFrequency, AWeightedShareAgainstTheSummarysNominal) {
  // 60 Hz: 59.4 and 60.6 are the 1 % bounds, 56.4 and 62.4 the 94 / 104 % ones.
  std::vector<Row> rows = Steady(0, 4, "120.0", 10);
  rows[0].Hz = "59.40";
  rows[1].Hz = "60.60";
  rows[2].Hz = "60.61";  // weight 10 of 40 outside
  rows[3].Hz = "60.00";
  Quality q = Assess(rows);
  EXPECT_EQ(q.NominalHz, 60);
  EXPECT_EQ(*q.NominalV, 120.0);
  ASSERT_TRUE(q.Frequency);
  EXPECT_DOUBLE_EQ(q.Frequency->Within1PctShare, 0.75);
  EXPECT_FALSE(q.Frequency->WithinLimits);

  std::vector<Row> noHz = Steady(0, 4, "230.0");
  for (Row& r : noHz) r.Hz = "";
  Quality n = Assess(noHz);
  EXPECT_EQ(n.NominalHz, 50);
  EXPECT_FALSE(n.Frequency);
}

TEST(QualityVerdict, AWeekWithinLimitsPassesAndOneHighBlockBeyond110PercentFails) {
  std::vector<Row> week = Steady(0, 7 * 24 * 60, "231.0", 60);
  Quality q = Assess(week);
  EXPECT_EQ(q.ValidBlocks, 7 * 144);
  EXPECT_EQ(q.Verdict, QualityVerdict::Pass);
  EXPECT_DOUBLE_EQ(q.CoveredS, 7 * 86400.0);

  Quality shortOne = Assess(Steady(0, 7 * 24 * 60 - 1, "231.0", 60));
  EXPECT_EQ(shortOne.Verdict, QualityVerdict::Incomplete);

  // Ten records of one block at 254 V: a swell of 600 s, a block of 254 V.
  for (int i = 0; i < 10; ++i) week[static_cast<std::size_t>(100 + i)].V2 = "254.0";
  Quality high = Assess(week);
  ASSERT_EQ(high.Events.size(), 1U);
  EXPECT_EQ(high.FlaggedBlocks, 0);
  EXPECT_DOUBLE_EQ(*high.Voltage[1]->Max, 254.0);
  EXPECT_EQ(*high.Voltage[1]->WithinLimits, false);
  EXPECT_EQ(*high.Voltage[0]->WithinLimits, true);
  EXPECT_EQ(high.Verdict, QualityVerdict::Fail);
}

TEST(QualityText, TheJsonDocumentAndThePage) {
  Quality q = Assess(Steady(0, 2, "230.0") + std::vector<Row>{{2, "200.0", "230.0", "230.0"}} + Steady(3, 2, "230.0"));
  const auto doc = nlohmann::json::parse(QualityJson(q));
  EXPECT_EQ(doc["files"], nlohmann::json::array({"run.mes"}));
  EXPECT_EQ(doc["records"], 5);
  EXPECT_EQ(doc["first"], "2026/03/01 00:00:00");
  EXPECT_DOUBLE_EQ(doc["days"].get<double>(), 5.0 / 86400);
  EXPECT_EQ(doc["phases"], nlohmann::json::array({1, 2, 3}));
  EXPECT_EQ(doc["nominal_v"], 230.0);
  EXPECT_EQ(doc["nominal_given"], false);
  EXPECT_EQ(doc["nominal_hz"], 50);
  EXPECT_EQ(doc["blocks"]["valid"], 0);
  EXPECT_TRUE(doc["voltage"]["1"]["within_limits"].is_null());
  EXPECT_TRUE(doc["unbalance"].is_null());
  EXPECT_EQ(doc["frequency"]["within_limits"], true);
  const auto& e = doc["events"][0];
  EXPECT_EQ(e["kind"], "dip");
  EXPECT_EQ(e["start"], "2026/03/01 00:00:02");
  EXPECT_EQ(e["end"], "2026/03/01 00:00:03");
  EXPECT_EQ(e["duration_s"], 1);
  EXPECT_EQ(e["extreme_pct"].get<double>(), 200.0 / 230 * 100);
  EXPECT_EQ(e["phases"], nlohmann::json::array({1}));
  EXPECT_EQ(e["open"], false);
  EXPECT_EQ(doc["dip_table"]["90_80"], nlohmann::json::array({1, 0, 0, 0}));
  EXPECT_EQ(doc["swell_table"].size(), 2U);
  EXPECT_EQ(doc["interruptions"], 0);
  EXPECT_EQ(doc["verdict"], "incomplete");

  const std::string page = QualityText(MakeQualityTables(q, true));
  EXPECT_NE(page.find("EN 50160"), std::string::npos);
  EXPECT_NE(page.find("--nominal"), std::string::npos);
  EXPECT_NE(page.find("resolution of 1 s"), std::string::npos);
  EXPECT_NE(page.find("Verdict: incomplete"), std::string::npos);
  EXPECT_EQ(QualityText(MakeQualityTables(Assess(Steady(0, 2, "230.0"), Declared(230)), true)).find("--nominal V."),
            std::string::npos);
}

}  // namespace
}  // namespace qelt
