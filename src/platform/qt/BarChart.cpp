#include "platform/qt/BarChart.hpp"

#include <qcustomplot.h>

#include <QHBoxLayout>
#include <QVBoxLayout>
#include <algorithm>

namespace qelt {

BarChart::BarChart(QWidget* parent) : QWidget(parent), plot_(new QCustomPlot(this)) {
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(plot_);
  bars_ = new QCPBars(plot_->xAxis, plot_->yAxis);
  bars_->setWidth(0.6);
  bars_->setPen(QPen(QColor(0, 0, 128)));
  bars_->setBrush(QColor(0, 0, 160));
  overBars_ = new QCPBars(plot_->xAxis, plot_->yAxis);
  overBars_->setWidth(0.6);
  overBars_->setPen(QPen(WarningColour().darker(130)));
  overBars_->setBrush(WarningColour());
  // 31 category labels share the width of the chart.
  QFont ticks = plot_->xAxis->tickLabelFont();
  ticks.setPointSizeF(7);
  plot_->xAxis->setTickLabelFont(ticks);
  plot_->yAxis->setLabel("%");
  plot_->yAxis->grid()->setSubGridVisible(false);
  plot_->xAxis->grid()->setVisible(false);
}

void BarChart::SetCategories(const QStringList& labels, const std::vector<double>& values) {
  labels_ = labels;
  values_ = values;
  values_.resize(static_cast<std::size_t>(labels.size()), 0.0);
  limits_.clear();
  auto ticker = QSharedPointer<QCPAxisTickerText>::create();
  for (int i = 0; i < labels_.size(); ++i) ticker->addTick(i + 1, labels_[i]);
  plot_->xAxis->setTicker(ticker);
  plot_->xAxis->setRange(0.4, labels_.size() + 0.6);
  Redraw();
}

void BarChart::SetLimits(const std::vector<BarLimit>& limits) {
  limits_ = limits;
  limits_.resize(values_.size());
  Redraw();
}

std::optional<double> BarChart::Limit(int category) const {
  if (category < 1 || category > static_cast<int>(limits_.size())) return std::nullopt;
  return limits_[static_cast<std::size_t>(category - 1)].Limit;
}

bool BarChart::Over(int category) const {
  return category >= 1 && category <= static_cast<int>(limits_.size()) &&
         limits_[static_cast<std::size_t>(category - 1)].Over;
}

void BarChart::Redraw() {
  for (QCPItemLine* mark : limitMarks_) plot_->removeItem(mark);
  limitMarks_.clear();
  QVector<double> keys, shown, over;
  double top = 0;
  for (int i = 0; i < static_cast<int>(values_.size()); ++i) {
    const double v = values_[static_cast<std::size_t>(i)];
    const bool isOver = Over(i + 1);
    keys << i + 1;
    shown << (isOver ? 0.0 : v);
    over << (isOver ? v : 0.0);
    top = std::max(top, v);
    if (const auto limit = Limit(i + 1)) {
      // A dash a little wider than the bar, at its limit.
      auto* mark = new QCPItemLine(plot_);
      mark->setPen(QPen(LimitColour(), 2.5));
      mark->start->setCoords(i + 1 - 0.4, *limit);
      mark->end->setCoords(i + 1 + 0.4, *limit);
      limitMarks_.push_back(mark);
      top = std::max(top, *limit);
    }
  }
  plot_->yAxis->setRange(0, top > 0 ? top * 1.05 : 1.0);
  bars_->setData(keys, shown, true);
  overBars_->setData(keys, over, true);
  plot_->replot();
}

QString BarChart::ValueAxisLabel() const { return plot_->yAxis->label(); }

void BarChart::SetValueAxisLabel(const QString& label) {
  plot_->yAxis->setLabel(label);
  plot_->replot();
}

void BarChart::AddOption(QWidget* control) {
  if (!options_) {
    options_ = new QWidget(this);
    auto* row = new QHBoxLayout(options_);
    row->setContentsMargins(4, 2, 8, 0);
    row->addStretch();
    options_->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    static_cast<QVBoxLayout*>(layout())->insertWidget(0, options_);
    QPalette p = options_->palette();
    p.setColor(QPalette::Window, Qt::white);
    options_->setPalette(p);
    options_->setAutoFillBackground(true);
  }
  control->setParent(options_);
  options_->layout()->addWidget(control);
}

double BarChart::Value(int category) const {
  if (category < 1 || category > static_cast<int>(values_.size())) return 0.0;
  return values_[static_cast<std::size_t>(category - 1)];
}

}  // namespace qelt
