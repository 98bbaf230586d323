#include "report/ReportPlots.hpp"

#include <qcustomplot.h>

#include <algorithm>
#include <cmath>

#include "harmonic/Analysis.hpp"
#include "report/ReportCanvas.hpp"
#include "report/ReportLayout.hpp"
#include "report/TimeTicks.hpp"

namespace qelt {
namespace {

using report::Pixels;

// Phases in red, green and blue; totals and the neutral in dark tones.
QColor LineColour(const std::string& name) {
  if (name == "TKVAR") return {215, 110, 0};
  if (name == "TKVA") return {125, 60, 165};
  if (name == "I4") return {110, 110, 110};
  switch (name.back()) {
    case '1': return {205, 35, 35};
    case '2': return {25, 140, 55};
    case '3': return {30, 75, 200};
    default: return {20, 20, 20};
  }
}

// Ticks on whole clock units of the recording's own clock.
class MomentTicker : public QCPAxisTicker {
 protected:
  double getTickStep(const QCPRange& range) override { return TimeTickStep(range.size(), tickCount()); }
  int getSubTickCount(double) override { return 0; }
  QVector<double> createTickVector(double tickStep, const QCPRange& range) override {
    step_ = tickStep;
    lower_ = range.lower;
    return QCPAxisTicker::createTickVector(tickStep, range);
  }
  QString getTickLabel(double tick, const QLocale&, QChar, int) override {
    return QString::fromStdString(TimeTickLabel(tick, step_, tick - step_ < lower_));
  }

 private:
  double step_ = 1, lower_ = 0;
};

// The strip above a plot: its title at the left, the legend at the right.
struct LegendItem {
  QString Name;
  QColor Colour;
  bool Mark = false;  // a mark, not a line
};

void TitleStrip(ReportCanvas& canvas, const QRectF& rect, const QString& title, const std::vector<LegendItem>& items) {
  QPainter& p = canvas.Painter();
  const double height = Pixels(report::PlotTitleHeight);
  p.setPen(Qt::black);
  p.setFont(ReportCanvas::Font(9, true));
  p.drawText(QRectF(rect.left() + Pixels(report::PlotAxisLeft), rect.top(), rect.width(), height),
             Qt::AlignLeft | Qt::AlignVCenter, title);
  const QFont font = ReportCanvas::Font(7.5);
  p.setFont(font);
  const QFontMetricsF fm(font, p.device());
  const double sample = Pixels(6), space = Pixels(1.5), between = Pixels(4);
  double x = rect.right() - Pixels(report::PlotAxisRight);
  const double y = rect.top() + height / 2;
  for (auto it = items.rbegin(); it != items.rend(); ++it) {
    const double textWidth = fm.horizontalAdvance(it->Name);
    x -= textWidth;
    p.setPen(Qt::black);
    p.drawText(QRectF(x, rect.top(), textWidth + 1, height), Qt::AlignLeft | Qt::AlignVCenter, it->Name);
    x -= space;
    if (it->Mark) {
      const double s = Pixels(1.2);
      QPolygonF triangle;
      triangle << QPointF(x - 2 * s, y - s) << QPointF(x, y - s) << QPointF(x - s, y + s);
      p.setPen(Qt::NoPen);
      p.setBrush(QColor(90, 90, 90));
      p.drawPolygon(triangle);
      p.setBrush(Qt::NoBrush);
      x -= 2 * s;
    } else {
      p.setPen(QPen(it->Colour, Pixels(0.5)));
      p.drawLine(QPointF(x - sample, y), QPointF(x, y));
      x -= sample;
    }
    x -= between;
  }
}

// The plot's frame: fixed margins, so every plot's data area has the same
// place and width (the trend lines were reduced to that width).
void Prepare(QCustomPlot& plot) {
  plot.clearPlottables();
  plot.clearItems();
  plot.setLocale(QLocale::c());
  QCPAxisRect* rect = plot.axisRect();
  rect->setAutoMargins(QCP::msNone);
  rect->setMargins(
      QMargins(static_cast<int>(Pixels(report::PlotAxisLeft)), static_cast<int>(Pixels(report::PlotAxisTop)),
               static_cast<int>(Pixels(report::PlotAxisRight)), static_cast<int>(Pixels(report::PlotAxisBottom))));
  StyleReportAxis(plot.xAxis);
  StyleReportAxis(plot.yAxis);
  plot.xAxis->setLabel(QString());
  plot.yAxis->setLabel(QString());
  plot.xAxis2->setVisible(true);
  plot.yAxis2->setVisible(true);
  for (QCPAxis* a : {plot.xAxis2, plot.yAxis2}) {
    a->setTicks(false);
    a->setTickLabels(false);
    a->setBasePen(QPen(Qt::black, Pixels(0.2)));
  }
}

// Draws the plot below the title strip.
void Render(ReportCanvas& canvas, QCustomPlot& plot, const QRectF& rect) {
  const double top = rect.top() + Pixels(report::PlotTitleHeight);
  QCPPainter& p = canvas.Painter();
  p.save();
  p.translate(rect.left(), top);
  plot.toPainter(&p, static_cast<int>(rect.width()), static_cast<int>(rect.bottom() - top));
  p.restore();
}

QCPRange Padded(double lo, double hi, bool withZero) {
  if (withZero) lo = std::min(lo, 0.0), hi = std::max(hi, 0.0);
  if (hi - lo < 1e-9) return {lo - 1, hi + 1};
  const double pad = (hi - lo) * 0.06;
  return {withZero && lo == 0 ? 0 : lo - pad, hi + pad};
}

void NoValues(ReportCanvas& canvas, const QRectF& rect, const QString& text) {
  QPainter& p = canvas.Painter();
  const QRectF area(rect.left() + Pixels(report::PlotAxisLeft),
                    rect.top() + Pixels(report::PlotTitleHeight + report::PlotAxisTop),
                    rect.width() - Pixels(report::PlotAxisLeft + report::PlotAxisRight),
                    rect.height() - Pixels(report::PlotTitleHeight + report::PlotAxisTop + report::PlotAxisBottom));
  p.setPen(QColor(120, 120, 120));
  p.setFont(ReportCanvas::Font(8));
  p.drawText(area, Qt::AlignCenter, text);
}

// A bar chart's axes, one tick per bar from `from` to `to`, and its bars.
QCPBars* BarAxes(QCustomPlot& plot, double from, double to, const QString& xLabel, const QString& yLabel, double width,
                 const QColor& fill) {
  auto ticker = QSharedPointer<QCPAxisTickerFixed>::create();
  ticker->setTickStep(1);
  ticker->setScaleStrategy(QCPAxisTickerFixed::ssNone);
  plot.xAxis->setTicker(ticker);
  plot.xAxis->setSubTicks(false);
  plot.xAxis->setRange(from, to);
  plot.xAxis->setLabel(xLabel);
  plot.xAxis->grid()->setVisible(false);
  plot.yAxis->setTicker(QSharedPointer<QCPAxisTicker>::create());
  plot.yAxis->setLabel(yLabel);
  auto* bars = new QCPBars(plot.xAxis, plot.yAxis);
  bars->setWidth(width);
  bars->setPen(QPen(QColor(20, 20, 20), Pixels(0.15)));
  bars->setBrush(fill);
  return bars;
}

}  // namespace

ReportPlots::ReportPlots() : plot_(std::make_unique<QCustomPlot>()) {
  plot_->setAttribute(Qt::WA_DontShowOnScreen);
  plot_->setNoAntialiasingOnDrag(false);
  plot_->setBackground(Qt::NoBrush);
}

ReportPlots::~ReportPlots() = default;

void ReportPlots::Trend(ReportCanvas& canvas, const QRectF& rect, const TrendPlot& trend, const TrendSpan& span) {
  QCustomPlot& plot = *plot_;
  Prepare(plot);
  auto ticker = QSharedPointer<MomentTicker>::create();
  ticker->setTickCount(7);
  plot.xAxis->setTicker(ticker);
  plot.xAxis->setRange(span.X0, span.X1);
  plot.yAxis->setTicker(QSharedPointer<QCPAxisTicker>::create());
  plot.yAxis->setLabel(QString::fromUtf8(trend.Group->Unit));

  std::vector<LegendItem> legend;
  bool numbers = false, marks = false;
  double lo = 0, hi = 0;
  for (const TrendLine& line : trend.Lines) {
    const std::string name = QuantityNames[static_cast<std::size_t>(line.Quantity)];
    legend.push_back({QString::fromStdString(name), LineColour(name)});
    if (line.Data.HasNumbers()) {
      lo = numbers ? std::min(lo, line.Data.Min()) : line.Data.Min();
      hi = numbers ? std::max(hi, line.Data.Max()) : line.Data.Max();
      numbers = true;
    }
    marks = marks || !line.Data.Marks().empty();
  }
  const QCPRange y = numbers ? Padded(lo, hi, false) : QCPRange(0, 1);
  plot.yAxis->setRange(y);
  // Over-range points sit just inside the top of the plot.
  const double axisHeight =
      rect.height() - Pixels(report::PlotTitleHeight + report::PlotAxisTop + report::PlotAxisBottom);
  const double markY = y.upper - y.size() * Pixels(1.3) / std::max(axisHeight, 1.0);
  for (const TrendLine& line : trend.Lines) {
    const QColor colour = LineColour(QuantityNames[static_cast<std::size_t>(line.Quantity)]);
    QVector<double> keys, values;
    for (const LinePoint& point : line.Data.Points()) {
      keys.push_back(point.X);
      values.push_back(point.Y);
    }
    QCPGraph* graph = plot.addGraph();
    graph->setPen(QPen(colour, Pixels(0.22)));
    graph->setAdaptiveSampling(false);
    graph->setData(keys, values, true);
    const std::vector<double> markX = line.Data.Marks();
    if (markX.empty()) continue;
    QCPGraph* markGraph = plot.addGraph();
    markGraph->setLineStyle(QCPGraph::lsNone);
    markGraph->setScatterStyle(QCPScatterStyle(QCPScatterStyle::ssTriangleInverted, colour, colour, Pixels(1.8)));
    QVector<double> mk(markX.begin(), markX.end()), mv(static_cast<int>(markX.size()), markY);
    markGraph->setData(mk, mv, true);
  }
  if (marks) legend.push_back({"over-range", Qt::black, true});
  TitleStrip(canvas, rect, QString::fromUtf8(trend.Group->Title), legend);
  Render(canvas, plot, rect);
  if (!numbers && !marks) NoValues(canvas, rect, "no readings");
}

void ReportPlots::Hourly(ReportCanvas& canvas, const QRectF& rect,
                         const std::array<std::optional<double>, 24>& hourlyKW) {
  QCustomPlot& plot = *plot_;
  Prepare(plot);
  QCPBars* bars = BarAxes(plot, -0.7, 23.7, "hour of the day", "kW", 0.7, QColor(120, 130, 150));
  QVector<double> keys, values;
  double lo = 0, hi = 0;
  for (int h = 0; h < 24; ++h) {
    if (!hourlyKW[static_cast<std::size_t>(h)]) continue;
    const double v = *hourlyKW[static_cast<std::size_t>(h)];
    keys.push_back(h);
    values.push_back(v);
    lo = std::min(lo, v);
    hi = std::max(hi, v);
  }
  bars->setData(keys, values, true);
  plot.yAxis->setRange(Padded(lo, hi, true));
  TitleStrip(canvas, rect, "Hourly profile of TKW (mean of each hour of the day)", {{"TKW", QColor(120, 130, 150)}});
  Render(canvas, plot, rect);
  if (keys.isEmpty()) NoValues(canvas, rect, "no readings");
}

void ReportPlots::Orders(ReportCanvas& canvas, const QRectF& rect, const HarmonicFigures& figures) {
  QCustomPlot& plot = *plot_;
  Prepare(plot);
  QCPBars* bars = BarAxes(plot, 0.3, 31.7, "order", "% of the fundamental", 0.65, QColor(70, 110, 170));
  const OrdersView view = ChooseOrders(figures, HighestOrder);
  QVector<double> keys, values;
  double hi = 0;
  for (int h = 1; h <= static_cast<int>(view.Values.size()); ++h) {
    const double v = view.Values[static_cast<std::size_t>(h - 1)];
    keys.push_back(h);
    values.push_back(v);
    hi = std::max(hi, v);
  }
  bars->setData(keys, values, true);
  plot.yAxis->setRange(0, hi > 0 ? hi * 1.12 : 1);
  // The ratio above each bar that is more than a hair.
  for (int h = 1; h <= static_cast<int>(view.Values.size()); ++h) {
    const double v = view.Values[static_cast<std::size_t>(h - 1)];
    if (!(v >= 0.05)) continue;
    auto* label = new QCPItemText(&plot);
    label->position->setCoords(h, v);
    label->setPositionAlignment(Qt::AlignHCenter | Qt::AlignBottom);
    label->setFont(ReportCanvas::PlotFont(5));
    label->setPadding(QMargins(0, 0, 0, static_cast<int>(Pixels(0.4))));
    label->setText(QString::fromStdString(FigureText(v)));
  }
  TitleStrip(canvas, rect, "Orders 1 to 31, ORD % (magnitude in % of the fundamental)", {});
  Render(canvas, plot, rect);
}

void StyleReportAxis(QCPAxis* axis) {
  axis->setTickLabelFont(ReportCanvas::PlotFont(7));
  axis->setLabelFont(ReportCanvas::PlotFont(7.5));
  axis->setBasePen(QPen(Qt::black, Pixels(0.2)));
  axis->setTickPen(QPen(Qt::black, Pixels(0.2)));
  axis->setSubTickPen(QPen(Qt::black, Pixels(0.15)));
  axis->setTickLengthIn(0);
  axis->setTickLengthOut(static_cast<int>(Pixels(1)));
  axis->setSubTickLengthIn(0);
  axis->setSubTickLengthOut(static_cast<int>(Pixels(0.5)));
  axis->setTickLabelPadding(static_cast<int>(Pixels(0.8)));
  axis->setLabelPadding(static_cast<int>(Pixels(0.8)));
  axis->grid()->setPen(QPen(QColor(215, 215, 215), Pixels(0.15)));
  axis->grid()->setZeroLinePen(QPen(QColor(150, 150, 150), Pixels(0.2)));
}

}  // namespace qelt
