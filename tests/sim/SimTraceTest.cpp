// The simulator's trace: one line per live frame as meant, one per completed
// clock setting, one per piece of bytes received, appended to the file as
// they happen.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <nlohmann/json.hpp>
#include <vector>

#include "SimTestSupport.hpp"
#include "link/Commands.hpp"
#include "link/Decoding.hpp"
#include "sim/SimTrace.hpp"

namespace qelt::test {
namespace {

struct Recorded : InstrumentListener {
  void FrameSent(const LiveReading& texts) override { frames.push_back(texts); }
  void ClockReceived(const std::string& bytes) override { clocks.push_back(bytes); }
  void BytesReceived(std::string_view bytes, double now) override {
    received += bytes;
    times.push_back(now);
  }
  std::vector<LiveReading> frames;
  std::vector<std::string> clocks;
  std::string received;
  std::vector<double> times;
};

std::vector<std::string> Lines(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::vector<std::string> lines;
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

TEST(SimTrace, ListenerHearsEveryFrameAsMeantAndEveryCompletedClock) {
  InstrumentSettings settings;
  settings.Faults.DropFrame = 1.0;  // every frame damaged on the line
  SimBench sim(settings);
  Recorded heard;
  sim.instrument.SetListener(&heard);

  for (int i = 0; i < 3; ++i) {
    std::string frame = sim.Exchange(" ", cmd::FrameSize, 0.2);
    EXPECT_NE(frame, sim.instrument.LastFrame());
  }
  ASSERT_EQ(heard.frames.size(), 3u);
  MeterState state;
  LiveReading meant;
  DecodeLiveFrame(state, sim.instrument.LastFrame(), meant);
  for (int q = 0; q < QuantityCount; ++q) EXPECT_EQ(heard.frames.back().ByIndex(q), meant.ByIndex(q));

  // A "D" ended early by "E" is no clock setting; an impossible date that got
  // all six bytes is (the instrument received it, and kept its clock).
  sim.port.Write(std::string("D\x26\x12") + "E");
  sim.port.Write(std::string("D\x26\x02\x31\x10\x00\x00", 7));
  sim.Wait(0.1);
  ASSERT_EQ(heard.clocks.size(), 1u);
  EXPECT_EQ(heard.clocks[0], std::string("\x26\x02\x31\x10\x00\x00", 6));
  EXPECT_FALSE(sim.instrument.LastClockValid());

  // Silent: no reply, so no frame is traced; the bytes that came in are.
  sim.instrument.Faults().Silent = true;
  sim.Exchange(" ", cmd::FrameSize, 0.2);
  EXPECT_EQ(heard.frames.size(), 3u);
  EXPECT_EQ(heard.received, std::string("   D\x26\x12"
                                        "ED\x26\x02\x31\x10\x00\x00 ",
                                        15));
  for (std::size_t i = 1; i < heard.times.size(); ++i) EXPECT_GE(heard.times[i], heard.times[i - 1]);
}

TEST(SimTrace, LinesAreTheJsonOfTheTextsAndAppendAcrossRuns) {
  LiveReading texts;
  for (int q = 0; q < QuantityCount; ++q) texts.ByIndex(q) = q == 21 ? "050.0" : (q % 5 == 0 ? "-OL" : "001.2");
  const std::string line = TraceFrameLine(texts);
  EXPECT_EQ(line.rfind("{\"KW1\":\"-OL\",\"KVAR1\":\"001.2\",", 0), 0u) << line;
  auto parsed = nlohmann::ordered_json::parse(line);
  ASSERT_EQ(parsed.size(), static_cast<std::size_t>(QuantityCount));
  int q = 0;
  for (auto& [key, value] : parsed.items()) {
    EXPECT_EQ(key, QuantityNames[static_cast<std::size_t>(q)]);
    EXPECT_EQ(value.get<std::string>(), texts.ByIndex(q));
    ++q;
  }
  EXPECT_EQ(TraceClockLine(std::string("\x11\x07\x29\x13\x45\x07", 6)), R"({"clock":"44 11 07 29 13 45 07"})");
  EXPECT_EQ(TraceClockLine(std::string("\x99\xAB\x00\x0F\xF0\xFF", 6)), R"({"clock":"44 99 AB 00 0F F0 FF"})");
  EXPECT_EQ(TraceReceivedLine(std::string("w\x00\xFF", 3), 12.3456784), R"({"received":"77 00 FF","at":12.345678})");

  const std::string path = testing::TempDir() + "qelt-sim-trace-test.jsonl";
  std::remove(path.c_str());
  std::string error;
  for (int run = 0; run < 2; ++run) {
    SimTrace trace;
    ASSERT_TRUE(trace.Open(path, error)) << error;
    trace.FrameSent(texts);
    // Flushed per line: a reader sees it while the trace is still open.
    EXPECT_EQ(Lines(path).size(), 2u * static_cast<std::size_t>(run) + 1u);
    trace.ClockReceived(std::string("\x11\x07\x29\x13\x45\x07", 6));
  }
  std::vector<std::string> lines = Lines(path);
  ASSERT_EQ(lines.size(), 4u);
  EXPECT_EQ(lines[2], line);
  EXPECT_EQ(lines[3], R"({"clock":"44 11 07 29 13 45 07"})");
  std::remove(path.c_str());

  SimTrace nowhere;
  EXPECT_FALSE(nowhere.Open(testing::TempDir() + "no-such-folder/trace.jsonl", error));
  EXPECT_NE(error.find("no-such-folder"), std::string::npos);
}

}  // namespace
}  // namespace qelt::test
