#pragma once
// The harmonic chart: one series of bars over labelled categories, drawn by
// QCustomPlot. Categories are numbered from 1.
#include <QColor>
#include <QStringList>
#include <QWidget>
#include <optional>
#include <vector>

class QCustomPlot;
class QCPBars;
class QCPItemLine;

namespace qelt {

class BarChart : public QWidget {
  Q_OBJECT
 public:
  explicit BarChart(QWidget* parent = nullptr);

  // Replaces the categories: labels[i] and values[i] are category i + 1.
  // Their limits are cleared.
  void SetCategories(const QStringList& labels, const std::vector<double>& values);

  // A limit per category, limits[i] for category i + 1: a mark across the
  // bar at its limit, and the bar in the warning colour when Over (the caller
  // judges, so that the chart and its table agree).
  struct BarLimit {
    std::optional<double> Limit;
    bool Over = false;
  };
  void SetLimits(const std::vector<BarLimit>& limits);
  std::optional<double> Limit(int category) const;
  bool Over(int category) const;
  static QColor WarningColour() { return {210, 40, 30}; }
  static QColor LimitColour() { return {230, 140, 0}; }
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
  void Redraw();

  QCPBars* bars_;
  QCPBars* overBars_;
  std::vector<QCPItemLine*> limitMarks_;
  QStringList labels_;
  std::vector<double> values_;
  std::vector<BarLimit> limits_;
};

}  // namespace qelt
