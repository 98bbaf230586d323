#include <gtest/gtest.h>

#include "FakePort.hpp"
#include "link/ClockCommand.hpp"
#include "link/Link.hpp"
#include "text/NumberText.hpp"

using namespace qelt;
using qelt::test::FakePort;

namespace {
struct CommandFixture : ::testing::Test {
  VirtualHost host{100.0, {2011, 7, 29, 0, 0, 0}};
  FakePort port{host};
  Link link{host, port};
  ExchangeGuard guard;
  void SetUp() override {
    std::string error;
    ASSERT_TRUE(link.OpenPort("/dev/fake", 1, error));
    port.Reply = [this](char c) {
      if (c == 'w') return std::vector<FakePort::Chunk>{{0.003, "w"}};
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
  // 13:45:06.998; the wake-up (echoed after 3 ms) takes it past :07.
  host.Advance(13 * 3600 + 45 * 60 + 7 - 100.0 - 0.002);
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

TEST_F(CommandFixture, ClockRefusedWhileAnotherCommandHoldsThePort) {
  auto holder = guard.TakeForCommand();
  EXPECT_EQ(SetInstrumentClock(link, guard), "");
  EXPECT_EQ(port.WrittenText().find('D'), std::string::npos);
}
