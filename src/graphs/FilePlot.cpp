#include "graphs/FilePlot.hpp"

#include <cmath>

#include "text/NumberText.hpp"

namespace qelt {

Substitutes SubstitutesOf(int column) {
  switch (column) {
    case 3:
    case 4:
    case 10:
    case 11:
    case 17:
    case 18:
    case 26:
    case 27: return {1000, -1000};
    case 6:
    case 13:
    case 20:
    case 29: return {1, -1};
    case 7:
    case 14:
    case 21:
    case 30: return {90, -90};
    case 24: return {100, 0};
    default:  // apparent powers, voltages and currents
      return {1000, 0};
  }
}

Overload OverloadOf(std::string_view cell) {
  if (cell.find('L') == std::string_view::npos) return Overload::None;
  return cell.find('-') != std::string_view::npos ? Overload::Low : Overload::High;
}

float CellValue(std::string_view cell, const Substitutes& substitutes) {
  switch (OverloadOf(cell)) {
    case Overload::Low: return static_cast<float>(substitutes.YMin);
    case Overload::High: return static_cast<float>(substitutes.YMax);
    case Overload::None: break;
  }
  return static_cast<float>(NumericPrefix(cell));
}

AxisSpan ShownSpan(double first, double last) {
  if (first == last) return {first - 0.5, last + 0.5};
  return {first, last};
}

std::string PlotProgressCaption(const std::string& name, int count) {
  const double p = std::floor(count / 28.0 * 1000.0) / 10.0;
  return name + " (" + GeneralNumber(p) + " % )" + " Plotted ";
}

std::optional<FilePlotData> PlotRecords(const GridRows& table, WindowSurface& window) {
  const int rows = table.Rows();
  if (rows < 2) return std::nullopt;
  const std::string caption = window.Caption();

  FilePlotData plot;
  plot.Records = rows - 1;
  plot.PlotOffset = static_cast<float>(NumericPrefix(table.Cell(1, 0)) - 1.0);
  window.SetCaption("Plotting ");
  for (int c = 3; c <= 30; ++c) {
    PlotColumnData& column = plot.Columns[static_cast<std::size_t>(c - 3)];
    column.Name = c == 24 ? std::string("Hz") : std::string(table.Cell(0, c));
    const Substitutes substitutes = SubstitutesOf(c);
    column.Values.resize(static_cast<std::size_t>(plot.Records));
    column.Marks.resize(static_cast<std::size_t>(plot.Records));
    for (int r = 1; r < rows; ++r) {
      const std::string_view cell = table.Cell(r, c);
      column.Marks[static_cast<std::size_t>(r - 1)] = OverloadOf(cell);
      column.Values[static_cast<std::size_t>(r - 1)] = CellValue(cell, substitutes);
    }
    window.SetCaption(PlotProgressCaption(column.Name, c - 2));
  }
  window.SetCaption(caption);
  return plot;
}

std::vector<float> PlotColumn(const PlotColumnData& column, double yMax, double yMin) {
  std::vector<float> values = column.Values;
  for (std::size_t k = 0; k < values.size() && k < column.Marks.size(); ++k) {
    if (column.Marks[k] == Overload::High) values[k] = static_cast<float>(yMax);
    if (column.Marks[k] == Overload::Low) values[k] = static_cast<float>(yMin);
  }
  return values;
}

}  // namespace qelt
