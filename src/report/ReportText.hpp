#pragma once
// The texts of a report's first page and of every page's header and footer,
// made from a summary. Qt-free; numbers with a point whatever the locale.
#include <string>
#include <utility>
#include <vector>

#include "analysis/Summary.hpp"
#include "platform/GridRows.hpp"
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
// "Live readings from 2026/12/11 10:00:02 to 2026/12/11 11:00:00": the live
// List's rows, from the first record's date and time to the last's
// ("Live readings" without a record).
std::string LiveReadingsTitle(const GridRows& rows);
// A file name made of a title the same way on every system: "/" becomes "-",
// ":" and the other characters no file system takes are left out, a comma
// goes with the blank after it. "Logger set 2, 2011/08/02 08:00, 3P4W" is
// "Logger set 2 2011-08-02 0800 3P4W".
std::string TitleFileName(const std::string& title);
// The window caption while a report is made: "Report (37 % )".
std::string ReportProgressCaption(int percent);

}  // namespace qelt
