#pragma once
// A plotted line reduced to at most two points per pixel column: the lowest
// and the highest value of each column, in the order they came, so peaks
// survive and a drawing of a million records holds no more points than one
// of a thousand. Memory is fixed by the column count, whatever is added.
#include <cstdint>
#include <vector>

namespace qelt {

// Y is NaN where the line breaks (the plot leaves a hole there).
struct LinePoint {
  double X;
  double Y;
};

class ColumnDecimator {
 public:
  // X from x0 to x1 spread over `columns` equal columns; an X outside falls
  // into the edge column. x1 <= x0 puts everything into one column.
  ColumnDecimator(double x0, double x1, int columns);

  // A number of the line.
  void Add(double x, double y);
  // The line does not run on from its last number to the next one: a gap in
  // the recording, or a record without a number for this line.
  void Break();
  // An over-range point ("OL", "-OL"): no number, a mark at the plot's edge.
  void Mark(double x);

  // The line in column order; within a column the minimum and the maximum at
  // their own X, in the order they were added. A break is a NaN point after
  // the column holding the last number before it.
  std::vector<LinePoint> Points() const;
  // X of the first mark of each marked column, in column order.
  std::vector<double> Marks() const;

  bool HasNumbers() const { return numbers_ > 0; }
  double Min() const { return min_; }  // of every number added
  double Max() const { return max_; }
  int Columns() const { return static_cast<int>(columns_.size()); }

 private:
  struct Column {
    double MinX = 0, MinY = 0, MaxX = 0, MaxY = 0;
    double MarkX = 0;
    std::uint32_t Count = 0;
    bool MinFirst = true;  // the minimum came before the maximum
    bool BreakAfter = false;
    bool Marked = false;
  };
  int ColumnOf(double x) const;

  double x0_;
  double scale_;  // columns per X unit
  std::vector<Column> columns_;
  int last_ = -1;  // column of the last number
  std::int64_t numbers_ = 0;
  double min_ = 0, max_ = 0;
};

}  // namespace qelt
