#pragma once
// One report being drawn: the painter on the PDF pages, the header and footer
// of every page, and the text, fact and table helpers the pages share.
// Coordinates are device pixels (ReportLayout's Resolution), origin at the
// top left of the body (inside the margins).
#include <QFont>
#include <QRectF>
#include <QString>
#include <vector>

#include "report/ReportText.hpp"

class QPdfWriter;
class QCPPainter;

namespace qelt {

struct ColumnSpec {
  double WidthMm;
  Qt::Alignment Align;
};

class ReportCanvas {
 public:
  ReportCanvas(QPdfWriter& writer, QCPPainter& painter, QString title, QString names, QString made, int pages);

  // The next page with its header and footer; the first call starts page 1.
  void BeginPage();
  int Page() const { return page_; }
  // The area between the header and the footer.
  QRectF Body() const;

  QCPPainter& Painter() { return painter_; }
  static double Px(double mm);
  // A font sized in points for the page (the PDF device's resolution).
  static QFont Font(double points, bool bold = false);
  // The same size in pixels, for the plots, which lay their texts out with
  // screen metrics.
  static QFont PlotFont(double points, bool bold = false);

  // A line of text at the top of rect; returns its height in pixels.
  double Text(const QRectF& rect, const QString& text, const QFont& font, Qt::Alignment align = Qt::AlignLeft);
  // Label and value lines from top; returns the bottom.
  double Facts(double top, const ReportFacts& facts, double labelMm, double points = 8.5);
  // A table from top with row 0 as its heading, rows shaded alternately;
  // returns the bottom.
  double Table(double left, double top, const ReportTable& table, const std::vector<ColumnSpec>& columns, double rowMm,
               double points = 7.5);

 private:
  void HeaderAndFooter();

  QPdfWriter& writer_;
  QCPPainter& painter_;
  QString title_, names_, made_;
  int pages_;
  int page_ = 0;
};

}  // namespace qelt
