#include <gtest/gtest.h>

#include <algorithm>

#ifndef _WIN32
#include "FileSizeLimit.hpp"
#endif
#include "TempDir.hpp"
#include "recorder/MeasurementFile.hpp"
#include "recorder/MeasurementRecorder.hpp"

namespace qelt {
namespace {

using test::ReadFile;
using test::TempDir;

const std::string Header = HeaderLine() + "\r\n";

TEST(MeasurementRecorder, WritesHeaderAndNumberedLinesFlushedAtOnce) {
  TempDir dir;
  RecorderState state;
  MeasurementRecorder recorder(state);
  RecorderFault fault;
  ASSERT_TRUE(recorder.Start(dir.File("run.mes"), fault));
  EXPECT_TRUE(state.Recording);
  EXPECT_EQ(state.RecFileName, dir.File("run.mes"));
  EXPECT_EQ(ReadFile(dir.File("run.mes")), Header);  // on disk before anything else happens

  ASSERT_TRUE(recorder.Write("2011/07/29\t13:45:07\ta", fault));
  // Read while the file is still open: the line is already there.
  EXPECT_EQ(ReadFile(dir.File("run.mes")), Header + "1\t2011/07/29\t13:45:07\ta\r\n");
  ASSERT_TRUE(recorder.Write("2011/07/29\t13:45:08\tb", fault));
  EXPECT_EQ(state.RecCount, 2);
  EXPECT_EQ(ReadFile(dir.File("run.mes")), Header + "1\t2011/07/29\t13:45:07\ta\r\n2\t2011/07/29\t13:45:08\tb\r\n");
}

TEST(MeasurementRecorder, ContinuesInANewFileAfterEveryTenThousandRecords) {
  TempDir dir;
  RecorderState state;
  MeasurementRecorder recorder(state);
  recorder.SetSyncEachLine(false);  // many thousand lines
  RecorderFault fault;
  ASSERT_TRUE(recorder.Start(dir.File("run.2011.mes"), fault));
  for (int i = 1; i <= 20001; ++i) ASSERT_TRUE(recorder.Write("s" + std::to_string(i), fault));
  EXPECT_EQ(state.RecPart, 2);
  EXPECT_EQ(recorder.CurrentFile(), dir.File("run-2.2011.mes"));

  std::string first = ReadFile(dir.File("run.2011.mes"));
  EXPECT_TRUE(first.starts_with(Header + "1\ts1\r\n"));
  EXPECT_TRUE(first.ends_with("\r\n10000\ts10000\r\n"));
  EXPECT_EQ(std::count(first.begin(), first.end(), '\n'), 10001);

  std::string second = ReadFile(dir.File("run-1.2011.mes"));
  EXPECT_TRUE(second.starts_with(Header + "10001\ts10001\r\n"));
  EXPECT_TRUE(second.ends_with("\r\n20000\ts20000\r\n"));

  EXPECT_EQ(ReadFile(dir.File("run-2.2011.mes")), Header + "20001\ts20001\r\n");
}

TEST(MeasurementRecorder, StopAndRestartNumbersFromOneAndReplacesTheFile) {
  TempDir dir;
  RecorderState state;
  MeasurementRecorder recorder(state);
  RecorderFault fault;
  state.DialogOK = true;
  ASSERT_TRUE(recorder.Start(dir.File("run.mes"), fault));
  for (int i = 0; i < 3; ++i) ASSERT_TRUE(recorder.Write("old", fault));
  recorder.Stop();
  EXPECT_FALSE(state.Recording);
  EXPECT_EQ(state.RecCount, 0);
  EXPECT_FALSE(state.DialogOK);
  EXPECT_FALSE(recorder.Write("ignored", fault));

  ASSERT_TRUE(recorder.Start(dir.File("run.mes"), fault));
  ASSERT_TRUE(recorder.Write("new", fault));
  EXPECT_EQ(ReadFile(dir.File("run.mes")), Header + "1\tnew\r\n");
}

TEST(MeasurementRecorder, RestartRightAfterAStopBeginsAgainAtTheChosenFile) {
  TempDir dir;
  RecorderState state;
  MeasurementRecorder recorder(state);
  recorder.SetSyncEachLine(false);  // many thousand lines
  RecorderFault fault;
  ASSERT_TRUE(recorder.Start(dir.File("a.mes"), fault));
  for (int i = 0; i < 10001; ++i) ASSERT_TRUE(recorder.Write("x", fault));
  recorder.Stop();  // no sampling tick in between to reset the part
  ASSERT_TRUE(recorder.Start(dir.File("b.mes"), fault));
  for (int i = 0; i < 10001; ++i) ASSERT_TRUE(recorder.Write("y", fault));
  EXPECT_EQ(recorder.CurrentFile(), dir.File("b-1.mes"));
}

TEST(MeasurementRecorder, AFileThatCannotBeMadeStopsTheRecordingAndSaysWhy) {
  TempDir dir;
  RecorderState state;
  MeasurementRecorder recorder(state);
  recorder.SetSyncEachLine(false);  // many thousand lines
  RecorderFault fault;
  EXPECT_FALSE(recorder.Start(dir.File("missing/run.mes"), fault));
  EXPECT_FALSE(state.Recording);
  EXPECT_EQ(fault.File, dir.File("missing/run.mes"));
  EXPECT_EQ(fault.Reason, "No such file or directory");
  EXPECT_TRUE(fault.Creating);
  EXPECT_NE(fault.Message().find(dir.File("missing/run.mes")), std::string::npos);
  EXPECT_NE(fault.Message().find("No such file or directory"), std::string::npos);

  // A full disk shows up when the header is written.
  EXPECT_FALSE(recorder.Start("/dev/full", fault));
  EXPECT_FALSE(state.Recording);
  EXPECT_EQ(fault.Reason, "No space left on device");

  // The continuation file cannot be created: the recording stops at record 10 001.
  std::filesystem::create_directory(dir.File("run-1.mes"));
  ASSERT_TRUE(recorder.Start(dir.File("run.mes"), fault));
  for (int i = 0; i < 10000; ++i) ASSERT_TRUE(recorder.Write("x", fault));
  EXPECT_FALSE(recorder.Write("x", fault));
  EXPECT_FALSE(state.Recording);
  EXPECT_EQ(state.RecCount, 0);
  EXPECT_EQ(fault.File, dir.File("run-1.mes"));
  EXPECT_EQ(fault.Reason, "Is a directory");
  std::string first = ReadFile(dir.File("run.mes"));
  EXPECT_TRUE(first.ends_with("\r\n10000\tx\r\n"));  // nothing written is lost
}

#ifndef _WIN32
// A file size limit stands in for a full disk: the write fails after N bytes,
// and the file must end with a whole line whatever N is.
TEST(MeasurementRecorderDiskFull, WriteFailingAfterNBytesLeavesOnlyWholeLines) {
  for (const rlim_t limit : {rlim_t{10}, rlim_t{300}, rlim_t{1000}, rlim_t{4099}}) {
    SCOPED_TRACE(testing::Message() << "limit " << limit);
    TempDir dir;
    RecorderState state;
    MeasurementRecorder recorder(state);
    recorder.SetSyncEachLine(false);
    RecorderFault fault;
    bool ok = false;
    int written = 0;
    {
      test::FileSizeLimit lowered(limit);
      ASSERT_TRUE(lowered.Set());
      ok = recorder.Start(dir.File("full.mes"), fault);
      ValueTexts values;
      values.fill("123.4");
      while (ok && written < 1000) {
        ok = recorder.Write(SampleLine(DateTime{2026, 12, 10, 1, 2, 3}, values), fault);
        if (ok) ++written;
      }
    }
    ASSERT_FALSE(ok);
    EXPECT_FALSE(state.Recording);
    EXPECT_EQ(fault.File, dir.File("full.mes"));
    EXPECT_NE(fault.Message().find("The recording file cannot"), std::string::npos);
    std::string file = ReadFile(dir.File("full.mes"));
    EXPECT_LE(file.size(), limit);
    if (!file.empty()) {
      EXPECT_TRUE(file.ends_with("\r\n"));
    }
    // Header and the records written, nothing more.
    EXPECT_EQ(std::count(file.begin(), file.end(), '\n'), written + (file.empty() ? 0 : 1));
  }
}
#endif

}  // namespace
}  // namespace qelt
