// What Ctrl+C puts on the clipboard: the titles, then the chosen cells.
#include <gtest/gtest.h>

#include "platform/GridRows.hpp"

namespace qelt {
namespace {

GridRows Sample() {
  GridRows g(4);
  g.AddRow("No.\tTime\tV1\tI1");
  g.AddRow("1\t10:00:00\t230.1\t1.234");
  g.AddRow("2\t10:00:01\t230.2");  // a short row: its last cell is empty
  g.AddRow("3\t10:00:02\t230.3\t1.236");
  g.AddRow("4\t10:00:03\t230.4\t1.237");
  return g;
}

TEST(GridRows, CopyTextOfASelectionCarriesTheTitles) {
  const GridRows g = Sample();
  EXPECT_EQ(CopyText(g, 1, 1, 3, 0, 3),
            "No.\tTime\tV1\tI1\n1\t10:00:00\t230.1\t1.234\n2\t10:00:01\t230.2\t\n3\t10:00:02\t230.3\t1.236\n");
  // Part of the columns: the titles cut to match.
  EXPECT_EQ(CopyText(g, 1, 2, 3, 2, 3), "V1\tI1\n230.2\t\n230.3\t1.236\n");
  // A range that starts at the titles does not repeat them; no title row, no titles.
  EXPECT_EQ(CopyText(g, 1, 0, 1, 0, 0), "No.\n1\n");
  EXPECT_EQ(CopyText(g, 0, 4, 4, 1, 1), "10:00:03\n");
}

TEST(GridRows, CellsSetPastTheEndAndColumnsDropped) {
  GridRows g(5);
  g.SetRows(2);
  g.SetCell(0, 3, "d");  // empty cells before it
  EXPECT_EQ(g.Cell(0, 0), "");
  EXPECT_EQ(g.Cell(0, 3), "d");
  EXPECT_EQ(g.Cell(0, 4), "");
  g.SetCell(0, 1, "b\tx");  // a TAB would split the cell: stored as a blank
  EXPECT_EQ(g.Cell(0, 1), "b x");
  EXPECT_EQ(g.Cell(0, 3), "d");
  g.SetCell(0, 1, "");
  EXPECT_EQ(g.Cell(0, 3), "d");
  g.AddRow("1\t2\t3\t4\t5\t6\t7");  // fields past the last column dropped
  EXPECT_EQ(g.Cell(2, 4), "5");
  EXPECT_EQ(CopyText(g, 0, 2, 2, 0, 4), "1\t2\t3\t4\t5\n");
  g.SetCols(2);
  EXPECT_EQ(g.Cell(2, 1), "2");
  EXPECT_EQ(g.Cell(2, 2), "");
  g.SetCols(5);
  EXPECT_EQ(g.Cell(2, 2), "");  // dropped cells do not come back
  EXPECT_EQ(g.Cell(0, 3), "");
  g.SetCols(0);
  g.SetCols(3);
  EXPECT_EQ(g.Cell(2, 0), "");
}

}  // namespace
}  // namespace qelt
