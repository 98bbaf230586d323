#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "ResultCheck.hpp"
#include "TempDir.hpp"
#include "publish/EnergyTotals.hpp"

namespace qelt {
namespace {

using test::Succeeded;

TEST(EnergyTotals, EachReadingCountsUntilTheNext) {
  EnergyTotals e;
  AddEnergyReading(e, 1000, "a", 3600, -360, 1);  // 3600 kW for the next second: 1 kWh
  EXPECT_EQ(e.KWhImport, 0);                      // not counted before the next reading
  AddEnergyReading(e, 1001, "b", -1800, 720, 1);
  EXPECT_DOUBLE_EQ(e.KWhImport, 1.0);
  EXPECT_DOUBLE_EQ(e.KvarhNegative, 0.1);
  AddEnergyReading(e, 1003, "c", 0, 0, 1);  // 2 s: still within twice the interval
  EXPECT_DOUBLE_EQ(e.KWhExport, 1.0);
  EXPECT_DOUBLE_EQ(e.KvarhPositive, 0.4);
  EXPECT_EQ(e.LastT, "c");
}

TEST(EnergyTotals, AGapCountsOneIntervalAndAStepBackNothing) {
  EnergyTotals e;
  AddEnergyReading(e, 1000, "a", 3600, 0, 2);
  AddEnergyReading(e, 1060, "b", 3600, 0, 2);  // 60 s outage at 2 s: counts 2 s
  EXPECT_DOUBLE_EQ(e.KWhImport, 2.0);
  AddEnergyReading(e, 1059, "c", 3600, 0, 2);  // the clock stepped back
  EXPECT_DOUBLE_EQ(e.KWhImport, 2.0);
}

TEST(EnergyTotals, TheStateFileCarriesTheTotalsAcrossARestart) {
  test::TempDir dir;
  EnergyTotals e;
  AddEnergyReading(e, 1000, "2026-12-10T10:00:00.000+01:00", 36, 0, 1);
  AddEnergyReading(e, 1001, "2026-12-10T10:00:01.000+01:00", 36, 0, 1);
  ASSERT_TRUE(Succeeded(SaveEnergyState(dir.Path().string(), e)));
  Result<EnergyTotals> loaded = LoadEnergyState(dir.Path().string());
  ASSERT_TRUE(Succeeded(loaded));
  EnergyTotals back = loaded.Value();
  EXPECT_DOUBLE_EQ(back.KWhImport, 0.01);
  EXPECT_TRUE(back.HasLast);
  // The first reading after the restart settles the last one before it.
  AddEnergyReading(back, 1002, "x", 0, 0, 1);
  EXPECT_DOUBLE_EQ(back.KWhImport, 0.02);
  const nlohmann::json m = nlohmann::json::parse(EnergyMessage(e));
  EXPECT_EQ(m["t"], "2026-12-10T10:00:01.000+01:00");
  EXPECT_DOUBLE_EQ(m["kWh_import"].get<double>(), 0.01);
  for (const char* key : {"kWh_export", "kvarh_positive", "kvarh_negative"}) EXPECT_EQ(m[key], 0.0) << key;
}

TEST(EnergyTotals, AMissingFileIsZeroAndADamagedOneIsToldAndKeptBeside) {
  test::TempDir dir;
  const std::string folder = dir.Path().string();
  Result<EnergyTotals> none = LoadEnergyState(folder);
  ASSERT_TRUE(Succeeded(none));
  EXPECT_FALSE(none->HasLast);

  test::WriteFile(dir.File("energy.json"), "{\"kWh_import\":");
  Result<EnergyTotals> damaged = LoadEnergyState(folder);
  ASSERT_FALSE(damaged);
  EXPECT_EQ(damaged.Reason(), "energy totals in " + dir.File("energy.json") + " are damaged; they start again from 0");
  EXPECT_EQ(test::ReadFile(dir.File("energy.json.damaged")), "{\"kWh_import\":");
  // The next start finds no file: zero totals, and nothing more to tell.
  EXPECT_TRUE(LoadEnergyState(folder));
}

}  // namespace
}  // namespace qelt
