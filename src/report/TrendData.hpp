#pragma once
// The trend plots of a report as data: which quantities each plot holds, and
// every line reduced to its pixel columns while the records stream past.
// Qt-free; X is the record's moment in seconds (Moment).
#include <array>
#include <optional>
#include <string>
#include <vector>

#include "analysis/Summary.hpp"
#include "report/Decimation.hpp"

namespace qelt {

struct TrendGroup {
  const char* Title;  // above the plot
  const char* Unit;   // beside the Y axis
  std::vector<const char*> Names;
};

// V1-V3; I1-I3 and I4; TKW, TKVAR, TKVA; PF1-PF3 and TPF; Hz; KW1-KW3.
const std::vector<TrendGroup>& TrendGroups();

struct TrendLine {
  int Quantity = 0;  // QuantityIndex
  ColumnDecimator Data;
};

struct TrendPlot {
  const TrendGroup* Group = nullptr;
  std::vector<TrendLine> Lines;
};

// The X range every plot shows: first to last record, widened when they are
// the same moment, so a single record still has a place.
struct TrendSpan {
  double X0 = 0;
  double X1 = 1;
};
TrendSpan TrendSpanOf(const Summary& summary);

// The phases a recording uses: a phase whose voltage stays at 0 throughout
// (a single-phase set) is not used. Index 0 is phase 1.
using UsedPhases = std::array<bool, 3>;
UsedPhases PhasesUsedBy(const Summary& summary);
// The phase a quantity belongs to (KW2, Theta2, I2: 2), 0 for the totals, Hz and I4.
int PhaseOfQuantity(int quantity);

// Feeds the lines from the records of a second summary pass (SummaryOptions::
// OnRecord). A difference of more than twice the nominal interval between
// two records breaks every line (a gap); a record without a number for a
// quantity breaks that line, and an over-range text marks it.
class TrendBuilder {
 public:
  // Lines of the phases not used are left out.
  TrendBuilder(const TrendSpan& span, std::optional<std::int64_t> interval, int columns,
               const UsedPhases& phases = {true, true, true});
  void Add(const SummaryRecord& record);
  const std::vector<TrendPlot>& Plots() const { return plots_; }
  const TrendSpan& Span() const { return span_; }

 private:
  TrendSpan span_;
  std::optional<std::int64_t> interval_;
  std::optional<Moment> previous_;
  std::vector<TrendPlot> plots_;
};

}  // namespace qelt
