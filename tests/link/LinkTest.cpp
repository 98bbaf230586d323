#include <gtest/gtest.h>

#include <cmath>

#include "FakePort.hpp"
#include "link/Link.hpp"

using namespace qelt;
using qelt::test::FakePort;

namespace {
struct LinkFixture : ::testing::Test, LinkTextSink {
  VirtualHost host{100.0};  // fine float resolution of the wall clock
  FakePort port{host};
  Link link{host, port};
  std::vector<std::pair<double, std::string>> texts;
  ExchangeGuard guard;

  void SetUp() override {
    std::string error;
    link.SetLinkTextSink(this);
    ASSERT_TRUE(link.OpenPort("/dev/fake", 3, error));
  }
  void LinkTextChanged(const std::string& t) override { texts.emplace_back(host.Monotonic(), t); }
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

TEST(LinkDelay, PausesLastTheirTimeAcrossMidnight) {
  // Begun at ordinary times, in the day's last second, and straddling midnight.
  for (const double start : {36000.0, 86398.75, 86399.5, 86399.99, 86000.004}) {
    for (const double seconds : {0.02, 0.2, 1.5}) {
      SCOPED_TRACE(testing::Message() << "start " << start << ", pause " << seconds);
      VirtualHost host{start, DateTime{2026, 12, 31, 0, 0, 0}};
      FakePort port{host};
      Link link{host, port};
      link.Delay(seconds);
      EXPECT_GE(host.Monotonic(), seconds);
      EXPECT_LT(host.Monotonic(), seconds + 1e-3);
    }
  }
  // The clock jumping past midnight inside a wait (a long event handler) does
  // not lengthen the wait.
  VirtualHost host{86398.9};
  FakePort port{host};
  Link link{host, port};
  host.ScheduleAt(0.01, [&] { host.Advance(1.2); });
  link.Delay(0.05);
  EXPECT_LT(host.Monotonic(), 1.3);
}

TEST(VirtualHostDate, RollsOverMonthAndYearEnds) {
  VirtualHost host{86399.5, DateTime{2026, 12, 31, 0, 0, 0}};
  host.Advance(1.0);
  DateTime d = host.Now();
  EXPECT_EQ(d.Year, 2027);
  EXPECT_EQ(d.Month, 1);
  EXPECT_EQ(d.Day, 1);
  EXPECT_EQ(d.Second, 0);
  VirtualHost leap{0.0, DateTime{2028, 2, 28, 0, 0, 0}};
  leap.Advance(86400.0);
  EXPECT_EQ(leap.Now().Day, 29);
  leap.Advance(86400.0);
  EXPECT_EQ(leap.Now().Month, 3);
  EXPECT_EQ(leap.Now().Day, 1);
  VirtualHost april{0.0, DateTime{2027, 4, 30, 0, 0, 0}};
  april.Advance(86400.0 * 31);
  EXPECT_EQ(april.Now().Month, 5);
  EXPECT_EQ(april.Now().Day, 31);
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

TEST_F(LinkFixture, EachTryEndsWhenTheEchoIsThereAndLastsAtMostTheShortPause) {
  // The first "w" goes unanswered; the second is echoed after 5 ms.
  port.Reply = [&](char c) {
    if (c != 'w' || port.Count('w') < 2) return std::vector<FakePort::Chunk>{};
    return std::vector<FakePort::Chunk>{{0.005, "w"}};
  };
  auto ticket = guard.TakeForCommand();
  EXPECT_TRUE(link.WakeMeter(ticket));
  EXPECT_EQ(port.Count('w'), 2);
  ASSERT_EQ(port.Written.size(), 3u);
  EXPECT_NEAR(port.Written[2].first, Link::ShortPause, 1e-3);
  // Back from the wake-up as the echo arrives, not at the end of 0.02 s.
  EXPECT_NEAR(host.Monotonic(), Link::ShortPause + 0.005, 1e-3);
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
