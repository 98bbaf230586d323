#pragma once
// The file that "Save" of a record or data list writes: every grid row from
// the titles on, each cell followed by a TAB (the last one too), CR LF.
#include <functional>
#include <string>

#include "platform/GridRows.hpp"

namespace qelt {

struct GridFileResult {
  bool Ok = true;
  std::string Reason;   // the system's reason when the file could not be created or written
  int RowsWritten = 0;  // rows that reached the file
};

// Writes the grid to path, replacing a file of that name. progress is called
// with each row index before that row is written. What was written before a
// failure stays in the file, cut back to its last whole line.
GridFileResult WriteGridFile(const std::string& path, const GridRows& grid,
                             const std::function<void(int row)>& progress = {});

// The line of one row, without CR LF.
std::string GridFileLine(const GridRows& grid, int row);

// "12Records Completed"
std::string SaveProgressCaption(int row);

}  // namespace qelt
