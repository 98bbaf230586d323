#include "report/Decimation.hpp"

#include <algorithm>
#include <cmath>
#include <limits>

namespace qelt {

ColumnDecimator::ColumnDecimator(double x0, double x1, int columns)
    : x0_(x0), scale_(x1 > x0 ? std::max(columns, 1) / (x1 - x0) : 0.0), columns_(std::max(columns, 1)) {}

int ColumnDecimator::ColumnOf(double x) const {
  const double c = std::floor((x - x0_) * scale_);
  // NaN and anything before x0 go to the first column.
  if (!(c > 0)) return 0;
  return static_cast<int>(std::min(c, static_cast<double>(columns_.size() - 1)));
}

void ColumnDecimator::Add(double x, double y) {
  if (!std::isfinite(y)) {
    Break();
    return;
  }
  const int i = ColumnOf(x);
  Column& c = columns_[static_cast<std::size_t>(i)];
  if (c.Count == 0) {
    c.MinX = c.MaxX = x;
    c.MinY = c.MaxY = y;
  } else if (y < c.MinY) {
    c.MinX = x;
    c.MinY = y;
    c.MinFirst = false;
  } else if (y > c.MaxY) {
    c.MaxX = x;
    c.MaxY = y;
    c.MinFirst = true;
  }
  ++c.Count;
  last_ = i;
  if (numbers_++ == 0) {
    min_ = max_ = y;
  } else {
    min_ = std::min(min_, y);
    max_ = std::max(max_, y);
  }
}

void ColumnDecimator::Break() {
  if (last_ >= 0) columns_[static_cast<std::size_t>(last_)].BreakAfter = true;
}

void ColumnDecimator::Mark(double x) {
  Column& c = columns_[static_cast<std::size_t>(ColumnOf(x))];
  if (c.Marked) return;
  c.Marked = true;
  c.MarkX = x;
}

std::vector<LinePoint> ColumnDecimator::Points() const {
  constexpr double hole = std::numeric_limits<double>::quiet_NaN();
  std::vector<LinePoint> points;
  bool open = false;  // the last point emitted is a number
  for (const Column& c : columns_) {
    if (c.Count > 0) {
      const LinePoint lo{c.MinX, c.MinY}, hi{c.MaxX, c.MaxY};
      if (c.MinY == c.MaxY) {
        points.push_back(lo);
      } else if (c.MinFirst) {
        points.push_back(lo);
        points.push_back(hi);
      } else {
        points.push_back(hi);
        points.push_back(lo);
      }
      open = true;
    }
    if (c.BreakAfter && open) {
      points.push_back({points.back().X, hole});
      open = false;
    }
  }
  return points;
}

std::vector<double> ColumnDecimator::Marks() const {
  std::vector<double> xs;
  for (const Column& c : columns_)
    if (c.Marked) xs.push_back(c.MarkX);
  return xs;
}

}  // namespace qelt
