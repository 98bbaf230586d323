#include "platform/qt/Grid.hpp"

#include <QClipboard>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QScrollBar>
#include <algorithm>

namespace qelt {

Grid::Grid(int cols, int fixedRows, QWidget* parent)
    : QTableView(parent), model_(new GridModel(cols, fixedRows, this)) {
  setModel(model_);
  setVerticalScrollMode(ScrollPerItem);
  setHorizontalScrollMode(ScrollPerPixel);
  // Ranges (drag, Shift+click, Ctrl+A) for copying into a spreadsheet.
  setSelectionMode(ExtendedSelection);
  setSelectionBehavior(SelectItems);
  setEditTriggers(NoEditTriggers);
  setWordWrap(false);
  setTextElideMode(Qt::ElideNone);
  verticalHeader()->hide();
  // Equal fixed row heights keep appending and scrolling cheap for any row count.
  verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 4);
  horizontalHeader()->setVisible(fixedRows > 0);
  horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
  horizontalHeader()->setHighlightSections(false);
  horizontalHeader()->setSectionsClickable(true);
  horizontalHeader()->setMinimumSectionSize(1);

  connect(this, &QTableView::clicked, this, [this](const QModelIndex& index) {
    row_ = index.row() + model_->FixedRows();
    col_ = index.column();
    emit Click(row_, col_);
  });
  connect(horizontalHeader(), &QHeaderView::sectionClicked, this, [this](int col) {
    if (model_->FixedRows() == 0) return;
    row_ = 0;
    col_ = col;
    emit Click(row_, col_);
  });
}

void Grid::SetCurrentCell(int row, int col) {
  row_ = std::clamp(row, 0, std::max(0, Rows() - 1));
  col_ = std::clamp(col, 0, std::max(0, Cols() - 1));
  int modelRow = row_ - model_->FixedRows();
  if (modelRow >= 0)
    setCurrentIndex(model_->index(modelRow, col_));
  else
    clearSelection();
}

int Grid::SampleWidth(const QString& sample) const { return fontMetrics().horizontalAdvance(sample); }

void Grid::SetColWidthFromSample(int col, const QString& sample) { setColumnWidth(col, SampleWidth(sample)); }

int Grid::TopRow() const {
  // Scrolling is by whole rows, so the scroll position is the first row in view.
  return verticalScrollBar()->value() + model_->FixedRows();
}

void Grid::SetTopRow(int row) {
  updateGeometries();  // the scroll range follows rows appended since the last layout
  verticalScrollBar()->setValue(std::max(0, row - model_->FixedRows()));
}

std::string Grid::SelectionText() const {
  const QModelIndexList chosen = selectionModel()->selectedIndexes();
  if (chosen.isEmpty()) return {};
  int top = chosen.front().row(), bottom = top, left = chosen.front().column(), right = left;
  for (const QModelIndex& index : chosen) {
    top = std::min(top, index.row());
    bottom = std::max(bottom, index.row());
    left = std::min(left, index.column());
    right = std::max(right, index.column());
  }
  const int fixed = model_->FixedRows();
  return CopyText(Data(), fixed, top + fixed, bottom + fixed, left, right);
}

void Grid::keyPressEvent(QKeyEvent* event) {
  if (event->matches(QKeySequence::Copy)) {
    const std::string text = SelectionText();
    if (!text.empty()) QGuiApplication::clipboard()->setText(QString::fromStdString(text));
    event->accept();
    return;
  }
  QTableView::keyPressEvent(event);
}

}  // namespace qelt
