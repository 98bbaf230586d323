#include <gtest/gtest.h>

#include "FakePort.hpp"
#include "link/ClockCommand.hpp"
#include "link/Link.hpp"
#include "logger/DirectoryRead.hpp"
#include "text/NumberText.hpp"

using namespace qelt;
using qelt::test::FakePort;

namespace {
struct CommandFixture : ::testing::Test {
  VirtualHost host{100.0, {2011, 7, 29, 0, 0, 0}};
  FakePort port{host};
  Link link{host, port};
  ExchangeGuard guard;
  std::function<std::vector<FakePort::Chunk>()> OnDirectory;
  void SetUp() override {
    std::string error;
    ASSERT_TRUE(link.OpenPort("/dev/fake", 1, error));
    port.Reply = [this](char c) {
      if (c == 'w') return std::vector<FakePort::Chunk>{{0.003, "w"}};
      if (c == 'T' && OnDirectory) return OnDirectory();
      return std::vector<FakePort::Chunk>{};
    };
  }
};
}  // namespace

TEST(ClockCommand, PackedBcdOfThePcTime) {
  auto b = ClockBytes({2009, 12, 31, 23, 59, 58});
  EXPECT_EQ(HexBytes(std::string(b.begin(), b.end())), "09 12 31 23 59 58");
  b = ClockBytes({2011, 7, 29, 13, 45, 7});
  EXPECT_EQ(HexBytes(std::string(b.begin(), b.end())), "11 07 29 13 45 07");
}

TEST_F(CommandFixture, ClockWritesDAndSixBytesPacedByTheShortPause) {
  host.Advance(13 * 3600 + 45 * 60 + 7 - 100.0 - 0.01);  // 13:45:06.99; the wake-up takes it past :07
  port.Written.clear();
  std::string sent = SetInstrumentClock(link, guard);
  EXPECT_EQ(HexBytes(sent), "44 11 07 29 13 45 07");
  std::string written = port.WrittenText();
  EXPECT_EQ(HexBytes(written.substr(written.size() - 7)), "44 11 07 29 13 45 07");
  auto n = port.Written.size();
  for (std::size_t i = n - 6; i < n; ++i)
    EXPECT_NEAR(port.Written[i].first - port.Written[i - 1].first, 0.02, 0.005);  // the wall clock is single precision
  EXPECT_FALSE(guard.Busy());
}

TEST_F(CommandFixture, ClockOnceBegunIsSentWholeEvenWhenThePortIsTaken) {
  ExchangeGuard::Ticket shutdown;
  port.Reply = [&](char c) {
    if (c == 'w') return std::vector<FakePort::Chunk>{{0.003, "w"}};
    if (c == 'D') host.ScheduleAt(host.Monotonic() + 0.03, [&] { shutdown = guard.TakeForShutdown(); });
    return std::vector<FakePort::Chunk>{};
  };
  port.Written.clear();
  EXPECT_EQ(SetInstrumentClock(link, guard).size(), 7u);
  ASSERT_TRUE(shutdown);
  std::string written = port.WrittenText();
  EXPECT_EQ(written.substr(written.find('D')).size(), 7u);
}

TEST_F(CommandFixture, DirectoryProgressAndCompletion) {
  std::string dir(34, '\0');
  dir[0] = 3;
  OnDirectory = [&] { return std::vector<FakePort::Chunk>{{0.1, dir.substr(0, 17)}, {0.5, dir.substr(17) + "extra"}}; };
  LoggerState logger;
  std::vector<std::string> captions;
  auto outcome = ReadLoggerDirectory(link, guard, logger, [&](const std::string& c) { captions.push_back(c); });
  EXPECT_EQ(outcome, DirectoryOutcome::Complete);
  EXPECT_EQ(logger.LoggerSetCount, 3);
  ASSERT_GE(captions.size(), 2u);
  EXPECT_EQ(captions.front(), "50.0% Completed");
  EXPECT_EQ(captions.back(), "100.0% Completed");
  EXPECT_EQ(logger.LoggerDirectory.size(), 39u);  // what came is kept; the count decides the end
}

TEST_F(CommandFixture, DirectoryThatStopsComingEndsAfterThreeQuietSeconds) {
  std::string dir(24, '\0');
  dir[0] = 2;
  OnDirectory = [&] { return std::vector<FakePort::Chunk>{{0.1, dir.substr(0, 10)}}; };
  LoggerState logger;
  std::string last;
  auto outcome = ReadLoggerDirectory(link, guard, logger, [&](const std::string& c) { last = c; });
  EXPECT_EQ(outcome, DirectoryOutcome::Stalled);
  EXPECT_EQ(last, "41.7% Completed");
  EXPECT_FALSE(guard.Busy());
}

TEST_F(CommandFixture, DirectoryWaitEndsAtTheDeadline) {
  std::string dir(24, '\0');
  dir[0] = 2;
  OnDirectory = [&] { return std::vector<FakePort::Chunk>{{0.1, dir.substr(0, 10)}}; };
  LoggerState logger;
  EXPECT_EQ(ReadLoggerDirectory(link, guard, logger, nullptr, 1.0), DirectoryOutcome::Abandoned);
  EXPECT_GE(host.Monotonic(), 1.0);
  EXPECT_LT(host.Monotonic(), 1.05);
  EXPECT_FALSE(guard.Busy());
}

TEST_F(CommandFixture, EmptyLoggerAndABusyPort) {
  OnDirectory = [] { return std::vector<FakePort::Chunk>{{0.05, std::string(4, '\0')}}; };
  LoggerState logger;
  EXPECT_EQ(ReadLoggerDirectory(link, guard, logger, nullptr), DirectoryOutcome::Complete);
  EXPECT_EQ(logger.LoggerSetCount, 0);
  auto holder = guard.TakeForCommand();
  EXPECT_EQ(ReadLoggerDirectory(link, guard, logger, nullptr), DirectoryOutcome::Busy);
  EXPECT_EQ(SetInstrumentClock(link, guard), "");
}
