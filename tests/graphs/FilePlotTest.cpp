#include <gtest/gtest.h>

#include <clocale>
#include <locale>

#include "graphs/FilePlot.hpp"
#include "platform/ScriptedWindow.hpp"

namespace qelt {
namespace {

// A record table: the 31 headings, then one row per record.
GridRows TableOf(int firstRecord, int records, const std::string& cell = "1.0") {
  GridRows rows(31);
  std::string heading = "No.s\tDate\tTime";
  for (const char* name : QuantityNames) heading += std::string("\t") + name;
  rows.AddRow(heading);
  for (int k = 0; k < records; ++k) {
    std::string row = std::to_string(firstRecord + k) + "\t2011/07/29\t10:00:00";
    for (int q = 0; q < QuantityCount; ++q) row += "\t" + cell;
    rows.AddRow(row);
  }
  return rows;
}

TEST(FilePlot, OverloadSubstitutesForEveryKindOfColumn) {
  struct Case {
    const char* Name;
    double High, Low;
  };
  const Case cases[] = {{"KW1", 1000, -1000}, {"KVAR2", 1000, -1000}, {"TKW", 1000, -1000}, {"TKVAR", 1000, -1000},
                        {"KVA1", 1000, 0},    {"V1", 1000, 0},        {"TKVA", 1000, 0},    {"PF1", 1, -1},
                        {"TPF", 1, -1},       {"Theta3", 90, -90},    {"TTheta", 90, -90},  {"I1", 1000, 0},
                        {"I4", 1000, 0},      {"Hz", 100, 0}};
  for (const Case& c : cases) {
    const Substitutes s = SubstitutesOf(QuantityIndexOf(c.Name) + 3);
    EXPECT_EQ(s.YMax, c.High) << c.Name;
    EXPECT_EQ(s.YMin, c.Low) << c.Name;
    EXPECT_EQ(CellValue("OL", s), c.High) << c.Name;
    EXPECT_EQ(CellValue("-OL", s), c.Low) << c.Name;
  }
  const Substitutes kw = SubstitutesOf(3);
  EXPECT_EQ(CellValue("-12.5", kw), -12.5f);
  EXPECT_EQ(CellValue("-3.2", SubstitutesOf(8)), -3.2f);
  EXPECT_EQ(CellValue("", kw), 0.0f);
  EXPECT_EQ(CellValue("abc", kw), 0.0f);
}

TEST(FilePlot, ColumnsKeepTheirMarksAndTheInspectorPlacesThemAtItsRange) {
  ScriptedWindow window;
  GridRows table = TableOf(1, 3);
  table.SetCell(1, 3 + 5, "-OL");  // V1
  table.SetCell(2, 3 + 5, "-3.2");
  table.SetCell(3, 3 + 5, "OL");
  table.SetCell(0, 24, "Frequency");
  const auto plot = PlotRecords(table, window);
  ASSERT_TRUE(plot);
  const PlotColumnData& v1 = plot->Columns[5];
  EXPECT_EQ(v1.Name, "V1");
  EXPECT_EQ(v1.Values, (std::vector<float>{0.0f, -3.2f, 1000.0f}));
  EXPECT_EQ(PlotColumn(v1, 250.0, -5.0), (std::vector<float>{-5.0f, -3.2f, 250.0f}));
  EXPECT_EQ(plot->Columns[21].Name, "Hz");
  EXPECT_EQ(plot->Columns[27].Name, "TTheta");
}

TEST(FilePlot, XRangesFollowTheFirstRecordNumber) {
  ScriptedWindow window;
  auto plot = PlotRecords(TableOf(1, 100), window);
  ASSERT_TRUE(plot);
  EXPECT_EQ(plot->PlotOffset, 0.0f);
  EXPECT_EQ(plot->Records, 100);
  EXPECT_EQ(plot->FirstX(), 1.0);
  EXPECT_EQ(plot->LastX(), 100.0);

  plot = PlotRecords(TableOf(11, 10), window);
  ASSERT_TRUE(plot);
  EXPECT_EQ(plot->PlotOffset, 10.0f);
  EXPECT_EQ(plot->FirstX(), 11.0);
  EXPECT_EQ(plot->LastX(), 20.0);
  const AxisSpan wide = ShownSpan(plot->FirstX(), plot->LastX());
  EXPECT_EQ(wide.Min, 11.0);
  EXPECT_EQ(wide.Max, 20.0);

  plot = PlotRecords(TableOf(7, 1), window);
  ASSERT_TRUE(plot);
  EXPECT_EQ(plot->FirstX(), plot->LastX());
  const AxisSpan single = ShownSpan(plot->FirstX(), plot->LastX());
  EXPECT_EQ(single.Min, 6.5);
  EXPECT_EQ(single.Max, 7.5);

  ScriptedWindow file("File");
  const std::vector<std::string>& captions = file.Captions;
  EXPECT_FALSE(PlotRecords(TableOf(1, 0), file));
  EXPECT_TRUE(captions.empty());
}

TEST(FilePlot, ProgressCaptionsUseAPointUnderADecimalCommaLocale) {
  const std::locale before = std::locale::global(std::locale());
  try {
    std::locale::global(std::locale("de_DE.utf8"));
  } catch (const std::runtime_error&) {
    GTEST_SKIP() << "no de_DE.utf8 locale";
  }
  std::setlocale(LC_ALL, "de_DE.utf8");
  ScriptedWindow file("C:\\data\\rec.mes");
  const std::vector<std::string>& captions = file.Captions;
  const auto plot = PlotRecords(TableOf(1, 2), file);
  std::setlocale(LC_ALL, "C");
  std::locale::global(before);
  ASSERT_TRUE(plot);
  ASSERT_EQ(captions.size(), 30u);
  EXPECT_EQ(captions.front(), "Plotting ");
  EXPECT_EQ(captions[1], "KW1 (3.5 % ) Plotted ");
  EXPECT_EQ(captions[2], "KVAR1 (7.1 % ) Plotted ");
  EXPECT_EQ(captions[28], "TTheta (100 % ) Plotted ");
  EXPECT_EQ(captions.back(), "C:\\data\\rec.mes");
}

}  // namespace
}  // namespace qelt
