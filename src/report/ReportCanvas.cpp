#include "report/ReportCanvas.hpp"

#include <qcustomplot.h>

#include <QFontMetricsF>
#include <QPdfWriter>
#include <cmath>
#include <utility>

#include "report/ReportLayout.hpp"

namespace qelt {

namespace {
const char* const Family = "Arial";  // Liberation Sans where Arial is missing
}

ReportCanvas::ReportCanvas(QPdfWriter& writer, QCPPainter& painter, QString title, QString names, QString made,
                           int pages)
    : writer_(writer),
      painter_(painter),
      title_(std::move(title)),
      names_(std::move(names)),
      made_(std::move(made)),
      pages_(pages) {}

double ReportCanvas::Px(double mm) { return report::Pixels(mm); }

QFont ReportCanvas::Font(double points, bool bold) {
  QFont font(Family);
  font.setPointSizeF(points);
  font.setBold(bold);
  return font;
}

QFont ReportCanvas::PlotFont(double points, bool bold) {
  QFont font(Family);
  font.setPixelSize(static_cast<int>(std::lround(points * report::Resolution / 72.0)));
  font.setBold(bold);
  return font;
}

QRectF ReportCanvas::Body() const {
  return QRectF(0, Px(report::HeaderHeight), Px(report::BodyWidth),
                Px(report::BodyHeight - report::HeaderHeight - report::FooterHeight));
}

void ReportCanvas::BeginPage() {
  if (page_ > 0) writer_.newPage();
  ++page_;
  HeaderAndFooter();
}

void ReportCanvas::HeaderAndFooter() {
  const double width = Px(report::BodyWidth), bottom = Px(report::BodyHeight);
  painter_.setPen(Qt::black);
  const QFont head = Font(8.5, true), foot = Font(7);
  const QString pageText = QString::fromStdString(PageNumberText(page_, pages_));
  const double pageWidth = QFontMetricsF(Font(8.5), &writer_).horizontalAdvance(pageText);
  painter_.setFont(head);
  const QFontMetricsF hm(head, &writer_);
  painter_.drawText(QRectF(0, 0, width - pageWidth - Px(4), Px(6)), Qt::AlignLeft | Qt::AlignBottom,
                    hm.elidedText(title_, Qt::ElideRight, width - pageWidth - Px(4)));
  painter_.setFont(Font(8.5));
  painter_.drawText(QRectF(0, 0, width, Px(6)), Qt::AlignRight | Qt::AlignBottom, pageText);
  painter_.setPen(QPen(QColor(90, 90, 90), Px(0.25)));
  painter_.drawLine(QPointF(0, Px(7)), QPointF(width, Px(7)));
  painter_.drawLine(QPointF(0, bottom - Px(6)), QPointF(width, bottom - Px(6)));
  painter_.setPen(Qt::black);
  painter_.setFont(foot);
  const QFontMetricsF fm(foot, &writer_);
  const double madeWidth = fm.horizontalAdvance(made_);
  painter_.drawText(QRectF(0, bottom - Px(5), width - madeWidth - Px(4), Px(5)), Qt::AlignLeft | Qt::AlignTop,
                    fm.elidedText(names_, Qt::ElideMiddle, width - madeWidth - Px(4)));
  painter_.drawText(QRectF(0, bottom - Px(5), width, Px(5)), Qt::AlignRight | Qt::AlignTop, made_);
}

double ReportCanvas::Text(const QRectF& rect, const QString& text, const QFont& font, Qt::Alignment align) {
  painter_.setFont(font);
  painter_.setPen(Qt::black);
  const QFontMetricsF fm(font, &writer_);
  painter_.drawText(QRectF(rect.left(), rect.top(), rect.width(), fm.height()), align | Qt::AlignTop, text);
  return fm.height();
}

double ReportCanvas::Facts(double top, const ReportFacts& facts, double labelMm, double points) {
  const QFont label = Font(points, true), value = Font(points);
  const double line = QFontMetricsF(value, &writer_).height() * 1.25;
  for (const auto& [name, text] : facts) {
    Text(QRectF(0, top, Px(labelMm), line), QString::fromStdString(name), label);
    Text(QRectF(Px(labelMm), top, Px(report::BodyWidth - labelMm), line), QString::fromStdString(text), value);
    top += line;
  }
  return top;
}

double ReportCanvas::Table(double left, double top, const ReportTable& table, const std::vector<ColumnSpec>& columns,
                           double rowMm, double points) {
  const double row = Px(rowMm), pad = Px(1.2);
  double width = 0;
  for (const ColumnSpec& c : columns) width += Px(c.WidthMm);
  const QFont heading = Font(points, true), body = Font(points);
  for (std::size_t r = 0; r < table.size(); ++r) {
    const double y = top + static_cast<double>(r) * row;
    if (r == 0)
      painter_.fillRect(QRectF(left, y, width, row), QColor(225, 225, 225));
    else if (r % 2 == 0)
      painter_.fillRect(QRectF(left, y, width, row), QColor(244, 244, 244));
    painter_.setFont(r == 0 ? heading : body);
    painter_.setPen(Qt::black);
    double x = left;
    for (std::size_t c = 0; c < columns.size() && c < table[r].size(); ++c) {
      const double w = Px(columns[c].WidthMm);
      painter_.drawText(QRectF(x + pad, y, w - 2 * pad, row), columns[c].Align | Qt::AlignVCenter,
                        QString::fromStdString(table[r][c]));
      x += w;
    }
  }
  const double bottom = top + static_cast<double>(table.size()) * row;
  painter_.setPen(QPen(QColor(120, 120, 120), Px(0.2)));
  painter_.drawLine(QPointF(left, top + row), QPointF(left + width, top + row));
  painter_.drawLine(QPointF(left, bottom), QPointF(left + width, bottom));
  return bottom;
}

}  // namespace qelt
