// The summary over any bytes as a record file, and over the same lines as a
// list's grid: never a crash or undefined behaviour (long digit runs, odd
// dates, any demand block), and figures that keep their own rules.
#include <unistd.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "analysis/Summary.hpp"
#include "platform/GridRows.hpp"
#include "records/RecordTable.hpp"

namespace {

void Check(bool condition) {
  if (!condition) std::abort();
}

const std::string& TempPath() {
  static const std::string path = [] {
    char name[] = "/tmp/qelt-fuzz-summary-XXXXXX";
    const int fd = mkstemp(name);
    Check(fd >= 0);
    close(fd);
    return std::string(name);
  }();
  return path;
}

void CheckFigures(const qelt::Summary& s) {
  Check(s.Records >= 0 && s.BadRows >= 0 && s.Gaps >= 0 && s.ClockSteps >= 0);
  Check(s.CoveredS >= 0 && s.GapS >= 0);
  Check(s.First.has_value() == (s.Records > 0) && s.Last.has_value() == (s.Records > 0));
  if (s.IntervalS) Check(*s.IntervalS > 0);
  for (const double e : {s.Energy.KWhImport, s.Energy.KWhExport, s.Energy.KvarhPositive, s.Energy.KvarhNegative})
    Check(e >= 0 || std::isnan(e));
  if (s.Demand.PeakKW) Check(s.Demand.Blocks > 0);
  for (const qelt::QuantityStats& q : s.Quantities) {
    Check(q.Count >= 0 && q.Count + q.Ol + q.Missing <= s.Records);
    Check(q.Min.has_value() == (q.Count > 0));
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 2) return 0;
  // The first two bytes choose the demand block, now and then outside 1..1440.
  qelt::SummaryOptions options;
  options.DemandMinutes = static_cast<int>((data[0] << 8 | data[1]) % 1500) - 20;
  const std::string_view content(reinterpret_cast<const char*>(data + 2), size - 2);
  const bool refused = options.DemandMinutes < 1 || options.DemandMinutes > 1440;

  std::FILE* f = std::fopen(TempPath().c_str(), "wb");
  Check(f != nullptr);
  Check(std::fwrite(content.data(), 1, content.size(), f) == content.size());
  std::fclose(f);
  const qelt::Summary fromFile = qelt::Summarize({TempPath()}, options);
  Check(fromFile.Error == (refused ? qelt::SummaryError::BadOptions : qelt::SummaryError::None));
  CheckFigures(fromFile);

  // The same lines as a list's grid: row 0 the titles, at most 31 cells each.
  qelt::GridRows grid(qelt::RecordColumns);
  std::size_t start = 0;
  while (start <= content.size()) {
    std::size_t end = content.find_first_of("\r\n", start);
    if (end == std::string_view::npos) end = content.size();
    std::string row;
    bool first = true;
    for (const std::string& cell : qelt::SplitRow(content.substr(start, end - start))) {
      if (!first) row += '\t';
      row += cell;
      first = false;
    }
    grid.AddRow(row);
    start = end + 1;
  }
  const qelt::Summary fromGrid = qelt::SummarizeGrids({&grid}, options);
  Check(fromGrid.Error == fromFile.Error);
  CheckFigures(fromGrid);
  return 0;
}
