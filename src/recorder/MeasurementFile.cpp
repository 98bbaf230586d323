#include "recorder/MeasurementFile.hpp"

#include <cstdio>

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

std::string TwoDigits(int value) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "%02d", value);
  return buf;
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

std::string DateText(const DateTime& when) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%04d/%02d/%02d", when.Year, when.Month, when.Day);
  return buf;
}

std::string TimeText(const DateTime& when) {
  return TwoDigits(when.Hour) + ":" + TwoDigits(when.Minute) + ":" + TwoDigits(when.Second);
}

std::string SampleLine(const DateTime& when, const ValueTexts& values) {
  std::string line = DateText(when);
  line += '\t';
  line += TimeText(when);
  for (const auto& value : values) {
    line += '\t';
    line += value;
  }
  return line;
}

std::string RecordLine(std::int64_t number, std::string_view sampleLine) {
  std::string line = std::to_string(number);
  line += '\t';
  line += sampleLine;
  return line;
}

std::string ContinuationName(const std::string& path, int part) {
  std::size_t nameStart = path.find_last_of("/\\");
  nameStart = nameStart == std::string::npos ? 0 : nameStart + 1;
  std::size_t dot = path.find('.', nameStart);
  std::string suffix = "-" + std::to_string(part);
  std::string result = path;
  if (dot == std::string::npos)
    result += suffix;
  else
    result.insert(dot, suffix);
  return result;
}

std::string ListAutoSaveName(const DateTime& when) {
  return TwoDigits(when.Month) + TwoDigits(when.Day) + TwoDigits(when.Hour) + TwoDigits(when.Minute) +
         TwoDigits(when.Second) + ".mes";
}

std::vector<std::string> SplitRow(std::string_view row, int maxCells) {
  std::vector<std::string> cells;
  ForEachTabField(row, maxCells, [&cells](std::string_view cell) { cells.emplace_back(cell); });
  return cells;
}

}  // namespace qelt
