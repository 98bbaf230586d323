#include <gtest/gtest.h>

#include "recorder/MeasurementFile.hpp"

namespace qelt {
namespace {

ValueTexts SomeValues() {
  ValueTexts v;
  for (int i = 0; i < QuantityCount; ++i) v[static_cast<std::size_t>(i)] = "v" + std::to_string(i);
  v[0] = "-012.3";
  v[3] = "0.998";
  v[5] = "OL";
  return v;
}

TEST(MeasurementFile, HeaderLineIsTheThirtyOneTitlesWithTheirBlanks) {
  EXPECT_EQ(HeaderLine(),
            "No.s\t      Date\t    Time\tKW1\tKVAR1\tKVA1\tPF1\tTheta1\tV1\tI1\tKW2\tKVAR2\tKVA2\tPF2\tTheta2\tV2\tI2\t"
            "KW3\tKVAR3\tKVA3\tPF3\tTheta3\tV3\tI3\tHz\tI4\tTKW\tTKVAR\tTKVA\tTPF\tTTheta");
  EXPECT_EQ(FileListTitles()[1], "Date");
  EXPECT_EQ(FileListTitles()[2], "Time");
  EXPECT_EQ(FileListTitles()[30], "TTheta");
}

TEST(MeasurementFile, SampleAndRecordLines) {
  DateTime when{2011, 7, 9, 3, 4, 5};
  EXPECT_EQ(DateText(when), "2011/07/09");
  EXPECT_EQ(TimeText(when), "03:04:05");
  EXPECT_EQ(TimeText(DateTime{2011, 12, 31, 23, 59, 58}), "23:59:58");

  std::string line = SampleLine(when, SomeValues());
  EXPECT_TRUE(line.starts_with("2011/07/09\t03:04:05\t-012.3\tv1\tv2\t0.998\tv4\tOL\t")) << line;
  EXPECT_EQ(std::count(line.begin(), line.end(), '\t'), 29);
  EXPECT_NE(line.back(), '\t');
  EXPECT_EQ(line.substr(line.size() - 4), "\tv27");

  EXPECT_EQ(RecordLine(10001, "a\tb"), "10001\ta\tb");

  // Before the first reading the values are empty: the TABs stay.
  std::string empty = SampleLine(when, ValueTexts{});
  EXPECT_EQ(empty, "2011/07/09\t03:04:05" + std::string(28, '\t'));
}

TEST(MeasurementFile, ValueTextsFollowTheRecordOrder) {
  LiveReading reading;
  reading.KW1 = "001.0";
  reading.TTheta = "-45.0";
  reading.Hz = "050.0";
  ValueTexts v = ValueTextsOf(reading);
  EXPECT_EQ(v[0], "001.0");
  EXPECT_EQ(v[21], "050.0");
  EXPECT_EQ(v[27], "-45.0");
}

TEST(MeasurementFile, ContinuationNames) {
  EXPECT_EQ(ContinuationName("C:\\data\\run.mes", 1), "C:\\data\\run-1.mes");
  EXPECT_EQ(ContinuationName("C:\\data\\run.mes", 2), "C:\\data\\run-2.mes");
  EXPECT_EQ(ContinuationName("C:\\data\\run.2011.mes", 1), "C:\\data\\run-1.2011.mes");
  EXPECT_EQ(ContinuationName("C:\\a.b\\run.mes", 1), "C:\\a.b\\run-1.mes");
  EXPECT_EQ(ContinuationName("C:\\data\\run", 1), "C:\\data\\run-1");
  EXPECT_EQ(ContinuationName("C:\\a.b\\run", 12), "C:\\a.b\\run-12");
  EXPECT_EQ(ContinuationName("/home/u.v/run.mes", 3), "/home/u.v/run-3.mes");
  EXPECT_EQ(ContinuationName("/home/u.v/run", 1), "/home/u.v/run-1");
  EXPECT_EQ(ContinuationName("run.mes", 1), "run-1.mes");
  EXPECT_EQ(ContinuationName(".hidden", 1), "-1.hidden");
}

TEST(MeasurementFile, ListAutoSaveNameIsMonthDayHourMinuteSecond) {
  EXPECT_EQ(ListAutoSaveName(DateTime{2011, 7, 29, 13, 45, 7}), "0729134507.mes");
  EXPECT_EQ(ListAutoSaveName(DateTime{2026, 1, 2, 0, 0, 9}), "0102000009.mes");
}

TEST(MeasurementFile, SplitRowFillsConsecutiveCells) {
  EXPECT_EQ(SplitRow("a\tb\tc", 31), (std::vector<std::string>{"a", "b", "c"}));
  EXPECT_EQ(SplitRow("a\tb\t", 2), (std::vector<std::string>{"a", "b"}));
  EXPECT_EQ(SplitRow("a\tb\tc\td", 2), (std::vector<std::string>{"a", "b"}));
  EXPECT_EQ(SplitRow("", 31), (std::vector<std::string>{""}));
  EXPECT_EQ(SplitRow("\t\tx", 31), (std::vector<std::string>{"", "", "x"}));
}

}  // namespace
}  // namespace qelt
