#pragma once
// The printed record list: a fixed header line, then one line per record with
// the number as five digits and the values in nine-character columns (the
// phase angles left out), in "Times New Roman" 8 pt.
#include <string>
#include <string_view>
#include <vector>

#include "platform/GridRows.hpp"
#include "platform/PrintJob.hpp"
#include "platform/WindowSurface.hpp"

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

// Whether a print run ends when its window goes; a run over a copy of the
// rows may print on.
enum class WhenWindowGone { EndPrint, PrintOn };

// Prints every record row on the begun job (it repeats the header line on
// every page, PrintGrid hands it over), "<r> record(s) completed" in the
// window's caption and a turn of the event loop before each line; the caller
// ends the job. Returns false when a line could not be printed or the run
// ended with its window.
bool PrintRecords(const GridRows& grid, WindowSurface& window, PrintJob& job,
                  WhenWindowGone whenGone = WhenWindowGone::EndPrint);

}  // namespace qelt
