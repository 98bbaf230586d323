#include <gtest/gtest.h>

#include <cmath>

#include "FakePort.hpp"
#include "link/Link.hpp"

using namespace qelt;
using qelt::test::FakePort;

namespace {
struct LinkFixture : ::testing::Test {
  VirtualHost host{100.0};  // fine float resolution of the wall clock
  FakePort port{host};
  Link link{host, port};
  std::vector<std::pair<double, std::string>> texts;
  ExchangeGuard guard;

  void SetUp() override {
    std::string error;
    link.OnLinkText = [this](const std::string& t) { texts.emplace_back(host.Monotonic(), t); };
    ASSERT_TRUE(link.OpenPort("/dev/fake", 3, error));
  }
  int NoComCount() const {
    int n = 0;
    for (auto& t : texts) n += t.second == "No COM";
    return n;
  }
};
}  // namespace

TEST(Link, PortTextsAndLabels) {
  EXPECT_EQ(ComPortFromText("COM12"), 12);
  EXPECT_EQ(ComPortFromText("COM16"), 16);
  EXPECT_EQ(ComPortFromText("COM17"), 0);
  EXPECT_EQ(ComPortFromText("Auto"), 1);
  EXPECT_EQ(ComPortFromText("com3"), 0);
  EXPECT_EQ(ComPortFromText("COM03"), 0);
  EXPECT_EQ(PortLabelFor("/dev/ttyS2", 3), "COM3");
  EXPECT_EQ(PortLabelFor("/dev/ttyUSB0", 0), "ttyUSB0");
  EXPECT_EQ(PortLabelFor("/dev/pts/3", 0), "pts/3");
  EXPECT_EQ(PortLabelFor("/tmp/qelt/meter", 0), "meter");
  EXPECT_EQ(DeviceForComPort(1), "/dev/ttyS0");
}

TEST_F(LinkFixture, OpeningShowsThePortAndWritesE) {
  EXPECT_EQ(port.WrittenText(), "E");
  ASSERT_EQ(texts.size(), 1u);
  EXPECT_EQ(texts[0].second, "COM3");
}

TEST(LinkDelay, MidnightRuleAndOrdinaryWaits) {
  {
    VirtualHost host{36000.0};
    FakePort port{host};
    Link link{host, port};
    link.Delay(0.2);
    EXPECT_NEAR(host.Monotonic(), 0.2, 0.01);
  }
  {
    // The deadline would pass 86399 s: it becomes 0.2 s after midnight, which
    // the clock is already past, so the wait ends at once.
    VirtualHost host{86399.5};
    FakePort port{host};
    Link link{host, port};
    link.Delay(0.2);
    EXPECT_LT(host.Monotonic(), 1e-3);
  }
  {
    // A deadline of exactly 86399 is still waited for.
    VirtualHost host{86398.75};
    FakePort port{host};
    Link link{host, port};
    link.Delay(0.25);
    EXPECT_NEAR(host.Monotonic(), 0.25, 0.01);
  }
  {
    // The clock passing midnight inside a wait (a long event handler) does
    // not turn the wait into a day.
    VirtualHost host{86398.9};
    FakePort port{host};
    Link link{host, port};
    host.ScheduleAt(0.01, [&] { host.Advance(1.2); });
    link.Delay(0.05);
    EXPECT_LT(host.SecondsSinceMidnight(), 1.0);
    EXPECT_LT(host.Monotonic(), 1.3);
  }
  {
    // Late in the day the single-precision deadline lies a float step beyond
    // the 0.02 s; the rule, not the monotonic clock, decides.
    VirtualHost host{86000.004};
    FakePort port{host};
    Link link{host, port};
    link.Delay(0.02);
    float deadline = static_cast<float>(86000.004) + 0.02f;
    EXPECT_GT(host.Monotonic(), 0.021);
    EXPECT_GE(static_cast<float>(host.SecondsSinceMidnight()), deadline);
  }
}

TEST(LinkDelay, NoWaitForNonsenseSeconds) {
  VirtualHost host{100.0};
  FakePort port{host};
  Link link{host, port};
  link.Delay(std::nan(""));
  link.Delay(-1.0);
  link.Delay(0.0);
  EXPECT_LT(host.Monotonic(), 1e-3);
}

TEST_F(LinkFixture, EchoWithMoreBytesWakesAtOnce) {
  port.Reply = [](char c) {
    return c == 'w' ? std::vector<FakePort::Chunk>{{0.005, "wxyz"}} : std::vector<FakePort::Chunk>{};
  };
  auto ticket = guard.TakeForCommand();
  EXPECT_TRUE(link.WakeMeter(ticket));
  EXPECT_EQ(port.Count('w'), 1);
  EXPECT_EQ(texts.back().second, "COM3");
}

TEST_F(LinkFixture, WrongEchoIsRetriedWithoutLinkLoss) {
  int answers = 0;
  port.Reply = [&](char c) {
    if (c != 'w') return std::vector<FakePort::Chunk>{};
    return std::vector<FakePort::Chunk>{{0.005, ++answers < 400 ? "x" : "w"}};
  };
  auto ticket = guard.TakeForCommand();
  EXPECT_TRUE(link.WakeMeter(ticket));
  EXPECT_EQ(answers, 400);
  EXPECT_EQ(NoComCount(), 0);
  EXPECT_EQ(port.Count('E'), 1);  // only the one from opening
}

TEST_F(LinkFixture, SilentInstrumentCyclesEAndNoComUntilItAnswers) {
  // Silent for 10 s, then answering.
  port.Reply = [&](char c) {
    if (c != 'w' || host.Monotonic() < 10.0) return std::vector<FakePort::Chunk>{};
    return std::vector<FakePort::Chunk>{{0.005, "w"}};
  };
  auto ticket = guard.TakeForCommand();
  EXPECT_TRUE(link.WakeMeter(ticket));
  EXPECT_GE(host.Monotonic(), 10.0);
  EXPECT_EQ(texts.back().second, "COM3");
  EXPECT_EQ(NoComCount(), 4);

  // "E" about every 2 s: 100 tries of 0.02 s, then the pause.
  std::vector<double> eTimes;
  for (auto& [t, c] : port.Written)
    if (c == 'E' && t > 0) eTimes.push_back(t);
  ASSERT_EQ(eTimes.size(), 4u);
  for (std::size_t i = 1; i < eTimes.size(); ++i) EXPECT_NEAR(eTimes[i] - eTimes[i - 1], 2.02, 0.03);
  EXPECT_NEAR(eTimes[0], 2.0, 0.03);
}

TEST_F(LinkFixture, LongOutageRunsAsALoopAndStopsAtTheDeadline) {
  auto ticket = guard.TakeForCommand();
  ticket.Deadline = 4 * 3600.0;  // four hours of silence
  EXPECT_FALSE(link.WakeMeter(ticket));
  EXPECT_NEAR(host.Monotonic(), 4 * 3600.0, 0.05);
  EXPECT_GT(port.Count('E'), 7000);
  // Abandoned: the indicator is left as the last cycle set it.
  EXPECT_EQ(texts.back().second, "No COM");
}

TEST_F(LinkFixture, LostTicketEndsTheWakeUpWithoutTouchingThePort) {
  auto poll = guard.TakeForPoll();
  host.ScheduleAt(0.5, [&] { auto other = guard.TakeForCommand(); });
  EXPECT_FALSE(link.WakeMeter(poll));
  std::size_t writes = port.Written.size();
  EXPECT_FALSE(link.WakeMeter(poll));
  EXPECT_EQ(port.Written.size(), writes);
  EXPECT_LT(host.Monotonic(), 0.6);
}
