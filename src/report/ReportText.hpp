#pragma once
// The texts of a report's first page and of every page's header and footer,
// made from a summary. Qt-free; numbers with a point whatever the locale.
#include <string>
#include <utility>
#include <vector>

#include "analysis/Summary.hpp"
#include "platform/Host.hpp"

namespace qelt {

using ReportFacts = std::vector<std::pair<std::string, std::string>>;  // label, value
using ReportTable = std::vector<std::vector<std::string>>;             // row 0: the column titles

// "hh:nn:ss", or "N d hh:nn:ss" from a day on.
std::string DurationText(double seconds);

// Period, duration, records, interval, gaps and what they leave covered.
ReportFacts PeriodFacts(const Summary& summary);
// Import, export, kvarh both ways and kVAh: the totals, then phases 1 to 3.
ReportTable EnergyTable(const Summary& summary);
// Average power factor, peak demand, voltage and current unbalance, frequency.
ReportFacts QualityFacts(const Summary& summary);
// The 28 quantities: name, unit, min, its moment, mean, max, its moment,
// over-range count.
ReportTable QuantityTable(const Summary& summary);

// "page 2 of 5"
std::string PageNumberText(int page, int pages);
// The names of the recording's files: all of them for up to three, else the
// first and the last with the count ("a.mes ... a-99.mes, 100 files").
std::string FileNamesText(const std::vector<std::string>& names);
// "made 2026/12/10 13:05:00"
std::string MadeText(const DateTime& when);
// The window caption while a report is made: "Report (37 % )".
std::string ReportProgressCaption(int percent);

}  // namespace qelt
