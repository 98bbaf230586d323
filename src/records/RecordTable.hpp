#pragma once
// The shape of a record table, shared by the measurement file, the record
// lists and the data lists: 31 columns (number, date, time, the 28 values).
#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "link/LiveReading.hpp"

namespace qelt {

inline constexpr int RecordColumns = 31;      // number, date, time, 28 values
inline constexpr int RecordsPerFile = 10000;  // records per measurement file, and rows per list

// The 28 value texts in record order (QuantityIndex).
using ValueTexts = std::array<std::string, QuantityCount>;
ValueTexts ValueTextsOf(const LiveReading& reading);

// The header titles: "No.s", "      Date", "    Time", then the quantities.
const std::array<std::string, RecordColumns>& MeasurementTitles();
// The same titles without leading blanks ("Date", "Time"), as the file list shows them.
const std::array<std::string, RecordColumns>& FileListTitles();

// Header line of every measurement file: the titles TAB-joined, no TAB at the end.
std::string HeaderLine();

// Splits a TAB-separated row into at most maxCells cells, as a grid fills
// consecutive cells: a trailing TAB adds no cell past maxCells, fields past
// maxCells are dropped.
std::vector<std::string> SplitRow(std::string_view row, int maxCells = RecordColumns);

}  // namespace qelt
