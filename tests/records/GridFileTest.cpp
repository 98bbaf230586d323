#include <gtest/gtest.h>

#include <algorithm>

#ifndef _WIN32
#include "FileSizeLimit.hpp"
#endif
#include "TempDir.hpp"
#include "recorder/MeasurementFile.hpp"
#include "records/GridFile.hpp"

namespace qelt {
namespace {

using test::ReadFile;
using test::TempDir;

GridRows TitlesOnly() {
  GridRows grid(RecordColumns);
  grid.AddRow(HeaderLine());
  return grid;
}

TEST(GridFile, ATitleOnlyGridIsOneLineWithATabAfterEveryTitle) {
  TempDir dir;
  std::vector<int> progress;
  GridFileResult r = WriteGridFile(dir.File("t.mes"), TitlesOnly(), [&](int row) { progress.push_back(row); });
  ASSERT_TRUE(r.Ok);
  EXPECT_EQ(r.RowsWritten, 1);
  EXPECT_EQ(ReadFile(dir.File("t.mes")), HeaderLine() + "\t\r\n");
  EXPECT_EQ(progress, std::vector<int>{0});
}

TEST(GridFile, EveryRowEveryCellEmptyOnesToo) {
  TempDir dir;
  GridRows grid(3);
  grid.AddRow("a\tb\tc");
  grid.AddRow("1");
  grid.AddRow("x\t\tz\textra");
  ASSERT_TRUE(WriteGridFile(dir.File("g"), grid).Ok);
  EXPECT_EQ(ReadFile(dir.File("g")), "a\tb\tc\t\r\n1\t\t\t\r\nx\t\tz\t\r\n");
  EXPECT_EQ(SaveProgressCaption(12), "12Records Completed");
}

TEST(GridFile, AFileThatCannotBeWrittenSaysWhy) {
  GridFileResult missing = WriteGridFile("/nonexistent/x", TitlesOnly());
  EXPECT_FALSE(missing.Ok);
  EXPECT_EQ(missing.Reason, "No such file or directory");
  GridFileResult full = WriteGridFile("/dev/full", TitlesOnly());
  EXPECT_FALSE(full.Ok);
  EXPECT_EQ(full.Reason, "No space left on device");
}

#ifndef _WIN32
// A file size limit stands in for a full disk: whatever byte the write fails
// at, inside the first chunk or past it, the file ends with a whole row and
// the count says how many rows it holds.
TEST(GridFile, AWriteFailingAfterNBytesLeavesWholeRowsOnly) {
  TempDir dir;
  GridRows grid(RecordColumns);
  grid.AddRow(HeaderLine());
  for (int r = 1; r <= 3000; ++r) grid.AddRow(std::to_string(r) + "\t2026/12/10\t01:02:03\t230.5\t1.234\tOL");
  ASSERT_TRUE(WriteGridFile(dir.File("whole"), grid).Ok);
  const std::string whole = ReadFile(dir.File("whole"));

  for (const rlim_t limit : {rlim_t{1}, rlim_t{260}, rlim_t{65536}, rlim_t{65537}, rlim_t{150001}}) {
    SCOPED_TRACE(testing::Message() << "limit " << limit);
    GridFileResult r;
    {
      test::FileSizeLimit lowered(limit);
      ASSERT_TRUE(lowered.Set());
      r = WriteGridFile(dir.File("cut"), grid);
    }
    EXPECT_FALSE(r.Ok);
    EXPECT_EQ(r.Reason, "File too large");
    const std::string cut = ReadFile(dir.File("cut"));
    EXPECT_LE(cut.size(), limit);
    EXPECT_EQ(whole.compare(0, cut.size(), cut), 0);
    if (!cut.empty()) {
      EXPECT_TRUE(cut.ends_with("\r\n"));
    }
    EXPECT_EQ(r.RowsWritten, std::count(cut.begin(), cut.end(), '\n'));
    EXPECT_GT(cut.size() + 300, std::min<std::size_t>(limit, whole.size()));  // no more cut than the last row
  }
}
#endif

TEST(GridRows, CellsRowsAndColumns) {
  GridRows grid(3);
  EXPECT_EQ(grid.Rows(), 0);
  grid.AddRow("a\tbb\tccc\tdropped");
  grid.AddRow("");
  grid.SetRows(3);
  EXPECT_EQ(grid.Rows(), 3);
  EXPECT_EQ(grid.Cell(0, 1), "bb");
  EXPECT_EQ(grid.Cell(0, 3), "");
  EXPECT_EQ(grid.Cell(2, 0), "");
  EXPECT_EQ(grid.Cell(-1, 0), "");

  grid.SetCell(0, 1, "BBBB");
  EXPECT_EQ(grid.Cell(0, 0), "a");
  EXPECT_EQ(grid.Cell(0, 1), "BBBB");
  EXPECT_EQ(grid.Cell(0, 2), "ccc");
  grid.SetCell(2, 2, "z");
  EXPECT_EQ(grid.Cell(2, 0), "");
  EXPECT_EQ(grid.Cell(2, 2), "z");
  grid.SetCell(0, 0, "");
  EXPECT_EQ(grid.Cell(0, 1), "BBBB");
  grid.SetCell(5, 0, "ignored");
  EXPECT_EQ(grid.Rows(), 3);

  grid.SetCols(2);
  EXPECT_EQ(grid.Cell(0, 2), "");
  grid.SetCols(3);
  EXPECT_EQ(grid.Cell(0, 2), "");  // dropped cells do not come back
  EXPECT_EQ(grid.Cell(0, 1), "BBBB");

  grid.SetRows(1);
  EXPECT_EQ(grid.Rows(), 1);
}

}  // namespace
}  // namespace qelt
