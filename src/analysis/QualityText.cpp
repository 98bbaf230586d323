#include "analysis/QualityText.hpp"

#include "analysis/JsonFields.hpp"
#include "platform/PathText.hpp"
#include "text/NumberText.hpp"

namespace qelt {
namespace {

Json TableJson(const EventTable& table, const std::array<const char*, 5>& names, std::size_t rows) {
  Json out = Json::object();
  for (std::size_t r = 0; r < rows; ++r) out[names[r]] = Json(table[r]);
  return out;
}

Json EventJson(const QualityEvent& e) {
  return Json{{"kind", QualityEventName(e.Kind)},
              {"start", MomentText(e.Start)},
              {"end", MomentText(e.End)},
              {"duration_s", e.DurationS},
              {"extreme_v", OrNull(e.ExtremeV)},
              {"extreme_pct", OrNull(e.ExtremePct)},
              {"phases", e.Phases()},
              {"open", e.Open}};
}

Json VoltageJson(const Quality& q) {
  Json out = Json::object();
  for (const int p : q.Phases) {
    const VoltageFigures& v = *q.Voltage[static_cast<std::size_t>(p - 1)];
    out[std::to_string(p)] = Json{{"blocks", v.Blocks},
                                  {"within_10pct_share", OrNull(v.Within10PctShare)},
                                  {"min", OrNull(v.Min)},
                                  {"max", OrNull(v.Max)},
                                  {"within_limits", OrNull(v.WithinLimits)}};
  }
  return out;
}

std::string Fixed(double value, int decimals) {
  static const char* const patterns[] = {"0", "0.0", "0.00", "0.000"};
  return FormatPattern(value, patterns[decimals]);
}

std::string Percent(const std::optional<double>& share) { return share ? Fixed(*share * 100.0, 2) + " %" : "none"; }
std::string Volts(const std::optional<double>& v) { return v ? Fixed(*v, 1) + " V" : "none"; }
std::string Hertz(const std::optional<double>& hz) { return hz ? Fixed(*hz, 3) + " Hz" : "none"; }
std::string Word(bool ok) { return ok ? "pass" : "FAIL"; }

void AddPeriodRows(TableRows& f, const Quality& q) {
  f.push_back({"Standard", "EN 50160", "", ""});
  if (!q.Files.empty()) f.push_back({"Files", std::to_string(q.Files.size()), "", FileNameOf(q.Files.front())});
  f.push_back({"First record", q.First ? MomentText(*q.First) : "none", "", ""});
  f.push_back({"Last record", q.Last ? MomentText(*q.Last) : "none", "", ""});
  f.push_back({"Records", std::to_string(q.Records), "", ""});
  f.push_back({"Days covered", Fixed(q.CoveredS / 86400.0, 3), "at least 7",
               q.CoveredS >= 7 * 86400.0 ? "pass" : "incomplete"});
  std::string phases;
  for (const int p : q.Phases) phases += (phases.empty() ? "" : " ") + std::to_string(p);
  f.push_back({"Phases taking part", phases.empty() ? "none" : phases, "mean above 50 V", ""});
  f.push_back({"Nominal voltage Un", Volts(q.NominalV), q.NominalGiven ? "given" : "nearest standard voltage", ""});
  f.push_back({"Nominal frequency fn", std::to_string(q.NominalHz) + " Hz", "", ""});
  f.push_back({"10-minute blocks valid", std::to_string(q.ValidBlocks), "at least 480 s of records", ""});
  f.push_back({"10-minute blocks flagged", std::to_string(q.FlaggedBlocks), "left out", ""});
}

void AddVoltageRows(TableRows& f, const Quality& q) {
  const double un = q.NominalV.value_or(0);
  for (const int p : q.Phases) {
    const VoltageFigures& v = *q.Voltage[static_cast<std::size_t>(p - 1)];
    const std::string name = "V" + std::to_string(p);
    f.push_back({name + " blocks used", std::to_string(v.Blocks), "", ""});
    f.push_back({name + " within +-10 % Un", Percent(v.Within10PctShare), "at least 95 %",
                 v.Within10PctShare ? Word(*v.Within10PctShare >= 0.95) : "n/a"});
    f.push_back({name + " lowest 10-minute value", Volts(v.Min), "at least 85 % Un (" + Volts(un * 85 / 100.0) + ")",
                 v.Min ? Word(*v.Min >= un * 85 / 100.0) : "n/a"});
    f.push_back({name + " highest 10-minute value", Volts(v.Max), "at most 110 % Un (" + Volts(un * 110 / 100.0) + ")",
                 v.Max ? Word(*v.Max <= un * 110 / 100.0) : "n/a"});
  }
}

void AddFrequencyAndUnbalanceRows(TableRows& f, const Quality& q) {
  const auto fn = static_cast<double>(q.NominalHz);
  if (q.Frequency) {
    const QualityFrequency& hz = *q.Frequency;
    f.push_back({"Frequency within +-1 % fn", Percent(hz.Within1PctShare), "at least 99.5 %",
                 Word(hz.Within1PctShare >= 0.995)});
    f.push_back({"Frequency lowest", Hertz(hz.Min), "at least 94 % fn (" + Hertz(fn * 94 / 100.0) + ")",
                 Word(*hz.Min >= fn * 94 / 100.0)});
    f.push_back({"Frequency highest", Hertz(hz.Max), "at most 104 % fn (" + Hertz(fn * 104 / 100.0) + ")",
                 Word(*hz.Max <= fn * 104 / 100.0)});
  } else {
    f.push_back({"Frequency", "none", "", "n/a"});
  }
  if (q.Unbalance) {
    const QualityUnbalance& u = *q.Unbalance;
    f.push_back({"Unbalance blocks used", std::to_string(u.Blocks), "", ""});
    f.push_back({"Unbalance at most 2 %", Percent(u.Within2PctShare), "at least 95 %", Word(u.WithinLimits)});
    f.push_back({"Unbalance highest", Fixed(u.MaxPct, 3) + " %", "", ""});
  } else {
    f.push_back({"Unbalance", "none", "three phases needed", "n/a"});
  }
  f.push_back({"Interruptions", std::to_string(q.Interruptions), "", ""});
  f.push_back({"Verdict", QualityVerdictName(q.Verdict), "", ""});
}

TableRows CountTable(const EventTable& table, const std::vector<std::string>& rowNames) {
  TableRows rows{{"Residual voltage u", "d <= 1 s", "1 s < d <= 5 s", "5 s < d <= 60 s", "d > 60 s"}};
  for (std::size_t r = 0; r < rowNames.size(); ++r) {
    std::vector<std::string> row{rowNames[r]};
    for (const std::int64_t n : table[r]) row.push_back(std::to_string(n));
    rows.push_back(row);
  }
  return rows;
}

std::vector<std::string> Notes(const Quality& q, bool command) {
  std::vector<std::string> notes;
  if (!q.NominalGiven && q.NominalV)
    notes.push_back("Un is the standard voltage nearest to the mean voltage; " +
                    std::string(command ? "give the declared voltage with --nominal V."
                                        : "the declared voltage of the supply may differ."));
  notes.push_back(q.LineVoltages ? "V1..V3 are read as line-to-line magnitudes."
                                 : "V1..V3 are read as phase-to-neutral voltages 120 degrees apart" +
                                       std::string(command ? " (--line-voltages for line-to-line readings)." : "."));
  notes.push_back("Durations are measured with the recording's resolution of " +
                  (q.IntervalS ? std::to_string(*q.IntervalS) : std::string("?")) + " s.");
  notes.push_back(
      "Blocks overlapped by a dip or swell of at most 60 s, or by an interruption, are flagged and left out of the "
      "voltage and unbalance figures; longer dips and swells are slow variations and stay in, so a long undervoltage "
      "shows in the figure that judges it (EN 50160 counts dips of up to one minute; IEC 61000-4-30 would flag "
      "every block an event touches).");
  notes.push_back("The dip table's u < 5 % row holds the outages that the interruption count also counts.");
  return notes;
}

}  // namespace

std::string LimitWord(const std::optional<bool>& within) { return within ? Word(*within) : "n/a"; }

std::string QualityJson(const Quality& q) {
  Json files = Json::array();
  for (const std::string& file : q.Files) files.push_back(FileNameOf(file));
  Json frequency = nullptr, unbalance = nullptr, events = Json::array();
  if (q.Frequency)
    frequency = Json{{"within_1pct_share", q.Frequency->Within1PctShare},
                     {"min", OrNull(q.Frequency->Min)},
                     {"max", OrNull(q.Frequency->Max)},
                     {"within_limits", q.Frequency->WithinLimits}};
  if (q.Unbalance)
    unbalance = Json{{"blocks", q.Unbalance->Blocks},
                     {"within_2pct_share", q.Unbalance->Within2PctShare},
                     {"max_pct", q.Unbalance->MaxPct},
                     {"within_limits", q.Unbalance->WithinLimits}};
  for (const QualityEvent& e : q.Events) events.push_back(EventJson(e));
  const std::array<const char*, 5> swellNames = {SwellRows[0], SwellRows[1], "", "", ""};
  Json doc{{"files", files},
           {"records", q.Records},
           {"first", MomentOrNull(q.First)},
           {"last", MomentOrNull(q.Last)},
           {"days", q.CoveredS / 86400.0},
           {"phases", q.Phases},
           {"nominal_v", OrNull(q.NominalV)},
           {"nominal_given", q.NominalGiven},
           {"nominal_hz", q.NominalHz},
           {"blocks", Json{{"valid", q.ValidBlocks}, {"flagged", q.FlaggedBlocks}}},
           {"voltage", VoltageJson(q)},
           {"frequency", frequency},
           {"unbalance", unbalance},
           {"events", events},
           {"dip_table", TableJson(q.DipTable, DipRows, DipRows.size())},
           {"swell_table", TableJson(q.SwellTable, swellNames, SwellRows.size())},
           {"interruptions", q.Interruptions},
           {"verdict", QualityVerdictName(q.Verdict)}};
  return doc.dump();
}

QualityTables MakeQualityTables(const Quality& q, bool command) {
  QualityTables t;
  t.Figures.push_back({"Figure", "Value", "Limit", "Result"});
  AddPeriodRows(t.Figures, q);
  AddVoltageRows(t.Figures, q);
  AddFrequencyAndUnbalanceRows(t.Figures, q);
  t.Dips = CountTable(q.DipTable,
                      {"90 % > u >= 80 %", "80 % > u >= 70 %", "70 % > u >= 40 %", "40 % > u >= 5 %", "u < 5 %"});
  t.Swells = CountTable(q.SwellTable, {"u >= 120 %", "120 % > u > 110 %"});
  t.Swells[0][0] = "Swell voltage u";
  t.Events.push_back({"Event", "Start", "End", "Duration s", "Extreme V", "Extreme %", "Phases", ""});
  for (const QualityEvent& e : q.Events) {
    std::string phases;
    for (const int p : e.Phases()) phases += (phases.empty() ? "" : " ") + std::to_string(p);
    t.Events.push_back({QualityEventName(e.Kind), MomentText(e.Start), MomentText(e.End), std::to_string(e.DurationS),
                        e.ExtremeV ? Fixed(*e.ExtremeV, 1) : "OL", e.ExtremePct ? Fixed(*e.ExtremePct, 2) : "OL",
                        phases, e.Open ? "open" : ""});
  }
  t.Verdict = QualityVerdictName(q.Verdict);
  t.Notes = Notes(q, command);
  return t;
}

namespace {

std::string Page(const QualityTables& t, std::string (*table)(const TableRows&)) {
  if (t.Events.empty()) return {};  // nothing assessed yet
  std::string text = "Voltage quality against EN 50160\n\n" + table(t.Figures);
  text += "\nDips (counts by residual voltage and duration)\n" + table(t.Dips);
  text += "\nSwells (counts by voltage and duration)\n" + table(t.Swells);
  text += "\nEvents (" + std::to_string(t.Events.size() - 1) + ")\n" + table(t.Events);
  text += "\nVerdict: " + t.Verdict + "\n\n";
  for (const std::string& note : t.Notes) text += note + "\n";
  return text;
}

}  // namespace

std::string QualityText(const QualityTables& tables) { return Page(tables, &PaddedTable); }
std::string QualityTsv(const QualityTables& tables) { return Page(tables, &TabbedTable); }

}  // namespace qelt
