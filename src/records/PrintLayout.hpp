#pragma once
// The printed record list: a fixed header line, then one line per record with
// the number as five digits and the values in nine-character columns (the
// phase angles left out), in "Times New Roman" 8 pt.
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/GridRows.hpp"

namespace qelt {

inline constexpr const char* PrintFontFamily = "Times New Roman";
inline constexpr int PrintFontPoints = 8;

// The 211-character header line.
const std::string& PrintHeaderLine();

// The line of record row r (1..) of a record grid.
std::string PrintRecordLine(const GridRows& grid, int row);
// The character count at which each field of that line starts: the number,
// the date, the time and the 25 values.
std::vector<int> PrintFieldCells(const GridRows& grid, int row);
// Where the titles of the header line go, in characters of the record line:
// over the date, the time and each value of the first record (of the usual
// record when the grid has none), so that the columns stay under them.
std::vector<int> PrintTitleCells(const GridRows& grid);
// The characters of the widest record line, for the page fit.
int PrintLineCells(const GridRows& grid);

// "3 record(s) completed"
std::string PrintProgressCaption(int row);

// The PDF file name offered for printing a list captioned caption: its file
// name with ".pdf" instead of its ending ("C:\\data\\run.mes" gives "run.pdf"),
// or the caption's first words ("List.pdf").
std::string PdfFileName(std::string_view caption);

// What the print run needs of its surroundings.
struct PrintRunHooks {
  std::function<void(const std::string&)> SetCaption;  // the window's caption
  std::function<void()> RunEvents;                     // let the event loop run once
  // Prints one line; false when printing failed and the run must stop.
  std::function<bool(const std::string&)> PrintLine;
  // True once the grid's window is gone (the run stops).
  std::function<bool()> Gone;
};

// Prints every record row (the job repeats the header line on every page,
// PrintGrid hands it over); the caller ends the job.
// Returns false when a line could not be printed or the window went away.
bool PrintRecords(const GridRows& grid, const PrintRunHooks& hooks);

}  // namespace qelt
