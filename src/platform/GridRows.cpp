#include "platform/GridRows.hpp"

#include <algorithm>

#include "text/TabFields.hpp"

namespace qelt {

namespace {

// Where field col of row begins, or npos when the row has fewer fields.
std::size_t FieldStart(std::string_view row, int col) {
  std::size_t start = 0;
  for (int c = 0; c < col; ++c) {
    const std::size_t tab = row.find('\t', start);
    if (tab == std::string_view::npos) return std::string_view::npos;
    start = tab + 1;
  }
  return start;
}

}  // namespace

void GridRows::SetRows(int rows) { rows_.resize(static_cast<std::size_t>(std::max(0, rows))); }

void GridRows::SetCols(int cols) {
  cols_ = std::max(0, cols);
  for (std::string& row : rows_) {
    // The TAB before field cols_ ends the row.
    const std::size_t next = cols_ == 0 ? 0 : FieldStart(row, cols_);
    if (next != std::string::npos) row.resize(next == 0 ? 0 : next - 1);
  }
}

std::string_view GridRows::Cell(int row, int col) const {
  if (row < 0 || row >= Rows() || col < 0 || col >= cols_) return {};
  const std::string_view r = rows_[static_cast<std::size_t>(row)];
  const std::size_t start = FieldStart(r, col);
  if (start == std::string_view::npos) return {};
  const std::size_t tab = r.find('\t', start);
  return r.substr(start, tab == std::string_view::npos ? std::string_view::npos : tab - start);
}

void GridRows::SetCell(int row, int col, std::string_view text) {
  if (row < 0 || row >= Rows() || col < 0 || col >= cols_) return;
  std::string& r = rows_[static_cast<std::size_t>(row)];
  std::string cell(text);
  std::replace(cell.begin(), cell.end(), '\t', ' ');
  const std::size_t start = FieldStart(r, col);
  if (start == std::string::npos) {
    // Empty cells up to col: the row has count(TAB) + 1 fields.
    const auto fields = static_cast<std::size_t>(std::count(r.begin(), r.end(), '\t')) + 1;
    r.append(static_cast<std::size_t>(col) + 1 - fields, '\t');
    r += cell;
    return;
  }
  const std::size_t tab = r.find('\t', start);
  r.replace(start, tab == std::string::npos ? std::string::npos : tab - start, cell);
}

void GridRows::AddRow(std::string_view tabRow) {
  // Fields past the last column are dropped.
  std::size_t end = 0;
  ForEachTabField(tabRow, cols_, [&](std::string_view cell) {
    end = static_cast<std::size_t>(cell.data() - tabRow.data()) + cell.size();
  });
  rows_.emplace_back(cols_ > 0 ? tabRow.substr(0, end) : std::string_view());
}

std::string CopyText(const GridRows& grid, int fixedRows, int top, int bottom, int left, int right) {
  std::string text;
  auto line = [&](int row) {
    for (int col = left; col <= right; ++col) {
      if (col > left) text += '\t';
      text += grid.Cell(row, col);
    }
    text += '\n';
  };
  if (fixedRows > 0 && top > 0) line(0);
  for (int row = top; row <= bottom; ++row) line(row);
  return text;
}

}  // namespace qelt
