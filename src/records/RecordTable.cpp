#include "records/RecordTable.hpp"

#include "text/TabFields.hpp"

namespace qelt {
namespace {

std::array<std::string, RecordColumns> Titles(const char* date, const char* time) {
  std::array<std::string, RecordColumns> titles;
  titles[0] = "No.s";
  titles[1] = date;
  titles[2] = time;
  for (int i = 0; i < QuantityCount; ++i)
    titles[static_cast<std::size_t>(i) + 3] = QuantityNames[static_cast<std::size_t>(i)];
  return titles;
}

}  // namespace

ValueTexts ValueTextsOf(const LiveReading& reading) {
  ValueTexts values;
  for (int i = 0; i < QuantityCount; ++i) values[static_cast<std::size_t>(i)] = reading.ByIndex(i);
  return values;
}

const std::array<std::string, RecordColumns>& MeasurementTitles() {
  static const auto titles = Titles("      Date", "    Time");
  return titles;
}

const std::array<std::string, RecordColumns>& FileListTitles() {
  static const auto titles = Titles("Date", "Time");
  return titles;
}

std::string HeaderLine() {
  std::string line;
  for (const auto& title : MeasurementTitles()) {
    if (!line.empty()) line += '\t';
    line += title;
  }
  return line;
}

std::vector<std::string> SplitRow(std::string_view row, int maxCells) {
  std::vector<std::string> cells;
  ForEachTabField(row, maxCells, [&cells](std::string_view cell) { cells.emplace_back(cell); });
  return cells;
}

}  // namespace qelt
