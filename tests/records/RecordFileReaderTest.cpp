#include <gtest/gtest.h>

#include "TempDir.hpp"
#include "platform/GridRows.hpp"
#include "recorder/MeasurementFile.hpp"
#include "recorder/MeasurementRecorder.hpp"
#include "records/RecordFileReader.hpp"
#include "records/GridFile.hpp"

namespace qelt {
namespace {

using test::TempDir;
using test::WriteFile;

std::string Sample(int i) {
  ValueTexts v;
  for (int q = 0; q < QuantityCount; ++q) v[static_cast<std::size_t>(q)] = std::to_string(i * 100 + q) + ".0";
  return SampleLine(DateTime{2011, 7, 29, 13, 45, i}, v);
}

TEST(RecordFileReader, RecorderFileAndSavedListReadIntoTheSameRows) {
  TempDir dir;
  RecorderState state;
  MeasurementRecorder recorder(state);
  RecorderFault fault;
  ASSERT_TRUE(recorder.Start(dir.File("rec.mes"), fault));
  GridRows list(RecordColumns);
  list.AddRow(HeaderLine());
  for (int i = 1; i <= 3; ++i) {
    ASSERT_TRUE(recorder.Write(Sample(i), fault));
    list.AddRow(RecordLine(i, Sample(i)));
  }
  recorder.Stop();
  ASSERT_TRUE(WriteGridFile(dir.File("list.mes"), list).Ok);

  RecordRows fromRecorder = ReadRecordRows(dir.File("rec.mes"));
  RecordRows fromList = ReadRecordRows(dir.File("list.mes"));
  ASSERT_TRUE(fromRecorder.Result.Ok);
  ASSERT_TRUE(fromList.Result.Ok);
  ASSERT_EQ(fromRecorder.Rows.size(), 3u);
  EXPECT_EQ(fromRecorder.Rows, fromList.Rows);
  ASSERT_EQ(fromRecorder.Rows[2].size(), 31u);
  EXPECT_EQ(fromRecorder.Rows[2][0], "3");
  EXPECT_EQ(fromRecorder.Rows[2][2], "13:45:03");
  EXPECT_EQ(fromRecorder.Rows[2][30], "327.0");
}

TEST(RecordFileReader, LineEndsAndLineNumbers) {
  TempDir dir;
  WriteFile(dir.File("mixed"), "header\r\na\tb\r\nc\nd\re\r\n\r\nlast");
  std::vector<std::pair<int, std::string>> rows;
  RecordFileResult r =
      ReadRecordFile(dir.File("mixed"), [&](int n, std::string_view row) { rows.emplace_back(n, std::string(row)); });
  ASSERT_TRUE(r.Ok);
  EXPECT_EQ(r.Rows, 6);
  EXPECT_EQ(rows, (std::vector<std::pair<int, std::string>>{
                      {1, "a\tb"}, {2, "c"}, {3, "d"}, {4, "e"}, {5, ""}, {6, "last"}}));

  WriteFile(dir.File("header-only"), HeaderLine() + "\r\n");
  EXPECT_EQ(ReadRecordRows(dir.File("header-only")).Rows.size(), 0u);
}

TEST(RecordFileReader, LongLinesAcrossReadChunks) {
  TempDir dir;
  std::string longRow(70000, 'x');
  std::string bytes = "h\r\n";
  for (int i = 0; i < 3; ++i) bytes += longRow + "\r\n";
  // A CR LF split between two chunks of 64 KiB.
  std::string split = "h\r\n" + std::string(65536 - 4, 'y') + "\r\nz\r\n";
  WriteFile(dir.File("long"), bytes);
  WriteFile(dir.File("split"), split);
  std::vector<std::size_t> lengths;
  ReadRecordFile(dir.File("long"), [&](int, std::string_view row) { lengths.push_back(row.size()); });
  EXPECT_EQ(lengths, (std::vector<std::size_t>{70000, 70000, 70000}));
  std::vector<std::string> rows;
  ReadRecordFile(dir.File("split"), [&](int, std::string_view row) { rows.emplace_back(row); });
  ASSERT_EQ(rows.size(), 2u);
  EXPECT_EQ(rows[0].size(), 65532u);
  EXPECT_EQ(rows[1], "z");
}

TEST(RecordFileReader, AFileThatCannotBeOpenedSaysWhy) {
  bool opened = false;
  RecordFileResult r = ReadRecordFile(
      "/nonexistent/x.mes", [](int, std::string_view) {}, [&] { opened = true; });
  EXPECT_FALSE(r.Ok);
  EXPECT_FALSE(opened);
  EXPECT_EQ(r.Reason, "No such file or directory");

  // A folder opens but cannot be read: the failure is reported, not an empty list.
  TempDir dir;
  RecordFileResult folder = ReadRecordFile(dir.Path().string(), [](int, std::string_view) {});
  EXPECT_FALSE(folder.Ok);
  EXPECT_EQ(folder.Reason, "Is a directory");
}

}  // namespace
}  // namespace qelt
