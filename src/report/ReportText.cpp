#include "report/ReportText.hpp"

#include <cmath>
#include <cstdio>

#include "platform/Dialogs.hpp"
#include "platform/PathText.hpp"
#include "report/TrendData.hpp"
#include "text/NumberText.hpp"

namespace qelt {
namespace {

constexpr const char* None = "\u2013";  // a figure without a value

std::string Two(long long n) {
  std::string s = std::to_string(n);
  return s.size() < 2 ? "0" + s : s;
}

std::string Fixed(double value, int decimals) {
  std::string pattern = "0.";
  pattern.append(static_cast<std::size_t>(decimals), '0');
  return FormatPattern(value, decimals > 0 ? pattern : "0");
}

std::string Count(std::int64_t n) { return std::to_string(n); }

std::string At(const std::optional<Moment>& moment) { return moment ? MomentText(*moment) : None; }

std::string UnbalanceText(const UnbalanceFigures& u, const char* what) {
  if (u.Records == 0 || !u.MaxPct) return std::string("no record with three ") + what + " above 0";
  return "max " + Fixed(*u.MaxPct, 2) + " % at " + At(u.MaxAt) + ", mean " + (u.MeanPct ? Fixed(*u.MeanPct, 2) : None) +
         " % (" + Count(u.Records) + " records)";
}

}  // namespace

std::string DurationText(double seconds) {
  const long long total = std::llround(std::max(seconds, 0.0));
  const long long days = total / 86400, rest = total % 86400;
  std::string hms = Two(rest / 3600) + ":" + Two(rest / 60 % 60) + ":" + Two(rest % 60);
  return days > 0 ? std::to_string(days) + " d " + hms : hms;
}

ReportFacts PeriodFacts(const Summary& s) {
  ReportFacts facts;
  facts.push_back({"Period", At(s.First) + " to " + At(s.Last)});
  if (s.First && s.Last)
    facts.push_back({"Duration", DurationText(static_cast<double>(*s.Last - *s.First)) + " (first to last record)"});
  std::string records = Count(s.Records);
  if (s.BadRows > 0) records += ", " + Count(s.BadRows) + " bad rows skipped";
  facts.push_back({"Records", records});
  facts.push_back({"Nominal interval", s.IntervalS ? std::to_string(*s.IntervalS) + " s" : None});
  facts.push_back(
      {"Gaps", s.Gaps == 0 ? std::string("none") : Count(s.Gaps) + ", " + DurationText(s.GapS) + " in all"});
  facts.push_back({"Time covered", DurationText(s.CoveredS) + " (records \u00d7 their interval, gaps left out)"});
  if (s.ClockSteps > 0) facts.push_back({"Clock steps", Count(s.ClockSteps) + " (time went back or stood still)"});
  return facts;
}

ReportTable EnergyTable(const Summary& s) {
  ReportTable table;
  table.push_back({"", "Import kWh", "Export kWh", "kvarh +", "kvarh \u2212", "kVAh"});
  auto row = [&](const std::string& name, const EnergyFigures& e) {
    table.push_back({name, Fixed(e.KWhImport, 3), Fixed(e.KWhExport, 3), Fixed(e.KvarhPositive, 3),
                     Fixed(e.KvarhNegative, 3), Fixed(e.KVAh, 3)});
  };
  row("Total", s.Energy);
  const UsedPhases used = PhasesUsedBy(s);
  for (int p = 0; p < 3; ++p)
    if (used[static_cast<std::size_t>(p)])
      row("Phase " + std::to_string(p + 1), s.PerPhase[static_cast<std::size_t>(p)]);
  return table;
}

ReportFacts QualityFacts(const Summary& s) {
  ReportFacts facts;
  facts.push_back({"Average power factor", s.PfAverage ? Fixed(*s.PfAverage, 3) : None});
  std::string demand;
  if (s.Demand.PeakKW)
    demand = Fixed(*s.Demand.PeakKW, 3) + " kW in the " + std::to_string(s.Demand.Minutes) + "-minute block from " +
             At(s.Demand.PeakAt) + " (" + Count(s.Demand.Blocks) + " blocks covered)";
  else
    demand = "no " + std::to_string(s.Demand.Minutes) + "-minute block covered to 80 %";
  facts.push_back({"Peak demand", demand});
  facts.push_back({"Voltage unbalance", UnbalanceText(s.VoltageUnbalance, "voltages")});
  facts.push_back({"Current unbalance", UnbalanceText(s.CurrentUnbalance, "currents")});
  std::string frequency = "no Hz readings";
  if (s.Frequency.Nominal && s.Frequency.Within1PctShare)
    frequency = "nominal " + std::to_string(*s.Frequency.Nominal) + " Hz, " +
                Fixed(*s.Frequency.Within1PctShare * 100, 2) + " % of the readings within \u00b11 %";
  facts.push_back({"Frequency", frequency});
  return facts;
}

ReportTable QuantityTable(const Summary& s) {
  ReportTable table;
  table.push_back({"Quantity", "Unit", "Min", "at", "Mean", "Max", "at", "Over-range"});
  const UsedPhases used = PhasesUsedBy(s);
  for (int q = 0; q < QuantityCount; ++q) {
    if (const int phase = PhaseOfQuantity(q); phase > 0 && !used[static_cast<std::size_t>(phase - 1)]) continue;
    const QuantityStats& st = s.Quantities[static_cast<std::size_t>(q)];
    const int decimals = Quantities[static_cast<std::size_t>(q)].Decimals;
    table.push_back({QuantityNames[static_cast<std::size_t>(q)], QuantityUnit(q),
                     st.Min ? Fixed(*st.Min, decimals) : None, At(st.MinAt),
                     st.Mean ? Fixed(*st.Mean, decimals + 1) : None, st.Max ? Fixed(*st.Max, decimals) : None,
                     At(st.MaxAt), Count(st.Ol)});
  }
  return table;
}

std::string PageNumberText(int page, int pages) {
  return "page " + std::to_string(page) + " of " + std::to_string(pages);
}

std::string FileNamesText(const std::vector<std::string>& names) {
  std::vector<std::string> shortNames;
  for (const std::string& n : names) shortNames.push_back(FileNameOf(n));
  if (shortNames.size() > 3)
    return shortNames.front() + " \u2026 " + shortNames.back() + ", " + std::to_string(shortNames.size()) + " files";
  std::string text;
  for (const std::string& n : shortNames) text += (text.empty() ? "" : ", ") + n;
  return text;
}

std::string MadeText(const DateTime& w) {
  char text[48];
  std::snprintf(text, sizeof text, "made %04d/%02d/%02d %02d:%02d:%02d", w.Year, w.Month, w.Day, w.Hour, w.Minute,
                w.Second);
  return text;
}

std::string ReportProgressCaption(int percent) { return "Report (" + std::to_string(percent) + " % )"; }

std::string LiveReadingsTitle(const GridRows& rows) {
  // Row 0 holds the titles; the date and the time follow the record number.
  auto moment = [&rows](int row) {
    auto trimmed = [](std::string_view cell) {
      const auto first = cell.find_first_not_of(' ');
      return first == std::string_view::npos ? std::string()
                                             : std::string(cell.substr(first, cell.find_last_not_of(' ') - first + 1));
    };
    return trimmed(rows.Cell(row, 1)) + " " + trimmed(rows.Cell(row, 2));
  };
  int last = rows.Rows() - 1;
  while (last > 0 && rows.Cell(last, 1).empty()) --last;
  if (last < 1) return "Live readings";
  return "Live readings from " + moment(1) + " to " + moment(last);
}

std::string TitleFileName(const std::string& title) {
  std::string name;
  for (std::size_t i = 0; i < title.size(); ++i) {
    const char c = title[i];
    if (c == '/' || c == '\\') {
      name += '-';
    } else if (c == ',' && i + 1 < title.size() && title[i + 1] == ' ') {
      continue;
    } else if (std::string_view(":*?\"<>|").find(c) == std::string_view::npos &&
               static_cast<unsigned char>(c) >= 0x20) {
      name += c;
    }
  }
  while (!name.empty() && (name.back() == ' ' || name.back() == '.')) name.pop_back();
  return name.empty() ? "Report" : name;
}

}  // namespace qelt
