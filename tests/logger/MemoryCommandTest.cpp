// "Memory" up to the directory: the exchange against a scripted port for
// exact reply shapes, and the command against the simulated instrument.
#include <gtest/gtest.h>

#include <algorithm>

#include "FakePort.hpp"
#include "link/Link.hpp"
#include "logger/DirectoryRead.hpp"
#include "logger/MemoryCommand.hpp"
#include "platform/ScriptedDialogs.hpp"
#include "platform/ScriptedWindow.hpp"
#include "platform/VirtualHost.hpp"
#include "sim/Instrument.hpp"
#include "sim/SimPort.hpp"

namespace qelt {
namespace {

using qelt::test::FakePort;

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

// The instrument on the virtual clock, and a window caption to watch.
struct MemoryRig {
  explicit MemoryRig(const char* logger, double bytesPerSecond = 1920.0)
      : instrument(Settings(logger, bytesPerSecond)), port(host, instrument), link(host, port) {
    std::string error;
    port.Open("SIM", "19200,n,8,1", error);
  }
  static InstrumentSettings Settings(const char* logger, double bytesPerSecond) {
    InstrumentSettings s;
    s.Logger = logger;
    s.BytesPerSecond = bytesPerSecond;
    return s;
  }
  MemoryNext Run() { return ReadMemoryDirectory(link, guard, state, dialogs, window); }

  VirtualHost host;
  Instrument instrument;
  SimPort port;
  Link link;
  ExchangeGuard guard;
  LoggerState state;
  ScriptedDialogs dialogs;
  ScriptedWindow window{"Panel  V8.00   110729"};
};

TEST(MemoryCommand, ProgressThenRememberedCaptionThenLoggerWindow) {
  // Slow enough that the directory arrives over many reads after the 0.2 s pause.
  MemoryRig rig("small", 60.0);
  EXPECT_EQ(rig.Run(), MemoryNext::OpenLogger);
  EXPECT_EQ(rig.state.LoggerSetCount, 3);
  EXPECT_EQ(rig.state.LoggerDirectory.size(), 34u);
  std::vector<std::string> t = rig.window.Captions;
  ASSERT_GE(t.size(), 3u);
  EXPECT_NE(std::find(t.begin(), t.end(), "50.0% Completed"), t.end());
  EXPECT_EQ(t[t.size() - 2], "100.0% Completed");
  EXPECT_EQ(t.back(), "Panel  V8.00   110729");
  EXPECT_TRUE(rig.dialogs.History.empty());
  EXPECT_FALSE(rig.guard.Busy());
}

TEST(MemoryCommand, EmptyLoggerSaysSoAndResumesThePoll) {
  MemoryRig rig("empty");
  EXPECT_EQ(rig.Run(), MemoryNext::ResumePoll);
  ASSERT_EQ(rig.dialogs.History.size(), 1u);
  EXPECT_EQ(rig.dialogs.History[0].Text, "No Data in Memory");
  EXPECT_EQ(rig.dialogs.History[0].Icon, MessageIcon::Stop);
  EXPECT_EQ(rig.dialogs.History[0].Buttons, MessageButtons::Ok);
  // The caption was back before the message showed.
  EXPECT_EQ(rig.window.Captions.back(), "Panel  V8.00   110729");
  EXPECT_EQ(rig.window.Captions.front(), "100.0% Completed");
}

TEST(MemoryCommand, SilentInstrumentEndsWithAMessageInsteadOfWaitingForever) {
  MemoryRig rig("small");
  // It answers the wake-up, then nothing more.
  rig.instrument.Faults().SilentAfter = rig.instrument.CommandCount() + 1;
  const double start = rig.host.Monotonic();
  EXPECT_EQ(rig.Run(), MemoryNext::ResumePoll);
  EXPECT_GE(rig.host.Monotonic() - start, StallLimit);
  ASSERT_EQ(rig.dialogs.MessageTexts().size(), 1u);
  EXPECT_EQ(rig.dialogs.MessageTexts()[0], DirectoryStalledMessage);
  EXPECT_EQ(rig.dialogs.History[0].Icon, MessageIcon::Stop);
  EXPECT_EQ(rig.window.Title, "Panel  V8.00   110729");
}

TEST(MemoryCommand, BusyPortOrAbandonedExchangeTouchesNothing) {
  MemoryRig rig("small");
  {
    auto held = rig.guard.TakeForCommand();  // another command owns the port
    EXPECT_EQ(rig.Run(), MemoryNext::ResumePoll);
    EXPECT_TRUE(rig.window.Captions.empty());
    EXPECT_TRUE(rig.port.Written().empty());
  }
  // The program ends while the directory arrives.
  MemoryRig slow("small", 60.0);
  ExchangeGuard::Ticket end;
  slow.host.OnEvents = [&] {
    if (slow.host.Monotonic() > 0.3 && !end) end = slow.guard.TakeForShutdown();
  };
  EXPECT_EQ(slow.Run(), MemoryNext::Nothing);
  EXPECT_TRUE(slow.dialogs.History.empty());
  EXPECT_NE(slow.window.Title, "Panel  V8.00   110729");  // left as it was; the window is going
}

}  // namespace
}  // namespace qelt
