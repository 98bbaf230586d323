#pragma once
// The voltage-quality assessment as the command, the window and the report
// show it: one JSON document, and tables of figures against their limits,
// the dip and swell tables, the event list, the verdict and the notes that
// say how the figures were taken. Numbers use a point whatever the locale.
#include <string>

#include "analysis/Quality.hpp"
#include "analysis/SummaryText.hpp"

namespace qelt {

// One document (files, records, first, last, days, phases, nominal_v,
// nominal_given, nominal_hz, blocks, voltage, frequency, unbalance, events,
// dip_table, swell_table, interruptions, verdict); numbers at full
// precision, a figure without a value null. No line end.
std::string QualityJson(const Quality& q);

struct QualityTables {
  TableRows Figures;               // titles first: figure, value, limit, result
  TableRows Dips;                  // titles first: residual voltage, then the four duration columns
  TableRows Swells;                // the same for swells
  TableRows Events;                // titles first: kind, start, end, duration, extreme V, extreme %, phases
  std::string Verdict;             // "pass", "fail" or "incomplete"
  std::vector<std::string> Notes;  // how the figures were taken
};
// command: the notes name the command's options (--nominal).
QualityTables MakeQualityTables(const Quality& q, bool command);

// The page as text: a title naming EN 50160, the tables padded with blanks,
// the verdict and the notes; LF line ends.
std::string QualityText(const QualityTables& tables);
// The same TAB-separated for a spreadsheet.
std::string QualityTsv(const QualityTables& tables);

// "Pass" / "FAIL" / "n/a" of a within_limits figure.
std::string LimitWord(const std::optional<bool>& within);

}  // namespace qelt
