#include <gtest/gtest.h>

#include <map>
#include <nlohmann/json.hpp>

#include "TempDir.hpp"
#include "analysis/Summary.hpp"
#include "analysis/SummaryText.hpp"
#include "platform/PathText.hpp"
#include "records/RecordTable.hpp"
#include "text/NumberText.hpp"

namespace qelt {
namespace {

using test::TempDir;
using test::WriteFile;

// A record: its time of day on 2026/03/01 (or a full "yyyy/mm/dd hh:nn:ss")
// and the value texts that differ from "000.0".
struct Rec {
  std::string When;
  std::map<std::string, std::string> Values;
};

std::string Line(int number, const Rec& r, bool listStyle) {
  const std::string when = r.When.size() == 8 ? "2026/03/01 " + r.When : r.When;
  std::string line = std::to_string(number) + "\t" + when.substr(0, 10) + "\t" + when.substr(11);
  for (const char* name : QuantityNames) {
    auto it = r.Values.find(name);
    line += "\t" + (it == r.Values.end() ? std::string("000.0") : it->second);
  }
  return line + (listStyle ? "\t\r\n" : "\r\n");
}

std::string FileText(const std::vector<Rec>& records, bool listStyle = false) {
  std::string text = HeaderLine() + (listStyle ? "\t\r\n" : "\r\n");
  int n = 0;
  for (const Rec& r : records) text += Line(++n, r, listStyle);
  return text;
}

std::string Clock(int seconds) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "%02d:%02d:%02d", seconds / 3600, seconds / 60 % 60, seconds % 60);
  return buf;
}

Summary Of(const TempDir& dir, const std::vector<Rec>& records, int demandMinutes = 15) {
  const std::string path = dir.File("run.mes");
  WriteFile(path, FileText(records));
  SummaryOptions options;
  options.DemandMinutes = demandMinutes;
  return Summarize(RecordingFiles(path), options);
}

TEST(SummaryWorkedExamples, ThreeRecordsTwoSecondsApart) {
  TempDir dir;
  Summary s =
      Of(dir, {{"10:00:00", {{"TKW", "003.0"}}}, {"10:00:02", {{"TKW", "-001.0"}}}, {"10:00:04", {{"TKW", "002.0"}}}});
  ASSERT_EQ(s.Error, SummaryError::None);
  EXPECT_EQ(s.Records, 3);
  ASSERT_TRUE(s.IntervalS);
  EXPECT_EQ(*s.IntervalS, 2);
  EXPECT_EQ(s.CoveredS, 6);
  EXPECT_DOUBLE_EQ(s.Energy.KWhImport, (3.0 * 2 + 2.0 * 2) / 3600);
  EXPECT_NEAR(s.Energy.KWhImport, 0.0027778, 5e-8);
  EXPECT_DOUBLE_EQ(s.Energy.KWhExport, 2.0 / 3600);
  EXPECT_NEAR(s.Energy.KWhExport, 0.00055556, 5e-9);
  EXPECT_EQ(s.Gaps, 0);
  EXPECT_EQ(s.ClockSteps, 0);
}

TEST(SummaryWorkedExamples, AnOutageOfSixtySecondsIsOneGapOfFiftyEight) {
  TempDir dir;
  std::vector<Rec> records;
  for (int t = 0; t <= 20; t += 2) records.push_back({Clock(36000 + t), {{"TKW", "001.0"}}});
  for (int t = 80; t <= 100; t += 2) records.push_back({Clock(36000 + t), {{"TKW", "001.0"}}});
  std::vector<double> weights;
  SummaryOptions options;
  options.OnRecord = [&](const SummaryRecord& r) { weights.push_back(r.Weight); };
  WriteFile(dir.File("run.mes"), FileText(records));
  Summary s = Summarize({dir.File("run.mes")}, options);
  EXPECT_EQ(*s.IntervalS, 2);
  EXPECT_EQ(s.Gaps, 1);
  EXPECT_EQ(s.GapS, 58);
  ASSERT_EQ(weights.size(), records.size());
  EXPECT_EQ(weights[10], 2);  // the record before the outage
  EXPECT_EQ(s.CoveredS, 2.0 * static_cast<double>(records.size()));
  EXPECT_DOUBLE_EQ(s.Energy.KWhImport, 2.0 * static_cast<double>(records.size()) / 3600);
}

TEST(SummaryWorkedExamples, ABlockOf450RecordsHasItsDemandOneOf300IsNotCounted) {
  TempDir dir;
  std::vector<Rec> records;
  for (int k = 0; k < 450; ++k) records.push_back({Clock(36000 + 2 * k), {{"TKW", "010.0"}}});
  // 10:15 .. 10:25 at 020.0: 600 s of the 900 s block, too little to count.
  for (int k = 0; k < 300; ++k) records.push_back({Clock(36900 + 2 * k), {{"TKW", "020.0"}}});
  Summary s = Of(dir, records);
  EXPECT_EQ(s.Demand.Minutes, 15);
  EXPECT_EQ(s.Demand.Blocks, 1);
  ASSERT_TRUE(s.Demand.PeakKW);
  EXPECT_DOUBLE_EQ(*s.Demand.PeakKW, 10.0);
  EXPECT_EQ(MomentText(*s.Demand.PeakAt), "2026/03/01 10:00:00");
}

TEST(SummaryWorkedExamples, VoltageUnbalanceOfOneRecord) {
  TempDir dir;
  Summary s = Of(dir, {{"10:00:00", {{"V1", "230.0"}, {"V2", "225.0"}, {"V3", "235.0"}}}});
  EXPECT_EQ(s.VoltageUnbalance.Records, 1);
  ASSERT_TRUE(s.VoltageUnbalance.MaxPct);
  EXPECT_NEAR(*s.VoltageUnbalance.MaxPct, 2.1739, 5e-5);
  EXPECT_DOUBLE_EQ(*s.VoltageUnbalance.MaxPct, 5.0 / 230.0 * 100.0);
  EXPECT_DOUBLE_EQ(*s.VoltageUnbalance.MeanPct, *s.VoltageUnbalance.MaxPct);
  EXPECT_EQ(MomentText(*s.VoltageUnbalance.MaxAt), "2026/03/01 10:00:00");
  // Currents all 0: no record to use.
  EXPECT_EQ(s.CurrentUnbalance.Records, 0);
  EXPECT_FALSE(s.CurrentUnbalance.MaxPct);
}

TEST(SummaryTime, TheMostFrequentDifferenceIsTheIntervalTheSmallestOnATie) {
  TempDir dir;
  // Differences 1, 1, 3, 3: a tie, so T = 1.
  Summary s = Of(dir, {{"10:00:00", {}}, {"10:00:01", {}}, {"10:00:02", {}}, {"10:00:05", {}}, {"10:00:08", {}}});
  EXPECT_EQ(*s.IntervalS, 1);
  EXPECT_EQ(s.Gaps, 2);  // 3 > 2 T
  EXPECT_EQ(s.GapS, 4);
  EXPECT_EQ(s.CoveredS, 5);
}

TEST(SummaryTime, AClockStepBackOrARepeatedSecondCountsNothingAndIsCounted) {
  TempDir dir;
  Summary s = Of(dir, {{"10:00:00", {{"TKW", "001.0"}}},
                       {"10:00:02", {{"TKW", "001.0"}}},
                       {"10:00:02", {{"TKW", "001.0"}}},
                       {"09:59:00", {{"TKW", "001.0"}}},
                       {"09:59:02", {{"TKW", "001.0"}}}});
  EXPECT_EQ(s.ClockSteps, 2);
  EXPECT_EQ(*s.IntervalS, 2);
  // 2 + 0 + 0 + 2 + T
  EXPECT_EQ(s.CoveredS, 6);
  EXPECT_EQ(MomentText(*s.First), "2026/03/01 10:00:00");
  EXPECT_EQ(MomentText(*s.Last), "2026/03/01 09:59:02");
}

TEST(SummaryTime, OneRecordAloneHasNoIntervalAndWeighsNothing) {
  TempDir dir;
  Summary s = Of(dir, {{"10:00:00", {{"TKW", "005.0"}, {"TKVA", "005.0"}}}});
  EXPECT_EQ(s.Records, 1);
  EXPECT_FALSE(s.IntervalS);
  EXPECT_EQ(s.CoveredS, 0);
  EXPECT_EQ(s.Energy.KWhImport, 0);
  EXPECT_FALSE(s.PfAverage);
  EXPECT_FALSE(s.HourlyKW[10]);
  EXPECT_DOUBLE_EQ(*s.Quantities[static_cast<std::size_t>(QuantityIndexOf("TKW"))].Mean, 5.0);
}

TEST(SummaryValues, OverRangeAndMissingAreCountedAndHoldNoNumber) {
  TempDir dir;
  Summary s = Of(dir, {{"10:00:00", {{"I1", "OL"}, {"KW1", "-012.5"}, {"TKW", "OL"}}},
                       {"10:00:02", {{"I1", "-OL"}, {"KW1", ""}, {"TKW", "004.0"}}},
                       {"10:00:04", {{"I1", "001.5"}, {"KW1", "003.5"}, {"TKW", ""}}}});
  const QuantityStats& i1 = s.Quantities[static_cast<std::size_t>(QuantityIndexOf("I1"))];
  EXPECT_EQ(i1.Count, 1);
  EXPECT_EQ(i1.Ol, 2);
  EXPECT_EQ(i1.Missing, 0);
  EXPECT_DOUBLE_EQ(*i1.Min, 1.5);
  const QuantityStats& kw1 = s.Quantities[static_cast<std::size_t>(QuantityIndexOf("KW1"))];
  EXPECT_EQ(kw1.Count, 2);
  EXPECT_EQ(kw1.Missing, 1);
  EXPECT_DOUBLE_EQ(*kw1.Min, -12.5);
  EXPECT_EQ(MomentText(*kw1.MinAt), "2026/03/01 10:00:00");
  EXPECT_DOUBLE_EQ(*kw1.Max, 3.5);
  EXPECT_DOUBLE_EQ(*kw1.Mean, -4.5);
  // A TKW without a number counts 0 in the energy.
  EXPECT_DOUBLE_EQ(s.Energy.KWhImport, 4.0 * 2 / 3600);
  EXPECT_DOUBLE_EQ(s.PerPhase[0].KWhExport, 12.5 * 2 / 3600);
}

TEST(SummaryValues, MinimumAndMaximumKeepTheirFirstMoment) {
  TempDir dir;
  Summary s = Of(dir, {{"10:00:00", {{"V1", "230.0"}}},
                       {"10:00:02", {{"V1", "240.0"}}},
                       {"10:00:04", {{"V1", "240.0"}}},
                       {"10:00:06", {{"V1", "230.0"}}}});
  const QuantityStats& v1 = s.Quantities[static_cast<std::size_t>(QuantityIndexOf("V1"))];
  EXPECT_EQ(MomentText(*v1.MaxAt), "2026/03/01 10:00:02");
  EXPECT_EQ(MomentText(*v1.MinAt), "2026/03/01 10:00:00");
}

TEST(SummaryRows, BadRowsAreCountedAndSkipped) {
  TempDir dir;
  std::string text = FileText({{"10:00:00", {}}, {"10:00:02", {}}});
  text += "3\t2026/03/01\t10:00:04\tshort row\r\n";
  text += Line(4, {"2026/02/30 10:00:06", {}}, false);  // no such day
  text += Line(5, {"2026/03/01 24:00:00", {}}, false);
  text += Line(6, {"2026-03-01 10:00:08", {}}, false);
  text += "\r\n";
  text += Line(7, {"10:00:10", {}}, false);
  WriteFile(dir.File("r.mes"), text);
  Summary s = Summarize({dir.File("r.mes")});
  EXPECT_EQ(s.BadRows, 5);
  EXPECT_EQ(s.Records, 3);
  EXPECT_EQ(s.Gaps, 1);  // 10:00:02 to 10:00:10
}

TEST(SummaryRows, AHeaderAloneOrRandomBytesGiveNoRecords) {
  TempDir dir;
  WriteFile(dir.File("h.mes"), HeaderLine() + "\r\n");
  WriteFile(dir.File("x.bin"), std::string("\x01\xff\x00zz\t\t\n\x7f", 10));
  EXPECT_EQ(Summarize({dir.File("h.mes")}).Records, 0);
  Summary x = Summarize({dir.File("x.bin")});
  EXPECT_EQ(x.Records, 0);
  EXPECT_EQ(x.BadRows, 1);
  EXPECT_FALSE(x.First);
  EXPECT_FALSE(x.Demand.PeakKW);
  EXPECT_FALSE(x.Frequency.Nominal);
}

TEST(SummaryFiles, ContinuationFilesAreReadInOrderUnlessSingle) {
  TempDir dir;
  WriteFile(dir.File("run.week.mes"), FileText({{"10:00:00", {{"TKW", "001.0"}}}, {"10:00:02", {{"TKW", "001.0"}}}}));
  WriteFile(dir.File("run-1.week.mes"), FileText({{"10:00:04", {{"TKW", "001.0"}}}}));
  WriteFile(dir.File("run-2.week.mes"), FileText({{"10:00:06", {{"TKW", "001.0"}}}}));
  WriteFile(dir.File("run-4.week.mes"), FileText({{"10:00:10", {{"TKW", "001.0"}}}}));  // after a missing part
  const auto files = RecordingFiles(dir.File("run.week.mes"));
  ASSERT_EQ(files.size(), 3u);
  EXPECT_EQ(FileNameOf(files[2]), "run-2.week.mes");
  Summary whole = Summarize(files);
  EXPECT_EQ(whole.Records, 4);
  EXPECT_EQ(whole.CoveredS, 8);
  EXPECT_EQ(MomentText(*whole.Last), "2026/03/01 10:00:06");
  std::vector<int> sources;
  SummaryOptions options;
  options.OnRecord = [&](const SummaryRecord& r) { sources.push_back(r.FileIndex); };
  Summarize(files, options);
  EXPECT_EQ(sources, (std::vector<int>{0, 0, 1, 2}));
  EXPECT_EQ(Summarize(RecordingFiles(dir.File("run.week.mes"), true)).Records, 2);
}

TEST(SummaryFiles, AListFileWithATabAfterEveryCellReadsTheSame) {
  TempDir dir;
  const std::vector<Rec> records = {{"10:00:00", {{"TKW", "001.0"}, {"TTheta", "-030.0"}}},
                                    {"10:00:02", {{"TKW", "002.0"}, {"TTheta", ""}}}};
  WriteFile(dir.File("a.mes"), FileText(records));
  WriteFile(dir.File("b.mes"), FileText(records, true));
  auto a = nlohmann::json::parse(SummaryJson(Summarize({dir.File("a.mes")})));
  auto b = nlohmann::json::parse(SummaryJson(Summarize({dir.File("b.mes")})));
  a.erase("files");
  b.erase("files");
  EXPECT_EQ(a, b);
  EXPECT_EQ(Summarize({dir.File("b.mes")}).Quantities[27].Missing, 1);
}

TEST(SummaryFiles, AMissingFileIsUnreadable) {
  TempDir dir;
  Summary s = Summarize({dir.File("none.mes")});
  EXPECT_EQ(s.Error, SummaryError::Unreadable);
  EXPECT_NE(s.Reason.find("none.mes"), std::string::npos);
}

TEST(SummaryFiles, ProgressRunsToTheEndAndCanStop) {
  TempDir dir;
  std::vector<Rec> records;
  for (int k = 0; k < 3000; ++k) records.push_back({Clock(k), {}});
  WriteFile(dir.File("p.mes"), FileText(records));
  std::uint64_t last = 0, total = 0;
  Summarize({dir.File("p.mes")}, {}, [&](std::uint64_t done, std::uint64_t all) {
    EXPECT_GE(done, last);
    last = done;
    total = all;
    return true;
  });
  EXPECT_EQ(last, total);
  Summary stopped = Summarize({dir.File("p.mes")}, {}, [](std::uint64_t, std::uint64_t) { return false; });
  EXPECT_EQ(stopped.Error, SummaryError::Cancelled);
}

TEST(SummaryDemand, BlocksAlignToMidnightAndThePeakIsTheEarliestOnATie) {
  TempDir dir;
  std::vector<Rec> records;
  // 5-minute blocks; records each 60 s from 10:02 on, so the 10:00 block
  // holds only 3 of 5 minutes.
  for (int m = 2; m < 20; ++m) records.push_back({Clock(36000 + 60 * m), {{"TKW", "004.0"}}});
  Summary s = Of(dir, records, 5);
  EXPECT_EQ(s.Demand.Minutes, 5);
  EXPECT_EQ(s.Demand.Blocks, 3);  // 10:05, 10:10, 10:15
  EXPECT_DOUBLE_EQ(*s.Demand.PeakKW, 4.0);
  EXPECT_EQ(MomentText(*s.Demand.PeakAt), "2026/03/01 10:05:00");
}

TEST(SummaryDemand, ABlockCountsExactlyAtEightyPercent) {
  TempDir dir;
  std::vector<Rec> records;
  for (int k = 0; k < 4; ++k) records.push_back({Clock(36000 + 60 * k), {{"TKW", "002.0"}}});  // 240 s of 300
  EXPECT_EQ(Of(dir, records, 5).Demand.Blocks, 1);
  records.pop_back();
  EXPECT_EQ(Of(dir, records, 5).Demand.Blocks, 0);
}

TEST(SummaryFrequency, NominalFollowsTheMeanAndTheShareCountsWithinOnePercent) {
  TempDir dir;
  Summary s = Of(dir, {{"10:00:00", {{"Hz", "050.0"}}},
                       {"10:00:02", {{"Hz", "050.5"}}},
                       {"10:00:04", {{"Hz", "050.6"}}},
                       {"10:00:06", {{"Hz", "OL"}}}});
  EXPECT_EQ(*s.Frequency.Nominal, 50);
  EXPECT_DOUBLE_EQ(*s.Frequency.Within1PctShare, 2.0 / 3.0);
  Summary sixty = Of(dir, {{"10:00:00", {{"Hz", "060.1"}}}, {"10:00:02", {{"Hz", "055.0"}}}});
  EXPECT_EQ(*sixty.Frequency.Nominal, 60);
  EXPECT_DOUBLE_EQ(*sixty.Frequency.Within1PctShare, 0.5);
}

TEST(SummaryProfile, EachHourIsItsWeightedMeanAndEmptyHoursHaveNone) {
  TempDir dir;
  Summary s =
      Of(dir, {{"10:59:58", {{"TKW", "002.0"}}}, {"11:00:00", {{"TKW", "006.0"}}}, {"11:00:04", {{"TKW", "003.0"}}}});
  // 11:00 holds weights 4 and 2 (T = 2).
  EXPECT_DOUBLE_EQ(*s.HourlyKW[10], 2.0);
  EXPECT_DOUBLE_EQ(*s.HourlyKW[11], (6.0 * 4 + 3.0 * 2) / 6);
  EXPECT_FALSE(s.HourlyKW[9]);
  EXPECT_FALSE(s.HourlyKW[12]);
}

TEST(SummaryEnergy, ReactiveApparentAndThePowerFactor) {
  TempDir dir;
  Summary s = Of(dir, {{"10:00:00", {{"TKW", "008.0"}, {"TKVAR", "006.0"}, {"TKVA", "010.0"}}},
                       {"10:00:02", {{"TKW", "-008.0"}, {"TKVAR", "-006.0"}, {"TKVA", "010.0"}}}});
  EXPECT_DOUBLE_EQ(s.Energy.KvarhPositive, 12.0 / 3600);
  EXPECT_DOUBLE_EQ(s.Energy.KvarhNegative, 12.0 / 3600);
  EXPECT_DOUBLE_EQ(s.Energy.KVAh, 40.0 / 3600);
  EXPECT_DOUBLE_EQ(*s.PfAverage, (16.0 / 3600 + 16.0 / 3600) / (40.0 / 3600));
}

TEST(SummaryGrids, AListGridGivesTheFiguresOfItsFile) {
  TempDir dir;
  const std::vector<Rec> records = {
      {"10:00:00", {{"TKW", "003.0"}}}, {"10:00:02", {{"TKW", "-001.0"}}}, {"10:00:04", {{"TKW", "002.0"}}}};
  WriteFile(dir.File("g.mes"), FileText(records));
  GridRows first(RecordColumns), second(RecordColumns);
  first.AddRow(HeaderLine());
  second.AddRow(HeaderLine());
  first.AddRow(Line(1, records[0], false).substr(0, Line(1, records[0], false).size() - 2));
  first.AddRow(Line(2, records[1], false).substr(0, Line(2, records[1], false).size() - 2));
  second.AddRow(Line(3, records[2], false).substr(0, Line(3, records[2], false).size() - 2));
  Summary fromGrids = SummarizeGrids({&first, &second});
  Summary fromFile = Summarize({dir.File("g.mes")});
  fromFile.Files.clear();
  EXPECT_EQ(SummaryJson(fromGrids), SummaryJson(fromFile));
  // A row with its last cells unfilled is a record with missing values.
  GridRows partial(RecordColumns);
  partial.AddRow(HeaderLine());
  partial.AddRow("1\t2026/03/01\t10:00:00\t001.0");
  Summary p = SummarizeGrids({&partial});
  EXPECT_EQ(p.Records, 1);
  EXPECT_EQ(p.Quantities[27].Missing, 1);
}

TEST(SummaryText, TheJsonDocumentHoldsEveryFigure) {
  TempDir dir;
  Summary s = Of(dir, {{"10:00:00", {{"TKW", "003.0"}, {"V1", "230.0"}, {"V2", "225.0"}, {"V3", "235.0"}}},
                       {"10:00:02", {{"TKW", "-001.0"}}}});
  auto doc = nlohmann::json::parse(SummaryJson(s));
  EXPECT_EQ(doc["files"], nlohmann::json::array({"run.mes"}));
  EXPECT_EQ(doc["records"], 2);
  EXPECT_EQ(doc["first"], "2026/03/01 10:00:00");
  EXPECT_EQ(doc["interval_s"], 2);
  EXPECT_EQ(doc["covered_s"], 4);
  EXPECT_DOUBLE_EQ(doc["energy"]["kWh_import"].get<double>(), 6.0 / 3600);
  EXPECT_TRUE(doc["energy"]["per_phase"]["3"].contains("kVAh"));
  EXPECT_TRUE(doc["pf_average"].is_null());
  EXPECT_TRUE(doc["demand"]["peak_kW"].is_null());
  EXPECT_EQ(doc["demand"]["minutes"], 15);
  EXPECT_EQ(doc["unbalance"]["voltage"]["records"], 1);
  EXPECT_EQ(doc["unbalance"]["voltage"]["max_at"], "2026/03/01 10:00:00");
  EXPECT_TRUE(doc["unbalance"]["current"]["max_pct"].is_null());
  EXPECT_EQ(doc["frequency"]["nominal"], 50);  // Hz 000.0 is a number
  EXPECT_EQ(doc["frequency"]["within_1pct_share"], 0.0);
  EXPECT_EQ(doc["hourly_kW"].size(), 24u);
  EXPECT_DOUBLE_EQ(doc["hourly_kW"][10].get<double>(), 1.0);
  EXPECT_TRUE(doc["hourly_kW"][11].is_null());
  EXPECT_EQ(doc["quantities"].size(), 28u);
  EXPECT_EQ(doc["quantities"]["V2"]["min"], 0.0);
  EXPECT_TRUE(doc["quantities"]["V2"].contains("max_at"));
}

TEST(SummaryText, TheTablesShowUnitsAndTheTsvHasATabBetweenCells) {
  TempDir dir;
  Summary s =
      Of(dir, {{"10:00:00", {{"TKW", "003.0"}}}, {"10:00:02", {{"TKW", "-001.0"}}}, {"10:00:04", {{"TKW", "002.0"}}}});
  const SummaryTables tables = MakeSummaryTables(s);
  ASSERT_EQ(tables.Quantities.size(), 29u);
  EXPECT_EQ(tables.Quantities[24][0], "TKW");
  EXPECT_EQ(tables.Quantities[24][1], "kW");
  EXPECT_EQ(tables.Quantities[24][5], "-1.0");
  EXPECT_EQ(tables.Quantities[24][9], "1.33");
  const std::string text = SummaryText(tables);
  const std::size_t at = text.find("Total active energy imported");
  ASSERT_NE(at, std::string::npos);
  const std::string line = text.substr(at, text.find('\n', at) - at);
  EXPECT_NE(line.find(" 0.0028 "), std::string::npos) << line;
  EXPECT_EQ(line.substr(line.size() - 3), "kWh") << line;
  const std::string tsv = SummaryTsv(tables);
  EXPECT_NE(tsv.find("Total active energy exported\t0.0006\tkWh\t\n"), std::string::npos);
  EXPECT_NE(tsv.find("\n\nQuantity\tUnit\tCount"), std::string::npos);
  EXPECT_EQ(tsv.rfind("Figure\tValue\tUnit\tAt\nFiles\t", 0), 0u) << tsv.substr(0, 40);
  // Hours without records: an empty row, not a figure named "none".
  EXPECT_NE(tsv.find("Mean power 10:00-11:00\t1.333\tkW\t\n"), std::string::npos);
  EXPECT_NE(tsv.find("Mean power 11:00-12:00\t\t\t\n"), std::string::npos);
  EXPECT_EQ(SummaryText(tables).find("none kW"), std::string::npos);
}

TEST(SummaryMoments, ReadAndWrittenBack) {
  EXPECT_EQ(MomentText(*ReadMoment("2024/02/29", "23:59:59")), "2024/02/29 23:59:59");
  EXPECT_EQ(*ReadMoment(" 1970/01/02", "00:00:00 "), 86400);
  EXPECT_FALSE(ReadMoment("2023/02/29", "00:00:00"));
  EXPECT_FALSE(ReadMoment("2024/13/01", "00:00:00"));
  EXPECT_FALSE(ReadMoment("2024/12/01", "00:60:00"));
  EXPECT_FALSE(ReadMoment("2024/12/01", "0:00:00"));
  EXPECT_EQ(MomentText(*ReadMoment("1969/12/31", "23:00:00")), "1969/12/31 23:00:00");
}

TEST(SummaryValues, LongDigitRunsReadAsTheGeneralReaderReadsThem) {
  // Up to 15 digits a text is read straight; past them, and far past what
  // a 64-bit mantissa holds, the general reading takes over.
  const std::vector<std::string> texts = {"12345678901234.5",
                                          "123456789012345.6",
                                          "1234567890123456789012",
                                          "-00000000000000000000001.5",
                                          "0.00000000000000000000000000000000001",
                                          "99999999999999999999999999999999999999.9"};
  std::vector<Rec> records;
  int second = 0;
  for (const std::string& text : texts) records.push_back({Clock(36000 + 2 * second++), {{"V1", text}}});
  for (int pass = 0; pass < 2; ++pass) {
    TempDir dir;
    GridRows grid(RecordColumns);
    grid.AddRow(HeaderLine());
    for (std::size_t i = 0; i < records.size(); ++i) {
      const std::string line = Line(static_cast<int>(i) + 1, records[i], false);
      grid.AddRow(line.substr(0, line.size() - 2));
    }
    SummaryOptions options;
    std::vector<double> seen;
    options.OnRecord = [&](const SummaryRecord& r) { seen.push_back(r.Values[QuantityIndexOf("V1")]); };
    if (pass == 0) {
      WriteFile(dir.File("long.mes"), FileText(records));
      Summarize({dir.File("long.mes")}, options);
    } else {
      SummarizeGrids({&grid}, options);
    }
    ASSERT_EQ(seen.size(), texts.size()) << pass;
    for (std::size_t i = 0; i < texts.size(); ++i) EXPECT_EQ(seen[i], NumericPrefix(texts[i])) << texts[i];
  }
}

TEST(SummaryDemand, ABlockLengthOutsideOneMinuteToADayIsRefusedBeforeAnyReading) {
  TempDir dir;
  const std::vector<Rec> records = {{"10:00:00", {{"TKW", "001.0"}}}, {"10:00:02", {{"TKW", "001.0"}}}};
  for (const int minutes : {0, -15, 1441}) {
    SCOPED_TRACE(minutes);
    const Summary s = Of(dir, records, minutes);
    EXPECT_EQ(s.Error, SummaryError::BadOptions);
    EXPECT_EQ(s.Reason, "the demand block must be 1 to 1440 minutes, not " + std::to_string(minutes));
    EXPECT_EQ(s.Records, 0);
    GridRows grid(RecordColumns);
    grid.AddRow(HeaderLine());
    SummaryOptions options;
    options.DemandMinutes = minutes;
    EXPECT_EQ(SummarizeGrids({&grid}, options).Error, SummaryError::BadOptions);
  }
  for (const int minutes : {1, 1440}) EXPECT_EQ(Of(dir, records, minutes).Error, SummaryError::None) << minutes;
}

}  // namespace
}  // namespace qelt
