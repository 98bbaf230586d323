#include "publish/EnergyTotals.hpp"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <sstream>

#include "analysis/Summary.hpp"

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

bool SaveEnergyState(const std::string& folder, const EnergyTotals& totals, std::string& error) {
  const std::string path = (std::filesystem::path(folder) / "energy.json").string();
  const std::string temp = path + ".tmp";
  const std::string text = EnergyStateText(totals);
  const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  bool ok =
      fd >= 0 && ::write(fd, text.data(), text.size()) == static_cast<ssize_t>(text.size()) && ::fdatasync(fd) == 0;
  if (fd >= 0) ok = ::close(fd) == 0 && ok;
  if (!ok || ::rename(temp.c_str(), path.c_str()) != 0) {
    error = "cannot write " + path + ": " + std::strerror(errno);
    return false;
  }
  return true;
}

EnergyTotals LoadEnergyState(const std::string& folder) {
  std::ifstream in(std::filesystem::path(folder) / "energy.json");
  std::stringstream text;
  text << in.rdbuf();
  return ParseEnergyState(text.str()).value_or(EnergyTotals{});
}

}  // namespace qelt
