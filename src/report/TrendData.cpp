#include "report/TrendData.hpp"

namespace qelt {

const std::vector<TrendGroup>& TrendGroups() {
  static const std::vector<TrendGroup> groups = {
      {"Voltage", "V", {"V1", "V2", "V3"}},
      {"Current", "A", {"I1", "I2", "I3", "I4"}},
      {"Total power", "kW, kvar, kVA", {"TKW", "TKVAR", "TKVA"}},
      {"Power factor", "", {"PF1", "PF2", "PF3", "TPF"}},
      {"Frequency", "Hz", {"Hz"}},
      {"Active power per phase", "kW", {"KW1", "KW2", "KW3"}},
  };
  return groups;
}

TrendSpan TrendSpanOf(const Summary& summary) {
  if (!summary.First || !summary.Last) return {};
  double x0 = static_cast<double>(*summary.First), x1 = static_cast<double>(*summary.Last);
  // The clock may have stepped back: the last record is then not the latest.
  if (x1 < x0) std::swap(x0, x1);
  if (x1 - x0 < 60) {
    const double middle = (x0 + x1) / 2;
    x0 = middle - 30;
    x1 = middle + 30;
  }
  return {x0, x1};
}

UsedPhases PhasesUsedBy(const Summary& summary) {
  UsedPhases used{};
  for (int p = 0; p < 3; ++p) {
    const std::string name = "V" + std::to_string(p + 1);
    const QuantityStats& v = summary.Quantities[static_cast<std::size_t>(QuantityIndexOf(name))];
    used[static_cast<std::size_t>(p)] = v.Ol > 0 || (v.Min && *v.Min != 0) || (v.Max && *v.Max != 0);
  }
  // A file without a single voltage tells nothing: all of it is shown.
  if (used == UsedPhases{}) used = {true, true, true};
  return used;
}

int PhaseOfQuantity(int quantity) {
  const std::string_view name = QuantityNames[static_cast<std::size_t>(quantity)];
  // The totals are "T" and a capital (TKW, TTheta); Theta1 is phase 1's.
  const bool total = name.size() > 1 && name[0] == 'T' && name[1] >= 'A' && name[1] <= 'Z';
  const char last = name.back();
  return !total && last >= '1' && last <= '3' ? last - '0' : 0;
}

TrendBuilder::TrendBuilder(const TrendSpan& span, std::optional<std::int64_t> interval, int columns,
                           const UsedPhases& phases)
    : span_(span), interval_(interval) {
  for (const TrendGroup& group : TrendGroups()) {
    TrendPlot plot;
    plot.Group = &group;
    for (const char* name : group.Names) {
      const int quantity = QuantityIndexOf(name);
      if (const int phase = PhaseOfQuantity(quantity); phase > 0 && !phases[static_cast<std::size_t>(phase - 1)])
        continue;
      plot.Lines.push_back({quantity, ColumnDecimator(span.X0, span.X1, columns)});
    }
    plots_.push_back(std::move(plot));
  }
}

void TrendBuilder::Add(const SummaryRecord& record) {
  const bool gap = previous_ && interval_ && record.At - *previous_ > 2 * *interval_;
  previous_ = record.At;
  const double x = static_cast<double>(record.At);
  for (TrendPlot& plot : plots_) {
    for (TrendLine& line : plot.Lines) {
      if (gap) line.Data.Break();
      const auto q = static_cast<std::size_t>(line.Quantity);
      switch (record.Kinds[q]) {
        case ValueKind::Number: line.Data.Add(x, record.Values[q]); break;
        case ValueKind::OverRange:
          line.Data.Break();
          line.Data.Mark(x);
          break;
        case ValueKind::Missing: line.Data.Break(); break;
      }
    }
  }
}

}  // namespace qelt
