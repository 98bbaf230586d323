#pragma once
// Running energy totals of the published readings, by the summary's rule:
// each reading stands for the time until the next one (d seconds); d <= 0
// counts nothing, d > 2 x the interval is a gap and counts one interval.
// A reading is counted once the next one comes, so the totals only grow.
#include <optional>
#include <string>

#include "text/Result.hpp"

namespace qelt {

struct EnergyTotals {
  double KWhImport = 0, KWhExport = 0, KvarhPositive = 0, KvarhNegative = 0;
  // The last reading, not yet counted.
  bool HasLast = false;
  double LastEpoch = 0;  // seconds since the epoch
  double LastKW = 0, LastKvar = 0;
  std::string LastT;  // its "t"
};

// Counts the previous reading up to this one and keeps this one for the
// next. tkw, tkvar: TKW and TKVAR (a text without a number counts 0).
void AddEnergyReading(EnergyTotals& totals, double epoch, const std::string& t, double tkw, double tkvar,
                      double intervalSeconds);

// {"kWh_import":…,"kWh_export":…,"kvarh_positive":…,"kvarh_negative":…,"t":…}
// with "t" the moment up to which they count.
std::string EnergyMessage(const EnergyTotals& totals);

// The state file of the spool folder, and back; nullopt for text that is not one.
std::string EnergyStateText(const EnergyTotals& totals);
std::optional<EnergyTotals> ParseEnergyState(const std::string& text);

// energy.json in folder, written whole and forced to disk (WriteStateFile).
Result<> SaveEnergyState(const std::string& folder, const EnergyTotals& totals);
// Zero totals for a missing file. A damaged one is renamed to
// energy.json.damaged and told in the failure; the totals then start at 0.
Result<EnergyTotals> LoadEnergyState(const std::string& folder);

}  // namespace qelt
