#include <gtest/gtest.h>

#include <algorithm>

#include "TempDir.hpp"
#include "panel/LivePoll.hpp"
#include "platform/VirtualHost.hpp"
#include "recorder/TimedRecording.hpp"
#include "records/RecordTable.hpp"
#include "sim/Instrument.hpp"
#include "sim/SimPort.hpp"

namespace qelt {
namespace {

// The command-line recording loop on the simulated instrument, begun 10 s
// before the year's last midnight.
TEST(Midnight, RecordingKeepsEverySecondAndTheWakeUpsStayFew) {
  test::TempDir dir;
  struct {
    VirtualHost host{86390.0, DateTime{2026, 12, 31, 0, 0, 0}};
    Instrument instrument{InstrumentSettings{}};
    SimPort port{host, instrument};
  } bench;
  Link link{bench.host, bench.port};
  MeterState meter;
  LiveReading reading;
  ExchangeGuard guard;
  LivePoll poll{link, guard, meter, reading};
  std::string error;
  ASSERT_TRUE(link.OpenPort("SIM", 1, error));

  // Bytes written to the instrument during the day's last second.
  std::size_t atLastSecond = 0, atMidnight = 0;
  bench.host.OnEvents = [&] {
    const double t = bench.host.SecondsSinceMidnight();
    if (atLastSecond == 0 && t >= 86399.0) atLastSecond = bench.port.Written().size();
    if (atMidnight == 0 && t < 1.0 && atLastSecond != 0) atMidnight = bench.port.Written().size();
  };

  TimedRecordingOptions options;
  options.Out = dir.File("midnight.mes");
  options.Interval = 1;
  options.Count = 20;
  std::vector<std::string> lines;
  TimedRecordingResult r = RunTimedRecording(
      bench.host, options, [&] { return ValueTextsOf(reading); },
      [&](double) {
        poll.Tick();
        return true;
      },
      [&](const std::string& line) { lines.push_back(line); }, [&] { return meter.ReadingSerial; });
  EXPECT_EQ(r.End, TimedRecordingEnd::Done);
  ASSERT_EQ(lines.size(), 20u);
  ASSERT_NE(atMidnight, 0u);
  // Polls back to back, each a wake-up and a request of some 40 ms: about
  // fifty bytes, not a burst.
  EXPECT_LT(atMidnight - atLastSecond, 80u);

  std::vector<std::string> times;
  for (const std::string& line : lines) {
    auto cells = SplitRow(line);
    times.push_back(cells[1] + " " + cells[2]);
  }
  auto at = [&](const std::string& t) { return std::count(times.begin(), times.end(), t); };
  EXPECT_EQ(at("2026/12/31 23:59:58"), 1);
  EXPECT_EQ(at("2026/12/31 23:59:59"), 1);
  EXPECT_EQ(at("2027/01/01 00:00:00"), 1);
  EXPECT_EQ(at("2027/01/01 00:00:01"), 1);
  // One record a second, in order.
  for (std::size_t i = 1; i < lines.size(); ++i) {
    EXPECT_EQ(std::stoi(SplitRow(lines[i])[0]), static_cast<int>(i) + 1);
    EXPECT_LT(times[i - 1], times[i]);
  }
}

}  // namespace
}  // namespace qelt
