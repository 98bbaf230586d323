#include "platform/qt/GridModel.hpp"

#include <algorithm>

namespace qelt {
namespace {
QString ToQt(std::string_view text) { return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())); }
}  // namespace

GridModel::GridModel(int cols, int fixedRows, QObject* parent)
    : QAbstractTableModel(parent), rows_(cols), fixed_(std::clamp(fixedRows, 0, 1)) {
  rows_.SetRows(fixed_);
}

void GridModel::SetRowCount(int rows) {
  rows = std::max(rows, fixed_);
  int current = rows_.Rows();
  if (rows > current) {
    beginInsertRows({}, current - fixed_, rows - fixed_ - 1);
    rows_.SetRows(rows);
    endInsertRows();
  } else if (rows < current) {
    beginRemoveRows({}, rows - fixed_, current - fixed_ - 1);
    rows_.SetRows(rows);
    endRemoveRows();
  }
}

void GridModel::SetColCount(int cols) {
  cols = std::max(cols, 0);
  int current = rows_.Cols();
  if (cols > current) {
    beginInsertColumns({}, current, cols - 1);
    rows_.SetCols(cols);
    endInsertColumns();
  } else if (cols < current) {
    beginRemoveColumns({}, cols, current - 1);
    rows_.SetCols(cols);
    endRemoveColumns();
  }
}

void GridModel::SetCell(int row, int col, std::string_view text) {
  if (row < 0 || row >= rows_.Rows() || col < 0 || col >= rows_.Cols()) return;
  rows_.SetCell(row, col, text);
  if (row < fixed_) {
    emit headerDataChanged(Qt::Horizontal, col, col);
  } else {
    QModelIndex at = index(row - fixed_, col);
    emit dataChanged(at, at, {Qt::DisplayRole});
  }
}

void GridModel::AddRow(std::string_view tabRow) {
  int row = rows_.Rows() - fixed_;
  beginInsertRows({}, row, row);
  rows_.AddRow(tabRow);
  endInsertRows();
}

int GridModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : rows_.Rows() - fixed_; }

int GridModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : rows_.Cols(); }

QVariant GridModel::data(const QModelIndex& index, int role) const {
  if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid)) return {};
  if (role != Qt::DisplayRole) return {};
  return ToQt(rows_.Cell(index.row() + fixed_, index.column()));
}

QVariant GridModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (role == Qt::ToolTipRole && orientation == Qt::Horizontal && fixed_ && titleTip_) {
    if (section < 0 || section >= rows_.Cols()) return {};
    const std::string tip = titleTip_(rows_.Cell(0, section));
    return tip.empty() ? QVariant() : QVariant(QString::fromStdString(tip));
  }
  if (role != Qt::DisplayRole) return {};
  if (orientation == Qt::Horizontal) {
    if (section < 0 || section >= rows_.Cols()) return {};
    return fixed_ ? ToQt(rows_.Cell(0, section)) : QVariant();
  }
  if (section < 0 || section >= rowCount()) return {};
  return section + fixed_;
}

Qt::ItemFlags GridModel::flags(const QModelIndex& index) const {
  if (!index.isValid()) return Qt::NoItemFlags;
  return Qt::ItemIsEnabled | Qt::ItemIsSelectable;
}

}  // namespace qelt
