#pragma once
// The report's plots, drawn by one QCustomPlot (never shown) onto the page
// as vectors: a trend plot of decimated lines against time, the hourly
// profile as bars and the harmonic orders as bars. Each plot takes a title
// and legend strip at the top of its rectangle.
#include <QRectF>
#include <array>
#include <memory>
#include <optional>

#include "harmonic/Figures.hpp"
#include "report/TrendData.hpp"

class QCPAxis;
class QCustomPlot;

namespace qelt {

class ReportCanvas;

// The look every report plot gives its axes: thin black lines, outward ticks,
// light grid, the plot font.
void StyleReportAxis(QCPAxis* axis);

class ReportPlots {
 public:
  ReportPlots();
  ~ReportPlots();

  void Trend(ReportCanvas& canvas, const QRectF& rect, const TrendPlot& plot, const TrendSpan& span);
  void Hourly(ReportCanvas& canvas, const QRectF& rect, const std::array<std::optional<double>, 24>& hourlyKW);
  void Orders(ReportCanvas& canvas, const QRectF& rect, const HarmonicFigures& figures);

 private:
  std::unique_ptr<QCustomPlot> plot_;
};

}  // namespace qelt
