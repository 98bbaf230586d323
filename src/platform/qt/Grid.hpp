#pragma once
// The record grid: a QTableView over a GridModel of text rows, with the grid
// operations the windows use. Rows and columns are counted as grid rows:
// with a fixed title row, row 0 is the titles (shown as the header) and the
// records start at row 1.
#include <QTableView>
#include <string>
#include <string_view>

#include "platform/qt/GridModel.hpp"

namespace qelt {

class Grid : public QTableView {
  Q_OBJECT
 public:
  explicit Grid(int cols, int fixedRows = 1, QWidget* parent = nullptr);

  GridModel& Model() { return *model_; }
  const GridRows& Data() const { return model_->Rows(); }

  int Rows() const { return model_->Rows().Rows(); }
  void SetRows(int rows) { model_->SetRowCount(rows); }
  int Cols() const { return model_->Rows().Cols(); }
  void SetCols(int cols) { model_->SetColCount(cols); }

  // The current cell.
  int Row() const { return row_; }
  int Col() const { return col_; }
  void SetCurrentCell(int row, int col);
  std::string Text() const { return TextMatrix(row_, col_); }
  void SetText(std::string_view text) { SetTextMatrix(row_, col_, text); }

  std::string TextMatrix(int row, int col) const { return std::string(Data().Cell(row, col)); }
  void SetTextMatrix(int row, int col, std::string_view text) { model_->SetCell(row, col, text); }

  // Column width in pixels.
  int ColWidth(int col) const { return columnWidth(col); }
  void SetColWidth(int col, int pixels) { setColumnWidth(col, pixels); }
  // The printed width of the sample in the grid's font.
  void SetColWidthFromSample(int col, const QString& sample);
  int SampleWidth(const QString& sample) const;

  // Appends a row from a TAB-separated text (one cell per field).
  void AddItem(std::string_view tabRow) { model_->AddRow(tabRow); }

  // The selected cells (their bounding range) with the titles, as CopyText
  // gives them; "" when nothing is selected. Ctrl+C puts it on the clipboard.
  std::string SelectionText() const;

  // The first record row in view (>= the fixed rows), and scrolling to one.
  int TopRow() const;
  void SetTopRow(int row);

 signals:
  // A click on a cell, in grid rows (a click on a title gives row 0).
  void Click(int row, int col);

 protected:
  void keyPressEvent(QKeyEvent* event) override;

 private:
  GridModel* model_;
  int row_ = 0;
  int col_ = 0;
};

}  // namespace qelt
