#pragma once
// What the two graph inspectors show and how, without a window: the source
// of one opening (a snapshot), the track modes and the readout texts.
#include <array>
#include <string>
#include <vector>

#include "graphs/FilePlot.hpp"
#include "platform/Host.hpp"
#include "session/GraphState.hpp"

namespace qelt {

struct TrackMode {
  const char* Item;
  int Code;  // the graph control's track mode
  const char* Description;
};
extern const std::array<TrackMode, 8> TrackModes;
inline constexpr int CursorTrackMode = 2;

// One opening of an inspector. Point k of Values is drawn at FirstX + k.
struct InspectorSource {
  int Index = 0;  // QuantityIndex
  std::string Name;
  std::vector<float> Values;
  double FirstX = 1;
  AxisSpan X;  // at opening and after "Reset Scale"
  AxisSpan Y;
  std::string File;  // the measurement file of a file plot, when known
};

// The heading line of "Print Graph": the quantity, the moment, the file.
std::string InspectorPrintHeading(const InspectorSource& source, const DateTime& when);

// A click on live chart index whose Y axis shows yMin..yMax: GraphIndex,
// GraphYMin/Max and GraphLast set, the history slots copied. With no sample
// yet the X span is 0..1.
InspectorSource LiveInspectorSource(GraphState& state, int index, const std::string& name, double yMin, double yMax);

// A click on file-plot graph index whose Y axis shows yMin..yMax: PlotIndex,
// PlotName and PlotYMin/Max set, the column taken from the plot's own copy.
InspectorSource FileInspectorSource(GraphState& state, const FilePlotData& plot, int index, const std::string& name,
                                    double yMin, double yMax);

// The tip of a range box whose minimum is not below its maximum (the axis
// keeps its range then); empty when the two are in order.
std::string RangeProblem(double min, double max);

// The range boxes' display format and arrow step for a quantity.
const char* RangeFormat(int quantityIndex);
double RangeIncrement(int quantityIndex);
// Cursor readouts: X as a general number, Y in "0.000" or "0.0".
std::string XReadout(double x);
std::string YReadout(double y, int quantityIndex);

// Minimum, maximum and mean of the points whose X lies in [xMin, xMax];
// Count 0 when none does.
struct VisibleStats {
  int Count = 0;
  double Min = 0;
  double Max = 0;
  double Mean = 0;
};
VisibleStats StatsInRange(const std::vector<float>& values, double firstX, double xMin, double xMax);

}  // namespace qelt
