#pragma once
// The measurement file: header, sample and record lines, continuation names.
// Lines are returned without their CR LF; the writers add it.
#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "link/LiveReading.hpp"
#include "platform/Host.hpp"

namespace qelt {

inline constexpr int RecordColumns = 31;      // number, date, time, 28 values
inline constexpr int RecordsPerFile = 10000;  // records per measurement file, and rows per live list

// The 28 value texts in record order (QuantityIndex).
using ValueTexts = std::array<std::string, QuantityCount>;
ValueTexts ValueTextsOf(const LiveReading& reading);

// The header titles: "No.s", "      Date", "    Time", then the quantities.
const std::array<std::string, RecordColumns>& MeasurementTitles();
// The same titles without leading blanks ("Date", "Time"), as the file list shows them.
const std::array<std::string, RecordColumns>& FileListTitles();

// Header line of every measurement file: the titles TAB-joined, no TAB at the end.
std::string HeaderLine();

std::string DateText(const DateTime& when);  // "yyyy/mm/dd"
std::string TimeText(const DateTime& when);  // "hh:nn:ss"

// Date, time and the 28 texts joined by TAB, no TAB at the end.
std::string SampleLine(const DateTime& when, const ValueTexts& values);
// The record number, TAB, the sample line.
std::string RecordLine(std::int64_t number, std::string_view sampleLine);

// Name of continuation part n of a recording: "-n" goes in front of the first
// "." of the file's own name (after the last '/' or '\'), or at its end when
// the name has no ".". The folder is kept.
std::string ContinuationName(const std::string& path, int part);

// "mmddhhnnss.mes": the name of an automatic save of the live list.
std::string ListAutoSaveName(const DateTime& when);

// Splits a TAB-separated row into at most maxCells cells, as a grid fills
// consecutive cells: a trailing TAB adds no cell past maxCells, fields past
// maxCells are dropped.
std::vector<std::string> SplitRow(std::string_view row, int maxCells = RecordColumns);

}  // namespace qelt
