#pragma once
// The harmonic chart: one series of bars over labelled categories, drawn by
// QCustomPlot. Categories are numbered from 1.
#include <QStringList>
#include <QWidget>
#include <vector>

class QCustomPlot;
class QCPBars;

namespace qelt {

class BarChart : public QWidget {
  Q_OBJECT
 public:
  explicit BarChart(QWidget* parent = nullptr);

  // Replaces the categories: labels[i] and values[i] are category i + 1.
  void SetCategories(const QStringList& labels, const std::vector<double>& values);
  int Count() const { return labels_.size(); }
  QString Label(int category) const { return labels_.value(category - 1); }
  double Value(int category) const;
  QString ValueAxisLabel() const;
  void SetValueAxisLabel(const QString& label);
  // A control in a row above the plot, at its right end (a choice of what
  // the chart shows).
  void AddOption(QWidget* control);

  QCustomPlot& Plot() { return *plot_; }

 private:
  QCustomPlot* plot_;
  QWidget* options_ = nullptr;
  QCPBars* bars_;
  QStringList labels_;
  std::vector<double> values_;
};

}  // namespace qelt
