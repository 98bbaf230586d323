#include "publish/EnergyTotals.hpp"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <sstream>

#include "analysis/Summary.hpp"
#include "publish/StateFile.hpp"

namespace qelt {

void AddEnergyReading(EnergyTotals& totals, double epoch, const std::string& t, double tkw, double tkvar,
                      double intervalSeconds) {
  if (!std::isfinite(tkw)) tkw = 0;
  if (!std::isfinite(tkvar)) tkvar = 0;
  if (totals.HasLast) {
    const double hours = RecordWeight(epoch - totals.LastEpoch, intervalSeconds) / 3600.0;
    totals.KWhImport += std::max(totals.LastKW, 0.0) * hours;
    totals.KWhExport += std::max(-totals.LastKW, 0.0) * hours;
    totals.KvarhPositive += std::max(totals.LastKvar, 0.0) * hours;
    totals.KvarhNegative += std::max(-totals.LastKvar, 0.0) * hours;
  }
  totals.HasLast = true;
  totals.LastEpoch = epoch;
  totals.LastKW = tkw;
  totals.LastKvar = tkvar;
  totals.LastT = t;
}

std::string EnergyMessage(const EnergyTotals& totals) {
  nlohmann::ordered_json message = {{"kWh_import", totals.KWhImport},
                                    {"kWh_export", totals.KWhExport},
                                    {"kvarh_positive", totals.KvarhPositive},
                                    {"kvarh_negative", totals.KvarhNegative},
                                    {"t", totals.LastT}};
  return message.dump();
}

std::string EnergyStateText(const EnergyTotals& totals) {
  nlohmann::ordered_json state = {{"kWh_import", totals.KWhImport},
                                  {"kWh_export", totals.KWhExport},
                                  {"kvarh_positive", totals.KvarhPositive},
                                  {"kvarh_negative", totals.KvarhNegative},
                                  {"has_last", totals.HasLast},
                                  {"last_epoch", totals.LastEpoch},
                                  {"last_kW", totals.LastKW},
                                  {"last_kvar", totals.LastKvar},
                                  {"t", totals.LastT}};
  return state.dump() + "\n";
}

std::optional<EnergyTotals> ParseEnergyState(const std::string& text) {
  nlohmann::json state = nlohmann::json::parse(text, nullptr, false);
  if (!state.is_object()) return std::nullopt;
  EnergyTotals totals;
  auto number = [&](const char* key, double& out) {
    auto it = state.find(key);
    if (it == state.end() || !it->is_number()) return false;
    out = it->get<double>();
    return std::isfinite(out);
  };
  if (!number("kWh_import", totals.KWhImport) || !number("kWh_export", totals.KWhExport) ||
      !number("kvarh_positive", totals.KvarhPositive) || !number("kvarh_negative", totals.KvarhNegative) ||
      !number("last_epoch", totals.LastEpoch) || !number("last_kW", totals.LastKW) ||
      !number("last_kvar", totals.LastKvar))
    return std::nullopt;
  auto has = state.find("has_last");
  auto t = state.find("t");
  if (has == state.end() || !has->is_boolean() || t == state.end() || !t->is_string()) return std::nullopt;
  totals.HasLast = has->get<bool>();
  totals.LastT = t->get<std::string>();
  return totals;
}

namespace {

std::string EnergyPath(const std::string& folder) { return (std::filesystem::path(folder) / "energy.json").string(); }

}  // namespace

Result<> SaveEnergyState(const std::string& folder, const EnergyTotals& totals) {
  return WriteStateFile(EnergyPath(folder), EnergyStateText(totals));
}

Result<EnergyTotals> LoadEnergyState(const std::string& folder) {
  const std::string path = EnergyPath(folder);
  std::ifstream in(path, std::ios::binary);
  if (!in) return EnergyTotals{};
  std::stringstream text;
  text << in.rdbuf();
  in.close();
  if (auto totals = ParseEnergyState(text.str())) return *totals;
  // Kept for whoever wants to mend the totals by hand; the next save would
  // put fresh ones in its place.
  std::error_code ec;
  std::filesystem::rename(path, path + ".damaged", ec);
  return Fail("energy totals in " + path + " are damaged; they start again from 0");
}

}  // namespace qelt
