#pragma once
// The file plot without a window: the 28 columns of a record table as
// numbers (overload readings replaced by substitutes), their X ranges, the
// progress captions, and one column again for the file-plot inspector.
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "link/LiveReading.hpp"
#include "platform/GridRows.hpp"
#include "platform/WindowSurface.hpp"

namespace qelt {

// What an overload reading becomes in a column: "OL" YMax, "-OL" YMin.
struct Substitutes {
  double YMax = 0;
  double YMin = 0;
};
// For a record-table column 3..30 (column = QuantityIndex + 3).
Substitutes SubstitutesOf(int column);

enum class Overload : std::int8_t { None = 0, High = 1, Low = -1 };
// A cell with "-" and "L" is a low overload, one with "L" alone a high one;
// "-12.5" is a number.
Overload OverloadOf(std::string_view cell);
// The value a cell is plotted at.
float CellValue(std::string_view cell, const Substitutes& substitutes);

// An axis range that always shows something: first = last is widened by 0.5
// either way.
struct AxisSpan {
  double Min = 0;
  double Max = 1;
};
AxisSpan ShownSpan(double first, double last);

// One plotted column, kept with its overload marks so that the inspector can
// place the overload cells at whatever Y range the clicked graph shows.
struct PlotColumnData {
  std::string Name;             // the heading, "Hz" for column 24
  std::vector<float> Values;    // one per record; overload cells at the substitutes
  std::vector<Overload> Marks;  // one per record
};

struct FilePlotData {
  float PlotOffset = 0;  // first record number minus 1
  int Records = 0;
  std::array<PlotColumnData, QuantityCount> Columns;

  double FirstX() const { return PlotOffset + 1.0; }
  double LastX() const { return static_cast<double>(PlotOffset) + Records; }
};

// "<name> (<p> % ) Plotted " after count of 28 columns, p = Int(count / 28 x
// 1000) / 10 with a point whatever the locale.
std::string PlotProgressCaption(const std::string& name, int count);

// Reads the 28 columns of a record table (row 0 headings, rows 1.. records),
// showing the progress in the list window's caption and restoring it at the
// end. Nothing when the table has no records.
std::optional<FilePlotData> PlotRecords(const GridRows& table, WindowSurface& window);

// A plotted column for the inspector: overload cells at yMax ("OL") and yMin
// ("-OL"), the others as plotted.
std::vector<float> PlotColumn(const PlotColumnData& column, double yMax, double yMin);

}  // namespace qelt
