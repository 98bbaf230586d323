#include "platform/GridRows.hpp"

#include <algorithm>

#include "text/TabFields.hpp"

namespace qelt {

void GridRows::SetRows(int rows) { rows_.resize(static_cast<std::size_t>(std::max(0, rows))); }

void GridRows::SetCols(int cols) {
  cols_ = std::max(0, cols);
  for (auto& row : rows_) {
    if (row.Ends.size() > static_cast<std::size_t>(cols_)) {
      row.Ends.resize(static_cast<std::size_t>(cols_));
      row.Text.resize(row.Ends.empty() ? 0 : row.Ends.back());
    }
  }
}

std::string_view GridRows::Cell(int row, int col) const {
  if (row < 0 || row >= Rows() || col < 0 || col >= cols_) return {};
  const Row& r = rows_[static_cast<std::size_t>(row)];
  auto c = static_cast<std::size_t>(col);
  if (c >= r.Ends.size()) return {};
  std::uint32_t begin = c == 0 ? 0 : r.Ends[c - 1];
  return std::string_view(r.Text).substr(begin, r.Ends[c] - begin);
}

void GridRows::SetCell(int row, int col, std::string_view text) {
  if (row < 0 || row >= Rows() || col < 0 || col >= cols_) return;
  Row& r = rows_[static_cast<std::size_t>(row)];
  auto c = static_cast<std::size_t>(col);
  while (r.Ends.size() <= c) r.Ends.push_back(static_cast<std::uint32_t>(r.Text.size()));
  std::uint32_t begin = c == 0 ? 0 : r.Ends[c - 1];
  std::uint32_t oldLength = r.Ends[c] - begin;
  r.Text.replace(begin, oldLength, text);
  auto delta = static_cast<std::int64_t>(text.size()) - static_cast<std::int64_t>(oldLength);
  for (std::size_t k = c; k < r.Ends.size(); ++k)
    r.Ends[k] = static_cast<std::uint32_t>(static_cast<std::int64_t>(r.Ends[k]) + delta);
}

void GridRows::AddRow(std::string_view tabRow) {
  Row row;
  row.Ends.reserve(static_cast<std::size_t>(cols_));
  ForEachTabField(tabRow, cols_, [&row](std::string_view cell) {
    row.Text.append(cell);
    row.Ends.push_back(static_cast<std::uint32_t>(row.Text.size()));
  });
  rows_.push_back(std::move(row));
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
