#include <gtest/gtest.h>

#include "FakePort.hpp"
#include "panel/LivePoll.hpp"

using namespace qelt;
using qelt::test::FakePort;

namespace {
std::string Frame(int v1Tenths, std::uint8_t end = 0x03) {
  std::string f(61, '\0');
  f[0] = 0x02;
  f[1] = static_cast<char>(v1Tenths / 256);
  f[2] = static_cast<char>(v1Tenths % 256);
  f[57] = 0x08;
  f[60] = static_cast<char>(end);
  return f;
}

struct PollFixture : ::testing::Test, LinkTextSink {
  VirtualHost host{100.0};
  FakePort port{host};
  Link link{host, port};
  MeterState meter;
  LiveReading reading;
  ExchangeGuard guard;
  LivePoll poll{link, guard, meter, reading};
  std::vector<std::string> texts;
  void LinkTextChanged(const std::string& t) override { texts.push_back(t); }
  // What the instrument sends for each " ".
  std::function<std::vector<FakePort::Chunk>()> OnRequest = [] {
    return std::vector<FakePort::Chunk>{{0.01, Frame(2305)}};
  };

  void SetUp() override {
    std::string error;
    link.SetLinkTextSink(this);
    ASSERT_TRUE(link.OpenPort("/dev/fake", 2, error));
    port.Reply = [this](char c) {
      if (c == 'w') return std::vector<FakePort::Chunk>{{0.003, "w"}};
      if (c == ' ') return OnRequest();
      return std::vector<FakePort::Chunk>{};
    };
  }
};
}  // namespace

TEST_F(PollFixture, FrameInPiecesIsAssembled) {
  OnRequest = [] {
    std::string f = Frame(2305);
    return std::vector<FakePort::Chunk>{{0.01, f.substr(0, 7)}, {0.03, f.substr(7, 40)}, {0.2, f.substr(47)}};
  };
  EXPECT_EQ(poll.Tick(), PollOutcome::Reading);
  EXPECT_EQ(reading.V1, "230.5");
  EXPECT_EQ(meter.WiringMode, "3P4W");
  EXPECT_EQ(port.Count(' '), 1);
  EXPECT_EQ(texts.back(), "COM2");
}

TEST_F(PollFixture, BadEndMarkRepeatsWakeUpAndRequestInTheSameTick) {
  int requests = 0;
  OnRequest = [&] {
    ++requests;
    return std::vector<FakePort::Chunk>{{0.01, requests < 3 ? Frame(1111, 0x07) : Frame(2222)}};
  };
  EXPECT_EQ(poll.Tick(), PollOutcome::Reading);
  EXPECT_EQ(requests, 3);
  EXPECT_EQ(port.Count('w'), 3);
  EXPECT_EQ(reading.V1, "222.2");
}

TEST_F(PollFixture, SilentReplyTimesOutAfterFourSecondsAndKeepsTheReading) {
  ASSERT_EQ(poll.Tick(), PollOutcome::Reading);
  OnRequest = [] { return std::vector<FakePort::Chunk>{{0.01, Frame(2305).substr(0, 60)}}; };
  double start = host.Monotonic();
  EXPECT_EQ(poll.Tick(), PollOutcome::TimedOut);
  // A wake-up ended by its echo (3 ms), 4 s from the request, then "No COM",
  // the link-lost pause and a second wake-up.
  EXPECT_NEAR(host.Monotonic() - start, 0.003 + 4.0 + 0.02 + 0.003, 0.005);
  EXPECT_EQ(reading.V1, "230.5");
  ASSERT_GE(texts.size(), 2u);
  EXPECT_EQ(texts[texts.size() - 2], "No COM");
  EXPECT_EQ(port.Count('E'), 2);
}

TEST_F(PollFixture, DeadlineEndsTheReplyWaitBeforeTheFourSeconds) {
  OnRequest = [] { return std::vector<FakePort::Chunk>{{0.01, Frame(2305).substr(0, 60)}}; };
  EXPECT_EQ(poll.Tick({1.0}), PollOutcome::Abandoned);
  EXPECT_GE(host.Monotonic(), 1.0);
  EXPECT_LT(host.Monotonic(), 1.05);
  EXPECT_EQ(reading.V1, "");
  EXPECT_EQ(port.Count('E'), 1);  // no link-lost cycle: only the opening's
}

TEST_F(PollFixture, FourSecondLimitHoldsAcrossMidnight) {
  VirtualHost late{86398.0};
  FakePort latePort{late};
  Link lateLink{late, latePort};
  LivePoll latePoll{lateLink, guard, meter, reading};
  latePort.Reply = [](char c) {
    return c == 'w' ? std::vector<FakePort::Chunk>{{0.003, "w"}} : std::vector<FakePort::Chunk>{};
  };
  EXPECT_EQ(latePoll.Tick(), PollOutcome::TimedOut);
  EXPECT_GT(late.Monotonic(), 4.0);
  EXPECT_LT(late.Monotonic(), 4.2);
}

TEST_F(PollFixture, CommandTakingThePortInsideTheWaitAbandonsThePoll) {
  ASSERT_EQ(poll.Tick(), PollOutcome::Reading);
  OnRequest = [] { return std::vector<FakePort::Chunk>{{0.3, Frame(9999)}}; };
  bool commandRan = false;
  ExchangeGuard::Ticket command;
  host.ScheduleAt(host.Monotonic() + 0.1, [&] {
    command = guard.TakeForCommand();
    commandRan = static_cast<bool>(command);
    // A second poll tick while the command holds the port is refused.
    EXPECT_EQ(poll.Tick(), PollOutcome::Busy);
  });
  std::size_t textsBefore = texts.size() + 1;  // the wake-up's "COM2"
  EXPECT_EQ(poll.Tick(), PollOutcome::Abandoned);
  EXPECT_TRUE(commandRan);
  EXPECT_EQ(reading.V1, "230.5");
  EXPECT_EQ(texts.size(), textsBefore);
  std::size_t writes = port.Written.size();
  host.RunEvents(1.0);
  EXPECT_EQ(port.Written.size(), writes);
  // The command refuses a second command, and the port is free once it ends.
  EXPECT_FALSE(guard.TakeForCommand());
  command.Release();
  EXPECT_EQ(poll.Tick(), PollOutcome::Reading);
  EXPECT_EQ(reading.V1, "999.9");
}

TEST_F(PollFixture, TickInsideATickIsRefused) {
  PollOutcome inner = PollOutcome::Reading;
  host.ScheduleAt(0.01, [&] { inner = poll.Tick(); });
  EXPECT_EQ(poll.Tick(), PollOutcome::Reading);
  EXPECT_EQ(inner, PollOutcome::Busy);
}
