// Supply events of the simulated load: dips, swells and interruptions on
// chosen phases, a slow voltage drift, and the scenario keys that set them.
#include <gtest/gtest.h>

#include <fstream>

#include "sim/LoadModel.hpp"
#include "sim/Scenario.hpp"

namespace qelt {
namespace {

LoadSettings Steady() {
  LoadSettings s;
  s.Drift = false;
  s.NoiseFraction = 0;
  return s;
}

TEST(SupplyEvents, AnEventHoldsFromItsStartForItsLengthOnItsPhasesOnly) {
  LoadSettings s = Steady();
  s.Supply.push_back({10, 4, 0.5, {true, false, true}});
  s.Supply.push_back({20, 2, 1.2, {false, true, false}});
  LoadModel model(s);
  SimRandom rng(1);
  EXPECT_DOUBLE_EQ(model.Sample(9.99, rng).Phases[0].V, 230.0);
  const LoadSample dip = model.Sample(10, rng);
  EXPECT_DOUBLE_EQ(dip.Phases[0].V, 115.0);
  EXPECT_DOUBLE_EQ(dip.Phases[0].I, 6.25);  // a load of fixed impedance
  EXPECT_DOUBLE_EQ(dip.Phases[1].V, 229.0);
  EXPECT_DOUBLE_EQ(dip.Phases[2].V, 231.5 * 0.5);
  EXPECT_DOUBLE_EQ(model.Sample(13.99, rng).Phases[0].V, 115.0);
  EXPECT_DOUBLE_EQ(model.Sample(14, rng).Phases[0].V, 230.0);
  EXPECT_DOUBLE_EQ(model.Sample(21, rng).Phases[1].V, 229.0 * 1.2);
}

TEST(SupplyEvents, TimesAndTheDriftCountFromTheOrigin) {
  LoadSettings s = Steady();
  s.Supply.push_back({0, 5, 0.0, {true, true, true}});
  s.VoltageDriftPerHour = -0.02;
  s.EventOrigin = 36000;  // a logger set that began at 10:00
  LoadModel model(s);
  SimRandom rng(1);
  const LoadSample cut = model.Sample(36000, rng);
  EXPECT_DOUBLE_EQ(cut.Phases[0].V, 0.0);
  EXPECT_DOUBLE_EQ(cut.TKVA, 0.0);
  EXPECT_NEAR(model.Sample(36000 + 7200, rng).Phases[0].V, 230.0 * 0.96, 1e-9);
}

TEST(SupplyEvents, ScenarioKeysWithTheirDefaultsAndMistakesByName) {
  InstrumentSettings s;
  std::string error;
  ASSERT_TRUE(ApplyScenario(R"({"supply": [{"kind": "dip", "at": 30, "seconds": 4, "phases": [1, 3]},
                                           {"kind": "swell", "at": 60, "seconds": 2},
                                           {"kind": "interruption", "at": 90, "seconds": 5, "level": 0.01}],
                                "voltageDrift": -0.01})",
                            s, error))
      << error;
  ASSERT_EQ(s.Load.Supply.size(), 3U);
  EXPECT_DOUBLE_EQ(s.Load.Supply[0].Level, 0.6);
  EXPECT_EQ(s.Load.Supply[0].Phases, (std::array<bool, 3>{true, false, true}));
  EXPECT_DOUBLE_EQ(s.Load.Supply[1].Level, 1.15);
  EXPECT_DOUBLE_EQ(s.Load.Supply[2].Level, 0.01);
  EXPECT_DOUBLE_EQ(s.Load.Supply[2].At, 90);
  EXPECT_DOUBLE_EQ(s.Load.VoltageDriftPerHour, -0.01);

  for (const char* bad :
       {R"({"supply": [{"kind": "sag", "at": 1}]})", R"({"supply": [{"at": 1}]})",
        R"({"supply": [{"kind": "dip", "level": 0.95}]})", R"({"supply": [{"kind": "swell", "level": 1.05}]})",
        R"({"supply": [{"kind": "dip", "phases": [4]}]})", R"({"supply": [{"kind": "dip", "when": 3}]})",
        R"({"voltageDrift": 2})"}) {
    InstrumentSettings t;
    EXPECT_FALSE(ApplyScenario(bad, t, error)) << bad;
    EXPECT_NE(error.find("\""), std::string::npos) << error;
  }
}

TEST(SupplyEvents, TheExampleScenarioLoads) {
  InstrumentSettings s;
  std::string error;
  ASSERT_TRUE(LoadScenarioFile(QELT_SOURCE_DIR "/src/sim/scenarios/supply-events.json", s, error)) << error;
  EXPECT_GE(s.Load.Supply.size(), 3U);
}

}  // namespace
}  // namespace qelt
