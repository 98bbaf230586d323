#include "analysis/SummaryText.hpp"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>

#include "analysis/JsonFields.hpp"
#include "platform/PathText.hpp"
#include "text/NumberText.hpp"

namespace qelt {
namespace {

// Weights are whole seconds; shown as whole numbers.
Json Seconds(double seconds) { return Json(static_cast<std::int64_t>(seconds)); }

Json EnergyJson(const EnergyFigures& e) {
  return Json{{"kWh_import", e.KWhImport},
              {"kWh_export", e.KWhExport},
              {"kvarh_positive", e.KvarhPositive},
              {"kvarh_negative", e.KvarhNegative},
              {"kVAh", e.KVAh}};
}

Json UnbalanceJson(const UnbalanceFigures& u) {
  return Json{{"records", u.Records},
              {"max_pct", OrNull(u.MaxPct)},
              {"max_at", MomentOrNull(u.MaxAt)},
              {"mean_pct", OrNull(u.MeanPct)}};
}

const char* None = "none";

std::string Fixed(double value, int decimals) {
  static const char* const patterns[] = {"0", "0.0", "0.00", "0.000", "0.0000", "0.00000", "0.000000"};
  return FormatPattern(value, patterns[decimals]);
}

std::string FixedOr(const std::optional<double>& value, int decimals) { return value ? Fixed(*value, decimals) : None; }

std::string MomentOr(const std::optional<Moment>& moment) { return moment ? MomentText(*moment) : std::string(); }

std::string Whole(double seconds) { return std::to_string(static_cast<std::int64_t>(seconds)); }

void AddEnergyRows(TableRows& rows, const std::string& what, const EnergyFigures& e) {
  rows.push_back({what + "active energy imported", Fixed(e.KWhImport, 4), "kWh", ""});
  rows.push_back({what + "active energy exported", Fixed(e.KWhExport, 4), "kWh", ""});
  rows.push_back({what + "reactive energy positive", Fixed(e.KvarhPositive, 4), "kvarh", ""});
  rows.push_back({what + "reactive energy negative", Fixed(e.KvarhNegative, 4), "kvarh", ""});
  rows.push_back({what + "apparent energy", Fixed(e.KVAh, 4), "kVAh", ""});
}

void AddUnbalanceRows(TableRows& rows, const std::string& what, const UnbalanceFigures& u) {
  rows.push_back({what + " unbalance: records used", std::to_string(u.Records), "", ""});
  rows.push_back({what + " unbalance: maximum", FixedOr(u.MaxPct, 3), "%", MomentOr(u.MaxAt)});
  rows.push_back({what + " unbalance: mean", FixedOr(u.MeanPct, 3), "%", ""});
}

// Characters of a UTF-8 text ("°" is two bytes and one character).
std::size_t Width(const std::string& text) {
  std::size_t width = 0;
  for (const char c : text) width += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
  return width;
}

std::string Padded(const TableRows& rows) {
  std::vector<std::size_t> widths;
  for (const auto& row : rows)
    for (std::size_t c = 0; c < row.size(); ++c) {
      if (widths.size() <= c) widths.resize(c + 1, 0);
      widths[c] = std::max(widths[c], Width(row[c]));
    }
  std::string text;
  for (const auto& row : rows) {
    std::string line;
    for (std::size_t c = 0; c < row.size(); ++c) {
      if (c > 0) line += "  ";
      line += row[c];
      if (c + 1 < row.size()) line.append(widths[c] - Width(row[c]), ' ');
    }
    while (!line.empty() && line.back() == ' ') line.pop_back();
    text += line;
    text += '\n';
  }
  return text;
}

std::string Tabbed(const TableRows& rows) {
  std::string text;
  for (const auto& row : rows) {
    for (std::size_t c = 0; c < row.size(); ++c) {
      if (c > 0) text += '\t';
      text += row[c];
    }
    text += '\n';
  }
  return text;
}

}  // namespace

std::string SummaryJson(const Summary& s) {
  Json files = Json::array();
  for (const std::string& file : s.Files) files.push_back(FileNameOf(file));
  Json quantities = Json::object();
  for (int i = 0; i < QuantityCount; ++i) {
    const QuantityStats& q = s.Quantities[static_cast<std::size_t>(i)];
    quantities[QuantityNames[static_cast<std::size_t>(i)]] = Json{{"count", q.Count},
                                                                  {"ol", q.Ol},
                                                                  {"missing", q.Missing},
                                                                  {"min", OrNull(q.Min)},
                                                                  {"min_at", MomentOrNull(q.MinAt)},
                                                                  {"max", OrNull(q.Max)},
                                                                  {"max_at", MomentOrNull(q.MaxAt)},
                                                                  {"mean", OrNull(q.Mean)}};
  }
  Json energy = EnergyJson(s.Energy);
  energy["per_phase"] =
      Json{{"1", EnergyJson(s.PerPhase[0])}, {"2", EnergyJson(s.PerPhase[1])}, {"3", EnergyJson(s.PerPhase[2])}};
  Json hourly = Json::array();
  for (const auto& kw : s.HourlyKW) hourly.push_back(OrNull(kw));
  Json doc{{"files", files},
           {"records", s.Records},
           {"bad_rows", s.BadRows},
           {"first", MomentOrNull(s.First)},
           {"last", MomentOrNull(s.Last)},
           {"interval_s", OrNull(s.IntervalS)},
           {"covered_s", Seconds(s.CoveredS)},
           {"gaps", s.Gaps},
           {"gap_s", Seconds(s.GapS)},
           {"clock_steps", s.ClockSteps},
           {"quantities", quantities},
           {"energy", energy},
           {"pf_average", OrNull(s.PfAverage)},
           {"demand", Json{{"minutes", s.Demand.Minutes},
                           {"blocks", s.Demand.Blocks},
                           {"peak_kW", OrNull(s.Demand.PeakKW)},
                           {"peak_at", MomentOrNull(s.Demand.PeakAt)}}},
           {"unbalance",
            Json{{"voltage", UnbalanceJson(s.VoltageUnbalance)}, {"current", UnbalanceJson(s.CurrentUnbalance)}}},
           {"frequency",
            Json{{"nominal", OrNull(s.Frequency.Nominal)}, {"within_1pct_share", OrNull(s.Frequency.Within1PctShare)}}},
           {"hourly_kW", hourly}};
  return doc.dump();
}

SummaryTables MakeSummaryTables(const Summary& s) {
  SummaryTables t;
  TableRows& f = t.Figures;
  // A week at 1 s is 60 files: the count, the first and the last name.
  if (!s.Files.empty()) {
    std::string names = FileNameOf(s.Files.front());
    if (s.Files.size() > 2) names += " ..";
    if (s.Files.size() > 1) names += " " + FileNameOf(s.Files.back());
    f.push_back({"Files", std::to_string(s.Files.size()), "", names});
  }
  f.push_back({"First record", "", "", MomentOr(s.First)});
  f.push_back({"Last record", "", "", MomentOr(s.Last)});
  f.push_back({"Records", std::to_string(s.Records), "", ""});
  f.push_back({"Bad rows", std::to_string(s.BadRows), "", ""});
  f.push_back({"Interval", s.IntervalS ? std::to_string(*s.IntervalS) : None, "s", ""});
  f.push_back({"Time covered", Whole(s.CoveredS), "s", ""});
  f.push_back({"Gaps", std::to_string(s.Gaps), "", ""});
  f.push_back({"Time in gaps", Whole(s.GapS), "s", ""});
  f.push_back({"Clock steps", std::to_string(s.ClockSteps), "", ""});
  AddEnergyRows(f, "Total ", s.Energy);
  for (int p = 0; p < 3; ++p)
    AddEnergyRows(f, "Phase " + std::to_string(p + 1) + " ", s.PerPhase[static_cast<std::size_t>(p)]);
  f.push_back({"Average power factor", FixedOr(s.PfAverage, 3), "", ""});
  f.push_back(
      {"Demand blocks (" + std::to_string(s.Demand.Minutes) + " min)", std::to_string(s.Demand.Blocks), "", ""});
  f.push_back({"Peak demand", FixedOr(s.Demand.PeakKW, 3), "kW", MomentOr(s.Demand.PeakAt)});
  AddUnbalanceRows(f, "Voltage", s.VoltageUnbalance);
  AddUnbalanceRows(f, "Current", s.CurrentUnbalance);
  f.push_back({"Nominal frequency", s.Frequency.Nominal ? std::to_string(*s.Frequency.Nominal) : None, "Hz", ""});
  f.push_back({"Frequency within 1 %",
               s.Frequency.Within1PctShare ? Fixed(*s.Frequency.Within1PctShare * 100.0, 2) : None, "%", ""});
  for (std::size_t h = 0; h < 24; ++h) {
    char hour[32];
    std::snprintf(hour, sizeof hour, "Mean power %02zu:00-%02zu:00", h, h + 1);
    // An hour without records has no mean: the row stays empty.
    const bool any = s.HourlyKW[h].has_value();
    f.push_back({hour, any ? Fixed(*s.HourlyKW[h], 3) : "", any ? "kW" : "", ""});
  }

  t.Quantities.push_back({"Quantity", "Unit", "Count", "OL", "Missing", "Minimum", "at", "Maximum", "at", "Mean"});
  for (int i = 0; i < QuantityCount; ++i) {
    const QuantityStats& q = s.Quantities[static_cast<std::size_t>(i)];
    const int decimals = Quantities[static_cast<std::size_t>(i)].Decimals;
    t.Quantities.push_back({QuantityNames[static_cast<std::size_t>(i)], QuantityUnit(i), std::to_string(q.Count),
                            std::to_string(q.Ol), std::to_string(q.Missing), FixedOr(q.Min, decimals),
                            MomentOr(q.MinAt), FixedOr(q.Max, decimals), MomentOr(q.MaxAt),
                            FixedOr(q.Mean, decimals + 1)});
  }
  return t;
}

std::string SummaryText(const SummaryTables& tables) {
  return Padded(tables.Figures) + "\n" + Padded(tables.Quantities);
}

std::string SummaryTsv(const SummaryTables& tables) {
  return Tabbed({FigureTitles}) + Tabbed(tables.Figures) + "\n" + Tabbed(tables.Quantities);
}

std::string PaddedTable(const TableRows& rows) { return Padded(rows); }
std::string TabbedTable(const TableRows& rows) { return Tabbed(rows); }

Result<> WriteSummaryFile(const std::string& path, const std::string& text) {
  std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(path.c_str(), "wb"), &std::fclose);
  if (!file) return Fail(std::strerror(errno));
  if (std::fwrite(text.data(), 1, text.size(), file.get()) != text.size() || std::fflush(file.get()) != 0) {
    const std::string reason = std::strerror(errno);
    file.reset();
    std::remove(path.c_str());
    return Fail(reason);
  }
  return {};
}

}  // namespace qelt
