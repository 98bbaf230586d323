#include <gtest/gtest.h>

#include "TempDir.hpp"
#include "platform/VirtualHost.hpp"
#include "recorder/TimedRecording.hpp"

namespace qelt {
namespace {

using test::ReadFile;
using test::TempDir;

TEST(TimedRecording, CountRecordsAtTheIntervalInTheRecorderFormat) {
  TempDir dir;
  VirtualHost host(8 * 3600.0, DateTime{2011, 7, 29, 0, 0, 0});
  ValueTexts values;
  values[0] = "001.5";
  std::vector<std::string> lines;
  int betweenCalls = 0;
  TimedRecordingOptions options;
  options.Out = dir.File("cli.mes");
  options.Interval = 2;
  options.Count = 3;
  TimedRecordingResult r = RunTimedRecording(
      host, options, [&] { return values; },
      [&](double next) {
        ++betweenCalls;
        host.RunEvents(std::min(0.25, next - host.Monotonic()));
        return true;
      },
      [&](const std::string& line) { lines.push_back(line); });
  EXPECT_EQ(r.End, TimedRecordingEnd::Done);
  EXPECT_EQ(r.Records, 3);
  EXPECT_GT(betweenCalls, 0);
  ASSERT_EQ(lines.size(), 3u);
  // Ticks at 1 s, 3 s and 5 s after the start.
  EXPECT_TRUE(lines[0].starts_with("1\t2011/07/29\t08:00:01\t001.5\t"));
  EXPECT_TRUE(lines[1].starts_with("2\t2011/07/29\t08:00:03\t"));
  EXPECT_TRUE(lines[2].starts_with("3\t2011/07/29\t08:00:05\t"));
  EXPECT_EQ(ReadFile(dir.File("cli.mes")),
            HeaderLine() + "\r\n" + lines[0] + "\r\n" + lines[1] + "\r\n" + lines[2] + "\r\n");
}

TEST(TimedRecording, SecondsLimitStopRequestAndFileFault) {
  TempDir dir;
  VirtualHost host;
  TimedRecordingOptions options;
  options.Out = dir.File("t.mes");
  options.Interval = 1;
  options.Seconds = 4;
  TimedRecordingResult r = RunTimedRecording(host, options, [] { return ValueTexts{}; }, {});
  EXPECT_EQ(r.End, TimedRecordingEnd::Done);
  EXPECT_EQ(r.Records, 4);

  int calls = 0;
  options.Seconds = 0;
  options.Count = 0;
  r = RunTimedRecording(
      host, options, [] { return ValueTexts{}; },
      [&](double next) {
        host.RunEvents(next - host.Monotonic());
        return ++calls < 3;
      });
  EXPECT_EQ(r.End, TimedRecordingEnd::Stopped);
  EXPECT_EQ(r.Records, 2);
  std::string file = ReadFile(dir.File("t.mes"));
  EXPECT_EQ(std::count(file.begin(), file.end(), '\n'), 3);  // what was recorded is kept

  options.Out = dir.File("missing/t.mes");
  r = RunTimedRecording(host, options, [] { return ValueTexts{}; }, {});
  EXPECT_EQ(r.End, TimedRecordingEnd::FileFault);
  EXPECT_EQ(r.Fault.File, dir.File("missing/t.mes"));
}

}  // namespace
}  // namespace qelt
