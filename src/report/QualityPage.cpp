#include "report/QualityPage.hpp"

#include <qcustomplot.h>

#include <algorithm>
#include <cmath>
#include <limits>

#include "analysis/QualityText.hpp"
#include "report/ReportCanvas.hpp"
#include "report/ReportLayout.hpp"
#include "report/ReportPlots.hpp"

namespace qelt {
namespace {

using report::Pixels;

QString Q(const std::string& text) { return QString::fromStdString(text); }

const QColor PhaseColours[3] = {{205, 35, 35}, {25, 140, 55}, {30, 75, 200}};

// The figures without the period rows page 1 already shows.
ReportTable FigureRows(const QualityTables& t) {
  ReportTable rows;
  for (const auto& row : t.Figures) {
    const std::string& name = row[0];
    if (name == "Standard" || name == "Files" || name == "First record" || name == "Last record" || name == "Records")
      continue;
    rows.push_back(row);
  }
  return rows;
}

ReportTable LongestEvents(const Quality& q, const QualityTables& t) {
  std::vector<std::size_t> order(q.Events.size());
  for (std::size_t i = 0; i < order.size(); ++i) order[i] = i;
  std::stable_sort(order.begin(), order.end(),
                   [&](std::size_t a, std::size_t b) { return q.Events[a].DurationS > q.Events[b].DurationS; });
  if (order.size() > 10) order.resize(10);
  ReportTable rows{t.Events[0]};
  for (const std::size_t i : order) rows.push_back(t.Events[i + 1]);
  return rows;
}

// The 10-minute voltages that take part (valid, unflagged), a line per
// phase broken where blocks are missing, over the band from 90 to 110 % Un.
void BlockPlot(ReportCanvas& canvas, const QRectF& rect, const Quality& q) {
  QCustomPlot plot;
  plot.setAttribute(Qt::WA_DontShowOnScreen);
  plot.setBackground(Qt::NoBrush);
  plot.setLocale(QLocale::c());
  plot.axisRect()->setAutoMargins(QCP::msNone);
  plot.axisRect()->setMargins(QMargins(static_cast<int>(Pixels(report::PlotAxisLeft)), static_cast<int>(Pixels(2)),
                                       static_cast<int>(Pixels(report::PlotAxisRight)),
                                       static_cast<int>(Pixels(report::PlotAxisBottom))));
  StyleReportAxis(plot.xAxis);
  StyleReportAxis(plot.yAxis);
  auto ticker = QSharedPointer<QCPAxisTickerDateTime>::create();
  ticker->setTimeZone(QTimeZone::utc());  // the recording's own clock
  ticker->setDateTimeFormat("dd/MM\nhh:mm");
  ticker->setTickCount(7);
  plot.xAxis->setTicker(ticker);
  const double un = q.NominalV.value_or(230);
  const double nan = std::numeric_limits<double>::quiet_NaN();
  double lo = un * 0.88, hi = un * 1.12;
  for (int phase : q.Phases) {
    const auto p = static_cast<std::size_t>(phase - 1);
    QVector<double> x, y;
    double previous = -1e300;
    for (const QualityBlock& b : q.Blocks) {
      if (!b.Valid || b.Flagged || !b.V[p]) continue;
      const auto at = static_cast<double>(b.Start) + 300;
      if (at - previous > 600) x << at - 1, y << nan;
      x << at, y << *b.V[p];
      previous = at;
      lo = std::min(lo, *b.V[p] - un * 0.02);
      hi = std::max(hi, *b.V[p] + un * 0.02);
    }
    QCPGraph* graph = plot.addGraph();
    graph->setData(x, y, true);
    graph->setPen(QPen(PhaseColours[p], Pixels(0.3)));
    // A block alone between flagged ones is a point, not a line.
    graph->setScatterStyle(QCPScatterStyle(QCPScatterStyle::ssDisc, Pixels(0.7)));
  }
  const double x0 = q.Blocks.empty() ? 0 : static_cast<double>(q.Blocks.front().Start);
  const double x1 = q.Blocks.empty() ? 600 : static_cast<double>(q.Blocks.back().Start + 600);
  plot.xAxis->setRange(x0, x1);
  plot.yAxis->setRange(lo, hi);
  auto* band = new QCPItemRect(&plot);
  band->topLeft->setCoords(x0, un * 1.1);
  band->bottomRight->setCoords(x1, un * 0.9);
  band->setPen(QPen(QColor(120, 120, 120), Pixels(0.2), Qt::DashLine));
  band->setBrush(QColor(60, 160, 60, 28));
  band->setLayer("background");
  QCPPainter& painter = canvas.Painter();
  painter.save();
  painter.translate(rect.topLeft());
  plot.toPainter(&painter, static_cast<int>(rect.width()), static_cast<int>(rect.height()));
  painter.restore();
}

}  // namespace

void VoltageQualityPage(ReportCanvas& canvas, const Quality& q) {
  canvas.BeginPage();
  const QualityTables t = MakeQualityTables(q, false);
  const QRectF body = canvas.Body();
  const Qt::Alignment right = Qt::AlignRight, left = Qt::AlignLeft;
  double y = body.top() + Pixels(1);
  y += canvas.Text(QRectF(0, y, body.width(), Pixels(8)), "Voltage quality (EN 50160)", ReportCanvas::Font(12, true));
  y += canvas.Text(QRectF(0, y, body.width(), Pixels(6)), "Verdict: " + Q(t.Verdict), ReportCanvas::Font(9, true));
  y = canvas.Table(0, y + Pixels(1), FigureRows(t), {{50, left}, {28, right}, {52, left}, {20, left}}, 3.2, 6.5);

  y += Pixels(2);
  canvas.Text(QRectF(0, y, body.width(), Pixels(5)), "10-minute voltages and the band of ±10 % Un",
              ReportCanvas::Font(8.5, true));
  y += Pixels(5);
  BlockPlot(canvas, QRectF(0, y, body.width(), Pixels(44)), q);
  y += Pixels(45);

  // Side by side, with short duration headings.
  const std::vector<ColumnSpec> counts = {{26, left}, {13, right}, {14, right}, {15, right}, {13, right}};
  ReportTable dips = t.Dips, swells = t.Swells;
  for (ReportTable* table : {&dips, &swells}) (*table)[0] = {(*table)[0][0], "d <= 1 s", "1-5 s", "5-60 s", "> 60 s"};
  canvas.Text(QRectF(0, y, Pixels(80), Pixels(5)), "Dips (residual voltage, duration)", ReportCanvas::Font(8.5, true));
  canvas.Text(QRectF(Pixels(92), y, Pixels(80), Pixels(5)), "Swells", ReportCanvas::Font(8.5, true));
  y += Pixels(5);
  const double swellBottom = canvas.Table(Pixels(92), y, swells, counts, 3.3, 6.5);
  y = std::max(canvas.Table(0, y, dips, counts, 3.3, 6.5), swellBottom) + Pixels(2);

  canvas.Text(QRectF(0, y, body.width(), Pixels(5)),
              "The longest events (" + QString::number(q.Events.size()) + " in all)", ReportCanvas::Font(8.5, true));
  y += Pixels(5);
  y = canvas.Table(0, y, LongestEvents(q, t),
                   {{20, left}, {32, left}, {32, left}, {18, right}, {18, right}, {18, right}, {20, left}, {10, left}},
                   3.1, 6.5);
  y += Pixels(1.5);
  for (const std::string& note : t.Notes) {
    if (y > body.bottom() - Pixels(4)) break;
    QPainter& p = canvas.Painter();
    p.setFont(ReportCanvas::Font(6));
    p.setPen(QColor(70, 70, 70));
    const QRectF box(0, y, body.width(), body.bottom() - y);
    const QRectF used = p.boundingRect(box, Qt::TextWordWrap | Qt::AlignLeft, Q(note));
    p.drawText(box, Qt::TextWordWrap | Qt::AlignLeft, Q(note));
    y += used.height();
  }
}

}  // namespace qelt
