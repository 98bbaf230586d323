#include <gtest/gtest.h>

#include "platform/PrintJob.hpp"
#include "platform/ScriptedWindow.hpp"
#include "recorder/MeasurementFile.hpp"
#include "records/PrintLayout.hpp"

namespace qelt {
namespace {

GridRows RecordGrid(int records) {
  GridRows grid(RecordColumns);
  grid.AddRow(HeaderLine());
  for (int r = 1; r <= records; ++r) {
    ValueTexts v;
    for (int q = 0; q < QuantityCount; ++q) v[static_cast<std::size_t>(q)] = "q" + std::to_string(q);
    v[0] = "-012.3";
    grid.AddRow(RecordLine(r, SampleLine(DateTime{2011, 7, 29, 13, 45, r}, v)));
  }
  return grid;
}

TEST(PrintLayout, HeaderLine) {
  EXPECT_EQ(PrintHeaderLine().size(), 211u);
  EXPECT_TRUE(PrintHeaderLine().starts_with("-------------Date---------Time---KW1--KVAR1-KVA1----PF1-----V1---"));
  EXPECT_TRUE(PrintHeaderLine().ends_with("-TKVA---TPF----TTheta"));
}

TEST(PrintLayout, PagesFitTheLinesAndCarryAHeader) {
  // A 211-character line in 8 pt is about 700 points; A4 gives about 540
  // points across in portrait and 780 in landscape.
  PageFit fit = FitLines(700, 540, 780, PageOrientation::Portrait);
  EXPECT_EQ(fit.Orientation, PageOrientation::Landscape);
  EXPECT_EQ(fit.Scale, 1.0);
  fit = FitLines(500, 540, 780, PageOrientation::Portrait);
  EXPECT_EQ(fit.Orientation, PageOrientation::Portrait);
  fit = FitLines(1560, 540, 780, PageOrientation::Portrait);
  EXPECT_EQ(fit.Orientation, PageOrientation::Landscape);
  EXPECT_DOUBLE_EQ(fit.Scale, 0.5);

  PageSetup page;
  page.Title = "run.mes";
  page.Date = "2026/12/09 10:00";
  EXPECT_EQ(PageHeaderLine(page, 2, 3), "run.mes   2026/12/09 10:00   page 2 of 3");
  EXPECT_EQ(PageCount(0, 60), 1);
  EXPECT_EQ(PageCount(60, 60), 1);
  EXPECT_EQ(PageCount(61, 60), 2);
  EXPECT_EQ(PageCount(5, 0), 5);

  EXPECT_EQ(PdfFileName("/home/ann/data/run 3.mes"), "run 3.pdf");
  EXPECT_EQ(PdfFileName("C:\\DATA\\RUN.MES"), "RUN.pdf");
  EXPECT_EQ(PdfFileName("List  (3 skipped: no new reading)"), "List.pdf");
  EXPECT_EQ(PdfFileName("a:b?"), "a_b_.pdf");
  EXPECT_EQ(PdfFileName(""), "print.pdf");
}

TEST(PrintLayout, RecordLineNumberDateTimeAndNineCharacterColumnsWithoutAngles) {
  GridRows grid = RecordGrid(7);
  std::string line = PrintRecordLine(grid, 7);
  std::string expected = "00007  2011/07/29  13:45:07  -012.3   ";
  for (int q : {1, 2, 3, 5, 6, 7, 8, 9, 10, 12, 13, 14, 15, 16, 17, 19, 20, 21, 22, 23, 24, 25, 26, 27}) {
    std::string text = "q" + std::to_string(q);
    expected += text + std::string(9 - text.size(), ' ');
  }
  EXPECT_EQ(line, expected);
  EXPECT_EQ(line.find("q4 "), std::string::npos);   // Theta1
  EXPECT_EQ(line.find("q11 "), std::string::npos);  // Theta2
  EXPECT_EQ(line.find("q18 "), std::string::npos);  // Theta3
  EXPECT_NE(line.find("q27 "), std::string::npos);  // TTheta is printed

  GridRows odd(RecordColumns);
  odd.AddRow("");
  odd.AddRow("123456\td\tt\t0123456789AB");
  EXPECT_TRUE(PrintRecordLine(odd, 1).starts_with("123456  d  t  0123456789AB         "));
  // Only a number is padded to five digits; any other text is printed as it is.
  for (const auto& [number, printed] : std::vector<std::pair<std::string, std::string>>{
           {" 42 ", "00042"}, {"-", "-"}, {".", "."}, {"1-2", "1-2"}, {"1.2.3", "1.2.3"}, {"No.s", "No.s"}, {"", ""}}) {
    GridRows one(RecordColumns);
    one.AddRow("");
    one.AddRow(number + "\td\tt");
    EXPECT_TRUE(PrintRecordLine(one, 1).starts_with(printed + "  d  t  ")) << number;
  }
}

TEST(PrintLayout, TitlesGoOverTheColumnsOfTheRecordLine) {
  GridRows grid = RecordGrid(2);
  // Number, date, time, then nine characters a value.
  std::vector<int> fields = PrintFieldCells(grid, 1);
  ASSERT_EQ(fields.size(), 28u);
  EXPECT_EQ(std::vector<int>(fields.begin(), fields.begin() + 5), (std::vector<int>{0, 7, 19, 29, 38}));
  EXPECT_EQ(fields.back(), 29 + 24 * 9);
  EXPECT_EQ(PrintLineCells(grid), 29 + 25 * 9);
  // Placed run by run, every value lands at its field's cell.
  std::vector<CellText> runs = CellRuns(PrintRecordLine(grid, 1));
  ASSERT_EQ(runs.size(), fields.size());
  for (std::size_t k = 0; k < runs.size(); ++k) EXPECT_EQ(runs[k].Cell, fields[k]) << k;
  EXPECT_EQ(runs[3], (CellText{29, "-012.3"}));

  // The 27 titles of the header line, the record number having none: each
  // over its field, whatever its place in the dashed line.
  const std::vector<int> cells = PrintTitleCells(grid);
  EXPECT_EQ(cells, std::vector<int>(fields.begin() + 1, fields.end()));
  std::vector<CellText> titles = HeaderTitles(PrintHeaderLine(), cells);
  ASSERT_EQ(titles.size(), 27u);
  EXPECT_EQ(titles[0], (CellText{7, "Date"}));
  EXPECT_EQ(titles[1], (CellText{19, "Time"}));
  EXPECT_EQ(titles[2], (CellText{29, "KW1"}));
  EXPECT_EQ(titles[7], (CellText{74, "I1"}));
  EXPECT_EQ(titles[26], (CellText{245, "TTheta"}));
  // Without records: the usual record's places; titles past the cells keep their own.
  EXPECT_EQ(PrintTitleCells(GridRows(RecordColumns)), cells);
  EXPECT_EQ(HeaderTitles("--ab---cd", {5}), (std::vector<CellText>{{5, "ab"}, {7, "cd"}}));

  // A wider date moves the columns of that list, and its titles with them.
  GridRows wide(RecordColumns);
  wide.AddRow("");
  wide.AddRow("1\t29-July-2011\t13:45:00\t1.0");
  EXPECT_EQ(PrintTitleCells(wide)[1], 7 + 12 + 2);
  EXPECT_EQ(CellRuns(PrintRecordLine(wide, 1))[3], (CellText{7 + 12 + 2 + 10, "1.0"}));
}

// The print job's lines, in order.
struct LineJob : PrintJob {
  std::vector<std::string> printed;
  bool Begin(const PrinterChoice&, std::string&) override { return true; }
  bool Line(const std::string& text) override {
    printed.push_back(text);
    return true;
  }
  void End() override {}
};

TEST(PrintLayout, PrintsHeaderAndEveryRecordWithCaptions) {
  GridRows grid = RecordGrid(3);
  LineJob job;
  std::vector<std::string>& printed = job.printed;
  ScriptedWindow window;
  const std::vector<std::string>& captions = window.Captions;
  EXPECT_TRUE(PrintRecords(grid, window, job));
  ASSERT_EQ(printed.size(), 3u);  // the header is the job's, on every page
  EXPECT_TRUE(printed[2].starts_with("00003  2011/07/29  13:45:03  "));
  EXPECT_EQ(captions,
            (std::vector<std::string>{"1 record(s) completed", "2 record(s) completed", "3 record(s) completed"}));
  EXPECT_EQ(window.Events, 3);

  // Rows added while printing (the live list grows) are not part of this print;
  // a closed window ends it.
  struct GrowingList : ScriptedWindow {
    GridRows& grid;
    explicit GrowingList(GridRows& g) : grid(g) {}
    void RunEventsOnce() override { grid.AddRow("9\tx"); }
  } growing(grid);
  printed.clear();
  EXPECT_TRUE(PrintRecords(grid, growing, job));
  EXPECT_EQ(printed.size(), 3u);
  struct ClosingWindow : ScriptedWindow {
    const std::vector<std::string>& printed;
    explicit ClosingWindow(const std::vector<std::string>& p) : printed(p) {}
    void RunEventsOnce() override {
      if (printed.size() >= 2) Close();
    }
  } closing(printed);
  printed.clear();
  EXPECT_FALSE(PrintRecords(grid, closing, job));
  EXPECT_EQ(printed.size(), 2u);
}

}  // namespace
}  // namespace qelt
