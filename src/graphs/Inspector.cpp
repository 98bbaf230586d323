#include "graphs/Inspector.hpp"

#include <algorithm>
#include <cmath>

#include "graphs/LiveGraph.hpp"
#include "link/LiveReading.hpp"
#include "text/NumberText.hpp"

namespace qelt {

const std::array<TrackMode, 8> TrackModes = {{
    {"Normal", 1, "Normal mode"},
    {"Cursor Coordinates", 2, "Drag the cursor with your mouse to get X (Count) and Y (Value) position."},
    {"PanXY", 3, "Click anywhere on the plot area and drag to pan the graph both horizontally and vertically."},
    {"PanX", 4, "Click anywhere on the plot area and drag to pan the graph horizontally."},
    {"PanY", 5, "Click anywhere on the plot area and drag to pan the graph vertically."},
    {"ZoomXY", 6, "Select a region on the graph to zoom both horizontally and vertically."},
    {"ZoomX", 7, "Select a region on the graph to zoom horizontally."},
    {"ZoomY", 8, "Select a region on the graph to zoom vertically."},
}};

InspectorSource LiveInspectorSource(GraphState& state, int index, const std::string& name, double yMin, double yMax) {
  state.GraphYMax = yMax;
  state.GraphYMin = yMin;
  state.GraphLast = state.GraphCount - 1;
  state.GraphIndex = index;
  InspectorSource source;
  source.Index = index;
  source.Name = name;
  source.Values = HistorySnapshot(state, index);
  source.FirstX = 1;
  source.X = source.Values.empty() ? AxisSpan{0, 1} : ShownSpan(1, static_cast<double>(source.Values.size()));
  source.Y = ShownSpan(yMin, yMax);
  return source;
}

InspectorSource FileInspectorSource(GraphState& state, const FilePlotData& plot, int index, const std::string& name,
                                    double yMin, double yMax) {
  state.PlotYMax = yMax;
  state.PlotYMin = yMin;
  state.PlotName = name;
  state.PlotIndex = index;
  state.PlotOffset = plot.PlotOffset;
  InspectorSource source;
  source.Index = index;
  source.Name = name;
  source.Values = PlotColumn(plot.Columns[static_cast<std::size_t>(index)], yMax, yMin);
  source.FirstX = plot.FirstX();
  source.X = ShownSpan(plot.FirstX(), plot.LastX());
  source.Y = ShownSpan(yMin, yMax);
  return source;
}

std::string InspectorPrintHeading(const InspectorSource& source, const DateTime& when) {
  std::string heading = QuantityTitle(Quantities[static_cast<std::size_t>(source.Index)].Name);
  if (heading.empty()) heading = source.Name;
  heading += "   " + DateTimeText(when);
  if (!source.File.empty()) heading += "   " + source.File;
  return heading;
}

std::string RangeProblem(double min, double max) {
  if (min < max) return {};
  return "Min must be below Max (" + GeneralNumber(min) + " is not below " + GeneralNumber(max) +
         "): the axis keeps its range until it is.";
}

const char* RangeFormat(int quantityIndex) { return IsThreeDecimal(quantityIndex) ? "0.000" : "0.0"; }
double RangeIncrement(int quantityIndex) { return IsThreeDecimal(quantityIndex) ? 0.001 : 0.1; }

std::string XReadout(double x) { return GeneralNumber(x); }
std::string YReadout(double y, int quantityIndex) { return FormatPattern(y, RangeFormat(quantityIndex)); }

VisibleStats StatsInRange(const std::vector<float>& values, double firstX, double xMin, double xMax) {
  VisibleStats stats;
  if (values.empty() || !(xMin <= xMax)) return stats;
  const double n = static_cast<double>(values.size());
  const double from = std::max(0.0, std::ceil(xMin - firstX));
  const double to = std::min(n - 1, std::floor(xMax - firstX));
  if (from > to) return stats;
  const auto begin = static_cast<std::size_t>(from);
  const auto end = static_cast<std::size_t>(to) + 1;
  double sum = 0;
  stats.Min = stats.Max = values[begin];
  for (std::size_t k = begin; k < end; ++k) {
    const double v = values[k];
    stats.Min = std::min(stats.Min, v);
    stats.Max = std::max(stats.Max, v);
    sum += v;
  }
  stats.Count = static_cast<int>(end - begin);
  stats.Mean = sum / stats.Count;
  return stats;
}

}  // namespace qelt
