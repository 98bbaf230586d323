#pragma once
// A table model over text rows. With one fixed row, row 0 holds the column
// titles and shows as the horizontal header; the other rows are the model's.
#include <QAbstractTableModel>
#include <functional>
#include <string>
#include <string_view>
#include <utility>

#include "platform/GridRows.hpp"

namespace qelt {

class GridModel : public QAbstractTableModel {
  Q_OBJECT
 public:
  explicit GridModel(int cols, int fixedRows = 1, QObject* parent = nullptr);

  const GridRows& Rows() const { return rows_; }
  int FixedRows() const { return fixed_; }

  void SetRowCount(int rows);  // grid rows, the fixed one included
  void SetColCount(int cols);
  void SetCell(int row, int col, std::string_view text);
  // Appends one grid row from a TAB-separated text; O(1).
  void AddRow(std::string_view tabRow);

  // How a column title's tool tip follows from its text ("" for none).
  void SetTitleTip(std::function<std::string(std::string_view title)> tip) { titleTip_ = std::move(tip); }

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;

 private:
  GridRows rows_;
  int fixed_;
  std::function<std::string(std::string_view title)> titleTip_;
};

}  // namespace qelt
