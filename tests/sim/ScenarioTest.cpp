// Scenario files and the load settings they reach: wiring, Hz, negative
// power, over range.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <fstream>

#include "SimTestSupport.hpp"
#include "link/Decoding.hpp"
#include "sim/FrameEncoding.hpp"
#include "sim/Scenario.hpp"

namespace qelt::test {
namespace {

LiveReading Poll(SimBench& sim, std::string* frameOut = nullptr) {
  std::string frame = sim.Exchange(" ", 61);
  MeterState state;
  LiveReading reading;
  if (frame.size() == 61) DecodeLiveFrame(state, frame, reading);
  if (frameOut) *frameOut = frame;
  return reading;
}

TEST(Scenario, EveryKeyReachesTheSettings) {
  InstrumentSettings s;
  std::string error;
  ASSERT_TRUE(ApplyScenario(R"({
    "wiring": "1P3W", "hz": 60,
    "phases": [{"v": 120.5, "i": 8, "angle": -15, "reverse": true}, {"v": 119}],
    "over": ["I4", "V2"], "drift": false, "readingNoise": 0, "logger": "large",
    "clock": "2011-07-29 23:59:58", "seed": 99, "fast": true,
    "faults": {"silent": false, "silentAfter": 12, "badEcho": 2, "noise": 0.01, "dropFrame": 0.5}
  })",
                            s, error))
      << error;
  EXPECT_EQ(s.Load.WiringCode, Wiring1P3W);
  EXPECT_EQ(s.Load.Hz, 60.0);
  EXPECT_EQ(s.Load.Phases[0].V, 120.5);
  EXPECT_EQ(s.Load.Phases[0].I, 8.0);
  EXPECT_EQ(s.Load.Phases[0].Angle, -15.0);
  EXPECT_TRUE(s.Load.Phases[0].Reverse);
  EXPECT_EQ(s.Load.Phases[1].V, 119.0);
  EXPECT_EQ(s.Load.Phases[1].I, 11.8);  // not given: the default stays
  EXPECT_TRUE(s.Load.Over.I4);
  EXPECT_TRUE(s.Load.Over.V2);
  EXPECT_FALSE(s.Load.Over.V1);
  EXPECT_FALSE(s.Load.Drift);
  EXPECT_EQ(s.Load.NoiseFraction, 0.0);
  EXPECT_EQ(s.Logger, "large");
  ASSERT_TRUE(s.Clock.has_value());
  EXPECT_EQ(s.Clock->Second, 58);
  EXPECT_EQ(s.Seed, 99u);
  EXPECT_FALSE(s.Paced);
  EXPECT_EQ(s.Faults.SilentAfter, 12);
  EXPECT_EQ(s.Faults.BadEcho, 2);
  EXPECT_EQ(s.Faults.Noise, 0.01);
  EXPECT_EQ(s.Faults.DropFrame, 0.5);
}

TEST(Scenario, MistakesAreReportedByName) {
  const std::pair<const char*, const char*> cases[] = {
      {R"({"wirng": "3P4W"})", "\"wirng\""},
      {R"({"wiring": "3P5W"})", "\"wiring\""},
      {R"({"hz": 55})", "\"hz\""},
      {R"({"phases": [{}, {}, {}, {}]})", "\"phases\""},
      {R"({"phases": [{"v": -1}]})", "\"phases[1].v\""},
      {R"({"phases": [{"volts": 1}]})", "\"phases[1].volts\""},
      {R"({"over": ["V9"]})", "\"over\""},
      {R"({"logger": "medium"})", "\"logger\""},
      {R"({"clock": "2011-02-30 10:00:00"})", "\"clock\""},
      {R"({"faults": {"noise": 2}})", "\"faults.noise\""},
      {R"({"faults": {"badEcho": 1.5}})", "\"faults.badEcho\""},
      {R"({"seed": "x"})", "\"seed\""},
      {R"([1, 2])", "(top)"},
      {R"({"wiring": )", "not valid JSON"},
  };
  for (const auto& [text, named] : cases) {
    InstrumentSettings s;
    std::string error;
    EXPECT_FALSE(ApplyScenario(text, s, error)) << text;
    EXPECT_NE(error.find(named), std::string::npos) << text << " -> " << error;
  }
  InstrumentSettings s;
  std::string error;
  EXPECT_FALSE(LoadScenarioFile("/nonexistent/scenario.json", s, error));
  EXPECT_NE(error.find("cannot read"), std::string::npos);
}

TEST(Scenario, FileDrivesTheInstrument) {
  const std::string path = testing::TempDir() + "qelt_sim_scenario.json";
  {
    std::ofstream out(path);
    out << R"({"wiring": "1P2W", "hz": 60, "negative": true, "phases": [{"v": 231, "i": 10, "angle": 30}]})";
  }
  InstrumentSettings s;
  std::string error;
  ASSERT_TRUE(LoadScenarioFile(path, s, error)) << error;
  std::remove(path.c_str());
  s.Load.Drift = false;
  s.Load.NoiseFraction = 0;
  SimBench sim(s);
  std::string frame;
  LiveReading r = Poll(sim, &frame);
  EXPECT_EQ(Byte(frame, 57), 1u);
  EXPECT_EQ(r.V1, "231.0");
  EXPECT_EQ(r.I1, "010.0");
  EXPECT_EQ(r.KVA1, "002.3");
  EXPECT_EQ(r.KW1, "-002.0");  // 2.31 * cos 30 = 2.0005, flowing back
  EXPECT_EQ(r.KVAR1, "001.2");
  EXPECT_EQ(r.PF1, "0.866");
  EXPECT_EQ(r.Theta1, "030.0");
  EXPECT_EQ(r.TKW, "-002.0");
  EXPECT_EQ(r.V2, "000.0");  // 1P2W uses phase 1 only
  EXPECT_EQ(r.KVA3, "000.0");
  EXPECT_EQ(r.Hz, "060.0");
}

TEST(LoadModel, SignsAndOverRangeTravelInTheFlags) {
  InstrumentSettings s;
  s.Load.Drift = false;
  s.Load.NoiseFraction = 0;
  s.Load.Phases[1] = {230.0, 10.0, -40.0, false};  // leading: Q < 0
  s.Load.Phases[2] = {230.0, 10.0, 20.0, true};    // flowing back: P < 0
  s.Load.Over.I1 = true;
  s.Load.Over.V3 = true;
  SimBench sim(s);
  std::string frame;
  LiveReading r = Poll(sim, &frame);
  EXPECT_EQ(r.I1, "OL");
  EXPECT_EQ(r.V3, "OL");
  EXPECT_EQ(r.V1, "230.0");
  EXPECT_EQ(r.Theta2, "-040.0");
  EXPECT_EQ(r.KVAR2, "-001.5");
  EXPECT_EQ(r.KW2, "001.8");
  EXPECT_EQ(r.KW3, "-002.2");
  EXPECT_EQ(r.Theta3, "020.0");
  for (int i = 0; i < QuantityCount; ++i) EXPECT_EQ(r.ByIndex(i), sim.instrument.LastReadingTexts().ByIndex(i));
  EXPECT_EQ(Byte(frame, 58) & 0x3F, 0x08u | 0x10u);  // NegKVAR2, NegKW3 only
  EXPECT_EQ(Byte(frame, 58) & 0x80, 0x80u);          // OverI1
  EXPECT_EQ(Byte(frame, 59) & 0x04, 0x04u);          // OverV3

  // A value beyond four digits is over range by itself.
  s.Load.Over = {};
  s.Load.Phases[0] = {1200.0, 5.0, 0.0, false};
  SimBench high(s);
  EXPECT_EQ(Poll(high).V1, "OL");
  // Encoding rounds half away from zero and keeps four digits.
  EXPECT_EQ(RawDigits(230.05, 1), 2301);
  EXPECT_EQ(RawDigits(-0.9995, 3), 1000);
  EXPECT_EQ(RawDigits(5000.0, 1), 9999);
  EXPECT_EQ(ValueText(5, 3, false, false), "0.005");
  EXPECT_EQ(ValueText(123, 1, true, false), "-012.3");
}

TEST(LoadModel, QuantitiesAgreeAndDriftSlowly) {
  LoadModel model;
  SimRandom rng(11);
  LoadSample first = model.Sample(0, rng);
  for (double t = 0; t < 1800; t += 7.3) {
    LoadSample x = model.Sample(t, rng);
    for (const auto& p : x.Phases) {
      EXPECT_NEAR(p.KVA, p.V * p.I / 1000, 1e-12);
      EXPECT_NEAR(p.KW * p.KW + p.KVAR * p.KVAR, p.KVA * p.KVA, 1e-9);
      EXPECT_NEAR(p.PF, std::fabs(p.KW) / p.KVA, 1e-12);
    }
    EXPECT_NEAR(x.TPF, std::fabs(x.TKW) / x.TKVA, 1e-12);
    EXPECT_NEAR(x.Phases[0].V, first.Phases[0].V, 0.03 * 230);
  }
  // 3P3W2M measures with two elements, on phases 1 and 3.
  model.Settings().WiringCode = Wiring3P3W2M;
  LoadSample two = model.Sample(0, rng);
  EXPECT_EQ(two.Phases[1].V, 0.0);
  EXPECT_GT(two.Phases[2].V, 0.0);
  EXPECT_EQ(two.I4, 0.0);
}

}  // namespace
}  // namespace qelt::test
