#include <gtest/gtest.h>

#include <set>

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

TEST(TimedRecording, SlowPollsAndAnOutageGiveOneRecordPerIntervalAndNoRepeatedReading) {
  // Every poll takes 0.1 s; from 10 s to 20 s each one waits 4.5 s for a
  // reply that never comes.
  for (const int interval : {1, 2}) {
    for (const bool fresh : {false, true}) {
      SCOPED_TRACE(testing::Message() << "interval " << interval << (fresh ? ", new readings only" : ""));
      TempDir dir;
      VirtualHost host(8 * 3600.0, DateTime{2011, 7, 29, 0, 0, 0});
      std::uint64_t serial = 0;
      std::vector<std::string> lines;
      std::vector<std::int64_t> skips;
      TimedRecordingOptions options;
      options.Out = dir.File("slow.mes");
      options.Interval = interval;
      options.Seconds = 40;
      std::function<std::uint64_t()> readingSerial;
      if (fresh) readingSerial = [&] { return serial; };
      TimedRecordingResult r = RunTimedRecording(
          host, options, [&] { return ValueTexts{{"r" + std::to_string(serial)}}; },
          [&](double) {
            const double t = host.Monotonic();
            const bool lost = t >= 10.0 && t < 20.0;
            host.RunEvents(lost ? 4.5 : 0.1);
            if (!lost) ++serial;
            return true;
          },
          [&](const std::string& line) { lines.push_back(line); }, readingSerial,
          [&](const DateTime&, std::int64_t n) { skips.push_back(n); });
      EXPECT_EQ(r.End, TimedRecordingEnd::Done);
      std::set<std::string> seconds, readings;
      for (const std::string& line : lines) {
        auto cells = SplitRow(line);
        EXPECT_TRUE(seconds.insert(cells[2]).second) << "two records in " << cells[2];
        if (fresh) {
          EXPECT_TRUE(readings.insert(cells[3]).second) << "reading " << cells[3] << " recorded twice";
        }
      }
      // About one sampling moment per interval (a late tick shifts the
      // following ones by its lateness): each gave a record or was skipped.
      EXPECT_LE(r.Records + r.Skipped, 40 / interval);
      EXPECT_GE(r.Records + r.Skipped, 40 / interval - 3);
      EXPECT_GE(r.Skipped, 10 / interval - 2);
      ASSERT_FALSE(skips.empty());
      EXPECT_EQ(skips.back(), r.Skipped);
      EXPECT_EQ(std::stoi(SplitRow(lines.back())[0]), r.Records);  // numbered without a gap
    }
  }
}

TEST(TimedRecording, PollsOfAnyLengthGiveOneRecordInEverySecondOfTheWallClock) {
  // The wall clock is just short of a whole second when the run starts, and
  // a tick waits for the poll in flight, which takes longer or shorter; one
  // in seven takes all but a second.
  for (const double start : {8 * 3600.0, 8 * 3600.0 + 0.5, 8 * 3600.0 + 0.95}) {
    SCOPED_TRACE(testing::Message() << "start " << start);
    TempDir dir;
    VirtualHost host(start, DateTime{2011, 7, 29, 0, 0, 0});
    const double polls[] = {0.09, 0.02, 0.15, 0.04, 0.3, 0.01, 0.995};
    int poll = 0;
    std::vector<std::string> lines;
    TimedRecordingOptions options;
    options.Out = dir.File("w.mes");
    options.Interval = 1;
    options.Count = 40;
    RunTimedRecording(
        host, options, [] { return ValueTexts{}; },
        [&](double) {
          host.RunEvents(polls[poll++ % 7]);
          return true;
        },
        [&](const std::string& line) { lines.push_back(line); });
    ASSERT_EQ(lines.size(), 40u);
    auto second = [](const std::string& line) {
      const std::string t = SplitRow(line)[2];
      return std::stoi(t.substr(0, 2)) * 3600 + std::stoi(t.substr(3, 2)) * 60 + std::stoi(t.substr(6, 2));
    };
    // Each record in a second of its own; the long polls cost a second at most.
    for (std::size_t k = 1; k < lines.size(); ++k) {
      const int step = second(lines[k]) - second(lines[k - 1]);
      EXPECT_TRUE(step == 1 || step == 2) << "record " << k << " came " << step << " s after the one before";
    }
  }
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
