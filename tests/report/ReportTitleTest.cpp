// The titles of reports made from lists and the file names made of them.
#include <gtest/gtest.h>

#include "report/ReportText.hpp"

using namespace qelt;

TEST(ReportTitle, TheLiveListRunsFromItsFirstToItsLastRecord) {
  GridRows rows(5);
  rows.AddRow("No.s\t      Date\t    Time\tKW1");
  EXPECT_EQ(LiveReadingsTitle(rows), "Live readings");
  rows.AddRow("1\t2026/12/11\t10:00:02\t001.0");
  rows.AddRow("2\t2026/12/11\t10:00:04\t001.0");
  rows.AddRow("3\t2026/12/12\t00:00:01 \t001.0");
  rows.SetRows(8);  // rows not yet written are not records
  EXPECT_EQ(LiveReadingsTitle(rows), "Live readings from 2026/12/11 10:00:02 to 2026/12/12 00:00:01");
}

TEST(ReportTitle, FileNamesAreTheTitleLessWhatNoFileSystemTakes) {
  EXPECT_EQ(TitleFileName("Logger set 2, 2011/08/02 08:00, 3P4W"), "Logger set 2 2011-08-02 0800 3P4W");
  EXPECT_EQ(TitleFileName("Live readings from 2026/12/11 10:00:02 to 2026/12/11 11:00:00"),
            "Live readings from 2026-12-11 100002 to 2026-12-11 110000");
  EXPECT_EQ(TitleFileName("a\\\\b*?\"<>|c."), "a--bc");
  EXPECT_EQ(TitleFileName("a,b"), "a,b");
  EXPECT_EQ(TitleFileName(":?"), "Report");
}
