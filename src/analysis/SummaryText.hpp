#pragma once
// The summary as the command and the window show it: a JSON document, and a
// table of figures (period, energy, demand, power factor, unbalance,
// frequency, hourly profile) followed by the table of the 28 quantities.
// Numbers use a point whatever the locale.
#include <string>
#include <vector>

#include "analysis/Summary.hpp"
#include "text/Result.hpp"

namespace qelt {

// One document: files, records, bad_rows, first, last, interval_s,
// covered_s, gaps, gap_s, clock_steps, quantities, energy, pf_average,
// demand, unbalance, frequency, hourly_kW. Numbers at full precision; a
// figure without a value is null. No line end.
std::string SummaryJson(const Summary& summary);

using TableRows = std::vector<std::vector<std::string>>;

struct SummaryTables {
  TableRows Figures;     // figure, value, unit, moment (cells may be empty)
  TableRows Quantities;  // titles first: quantity, unit, count, OL, missing, min, at, max, at, mean
};
SummaryTables MakeSummaryTables(const Summary& summary);
// The titles of the figures' columns, which the figures table leaves out.
inline const std::vector<std::string> FigureTitles = {"Figure", "Value", "Unit", "At"};

// The tables as readable text: columns padded with blanks, one blank line
// between the two tables, LF line ends.
std::string SummaryText(const SummaryTables& tables);
// The tables TAB-separated for a spreadsheet, each with its title row: one
// blank line between them, LF line ends.
std::string SummaryTsv(const SummaryTables& tables);

// One table as SummaryText and SummaryTsv lay it out.
std::string PaddedTable(const TableRows& rows);
std::string TabbedTable(const TableRows& rows);

// Writes text to path, replacing a file of that name; the system's reason
// when it could not be written (no half file is left behind).
Result<> WriteSummaryFile(const std::string& path, const std::string& text);

}  // namespace qelt
