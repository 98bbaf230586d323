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
  QVector<double> keys, shown;
  auto ticker = QSharedPointer<QCPAxisTickerText>::create();
  double top = 0;
  for (int i = 0; i < labels_.size(); ++i) {
    keys << i + 1;
    shown << values_[static_cast<std::size_t>(i)];
    ticker->addTick(i + 1, labels_[i]);
    top = std::max(top, values_[static_cast<std::size_t>(i)]);
  }
  plot_->xAxis->setTicker(ticker);
  plot_->xAxis->setRange(0.4, labels_.size() + 0.6);
  plot_->yAxis->setRange(0, top > 0 ? top * 1.05 : 1.0);
  bars_->setData(keys, shown, true);
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
