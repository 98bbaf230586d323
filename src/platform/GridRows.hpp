#pragma once
// The cells of a grid as text rows. Appending a row is amortised O(1); a row
// is one string of its cells joined by TAB, so a million rows of 31 cells
// take little more than their text (a cell is found by counting TABs).
#include <string>
#include <string_view>
#include <vector>

namespace qelt {

class GridRows {
 public:
  explicit GridRows(int cols = 2) : cols_(cols) {}

  int Rows() const { return static_cast<int>(rows_.size()); }
  int Cols() const { return cols_; }
  // Grows with empty rows or drops rows from the end.
  void SetRows(int rows);
  // Cells past the new count are dropped.
  void SetCols(int cols);

  // "" for an empty cell or one outside the grid.
  std::string_view Cell(int row, int col) const;
  // A row's cells joined by TAB, up to its last cell present ("" outside the grid).
  std::string_view RowText(int row) const {
    return row < 0 || row >= Rows() ? std::string_view() : std::string_view(rows_[static_cast<std::size_t>(row)]);
  }
  // Ignored outside the grid. A TAB in text is stored as a blank.
  void SetCell(int row, int col, std::string_view text);
  // Appends a row from a TAB-separated text: consecutive cells from column 0;
  // fields past the last column are dropped.
  void AddRow(std::string_view tabRow);

 private:
  std::vector<std::string> rows_;  // the cells present, joined by TAB
  int cols_;
};

// Rows top..bottom and columns left..right (grid rows, inclusive) as
// TAB-separated lines ending in LF, ready to paste into a spreadsheet. With
// a title row (fixedRows > 0) its titles come first, unless the range holds
// it already.
std::string CopyText(const GridRows& grid, int fixedRows, int top, int bottom, int left, int right);

}  // namespace qelt
