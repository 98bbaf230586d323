// Fault modes and the seed.
#include <gtest/gtest.h>

#include "SimTestSupport.hpp"
#include "link/Commands.hpp"
#include "link/Decoding.hpp"

namespace qelt::test {
namespace {

InstrumentSettings WithFaults(FaultSettings f, std::uint64_t seed = 1) {
  InstrumentSettings s;
  s.Faults = f;
  s.Seed = seed;
  s.Paced = false;
  return s;
}

TEST(Faults, SilentAndSilentAfterN) {
  SimBench silent(WithFaults({.Silent = true}));
  EXPECT_EQ(silent.Exchange("w", 1, 1.0), "");
  EXPECT_EQ(silent.Exchange("T", 1, 1.0), "");
  silent.port.Write("G");
  silent.instrument.Faults().Silent = false;  // plugged in again
  EXPECT_EQ(silent.Exchange("w", 1), "w");
  EXPECT_EQ(Byte(silent.Exchange("T", 1), 0), 3u);  // "G" while silent did nothing

  SimBench after(WithFaults({.SilentAfter = 3}));
  EXPECT_EQ(after.Exchange("w", 1), "w");
  EXPECT_EQ(after.Exchange(" ", 61).size(), 61u);
  EXPECT_EQ(after.Exchange("w", 1), "w");
  EXPECT_EQ(after.Exchange("w", 1, 1.0), "");  // the fourth command
  EXPECT_EQ(after.Exchange(" ", 1, 1.0), "");
  EXPECT_EQ(after.instrument.CommandCount(), 3);
  EXPECT_TRUE(after.instrument.IsSilent());
}

TEST(Faults, BadEchoForTheNextNWakeUps) {
  SimBench sim(WithFaults({.BadEcho = 2}));
  EXPECT_EQ(sim.Exchange("w", 1), "?");
  EXPECT_EQ(sim.Exchange(" ", 61).size(), 61u);  // other commands are answered as usual
  EXPECT_EQ(sim.Exchange("w", 1), "?");
  EXPECT_EQ(sim.Exchange("w", 1), "w");
  EXPECT_EQ(sim.Exchange("w", 1), "w");
}

TEST(Faults, NoiseCorruptsAboutTheGivenShareOfBytes) {
  SimBench sim(WithFaults({.Noise = 0.1}, 42));
  std::size_t bytes = 0, wrong = 0;
  for (int i = 0; i < 200; ++i) {
    std::string frame = sim.Exchange(" ", 61);
    ASSERT_EQ(frame.size(), 61u);  // noise changes bytes, it does not lose them
    const std::string& meant = sim.instrument.LastFrame();
    for (std::size_t k = 0; k < 61; ++k) wrong += frame[k] != meant[k] ? 1 : 0;
    bytes += 61;
  }
  EXPECT_EQ(static_cast<long>(wrong), sim.instrument.BytesCorrupted());
  EXPECT_NEAR(static_cast<double>(wrong) / static_cast<double>(bytes), 0.1, 0.02);

  SimBench clean(WithFaults({}));
  for (int i = 0; i < 50; ++i) EXPECT_EQ(clean.Exchange(" ", 61), clean.instrument.LastFrame());
}

TEST(Faults, DropFrameDamagesTheEndMarkOrLosesBytes) {
  SimBench sim(WithFaults({.DropFrame = 0.3}, 7));
  int damaged = 0, shortFrames = 0, badEnd = 0;
  for (int i = 0; i < 300; ++i) {
    std::string frame = sim.Exchange(" ", 61, 0.5);
    if (FrameMarksOk(frame)) {
      EXPECT_EQ(frame, sim.instrument.LastFrame());
      continue;
    }
    ++damaged;
    if (frame.size() < 61) ++shortFrames;
    if (frame.size() == 61 && Byte(frame, 60) != cmd::FrameEnd) ++badEnd;
    EXPECT_EQ(Byte(frame, 0), cmd::FrameStart);
  }
  EXPECT_EQ(damaged, sim.instrument.FramesDamaged());
  EXPECT_EQ(damaged, shortFrames + badEnd);
  EXPECT_NEAR(damaged / 300.0, 0.3, 0.08);
  EXPECT_GT(shortFrames, 0);
  EXPECT_GT(badEnd, 0);
}

TEST(Faults, TheSeedMakesRunsRepeatable) {
  auto run = [](std::uint64_t seed) {
    SimBench sim(WithFaults({.Noise = 0.05, .DropFrame = 0.2}, seed));
    std::string all;
    for (int i = 0; i < 20; ++i) all += sim.Exchange(" ", 61, 0.2) + sim.Exchange("b", 243, 0.2);
    return all;
  };
  EXPECT_EQ(run(5), run(5));
  EXPECT_NE(run(5), run(6));
}

}  // namespace
}  // namespace qelt::test
