// Ten simulated days of recording on the virtual clock, across ten midnights
// and a month's end: every record once, in order, five seconds apart.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <filesystem>

#include "ProcessUsage.hpp"
#include "TempDir.hpp"
#include "platform/VirtualHost.hpp"
#include "recorder/MeasurementFile.hpp"
#include "recorder/TimedRecording.hpp"
#include "sim/CivilTime.hpp"

namespace qelt {
namespace {

TEST(LongRun, TenDaysOfRecordingAcrossMidnightsAndAMonthsEnd) {
  test::TempDir dir;
  VirtualHost host(86390.0, DateTime{2027, 1, 25, 0, 0, 0});
  constexpr int Interval = 5;
  constexpr std::int64_t Days = 10;
  TimedRecordingOptions options;
  options.Out = dir.File("long.mes");
  options.Interval = Interval;
  options.Count = Days * 86400 / Interval;
  options.SyncEachLine = false;
  std::uint64_t serial = 0;
  std::int64_t lastNumber = 0, lastSecond = 0, outOfStep = 0;
  int lastDay = host.Now().Day;
  std::vector<long> memory;
  const auto wallStart = std::chrono::steady_clock::now();
  TimedRecordingResult r = RunTimedRecording(
      host, options, [&] { return ValueTexts{{std::to_string(serial)}}; },
      [&](double next) {
        host.RunEvents(next - host.Monotonic());
        ++serial;
        return true;
      },
      [&](const std::string& line) {
        auto cells = SplitRow(line);
        const std::int64_t number = std::stoll(cells[0]);
        DateTime when{};
        std::sscanf(cells[1].c_str(), "%d/%d/%d", &when.Year, &when.Month, &when.Day);
        std::sscanf(cells[2].c_str(), "%d:%d:%d", &when.Hour, &when.Minute, &when.Second);
        const long long second = ToCivilSeconds(when);
        if (number != lastNumber + 1 || (lastSecond != 0 && second != lastSecond + Interval)) ++outOfStep;
        lastNumber = number;
        lastSecond = second;
        if (when.Day != lastDay) {
          lastDay = when.Day;
          memory.push_back(test::ResidentKiB());
        }
      },
      [&] { return serial; });
  const double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - wallStart).count();
  EXPECT_EQ(r.End, TimedRecordingEnd::Done);
  EXPECT_EQ(r.Records, options.Count);
  EXPECT_EQ(r.Skipped, 0);
  EXPECT_EQ(outOfStep, 0);
  const DateTime end = host.Now();
  EXPECT_EQ(end.Month, 2);
  EXPECT_EQ(end.Day, 4);
  // 10 000 records a file: the last continuation holds the rest.
  const int parts = static_cast<int>((options.Count - 1) / RecordsPerFile);
  EXPECT_TRUE(std::filesystem::exists(ContinuationName(options.Out, parts)));
  EXPECT_FALSE(std::filesystem::exists(ContinuationName(options.Out, parts + 1)));
  std::printf("%lld simulated days, %lld records, %d continuation files, %.1f s wall\n", static_cast<long long>(Days),
              static_cast<long long>(r.Records), parts, wall);
  std::printf("resident KiB at each midnight:");
  for (long kib : memory) std::printf(" %ld", kib);
  std::printf("\n");
  ASSERT_EQ(memory.size(), static_cast<std::size_t>(Days));
}

}  // namespace
}  // namespace qelt
