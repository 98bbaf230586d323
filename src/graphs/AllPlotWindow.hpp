#pragma once
// "Plot Data/File": the 28 columns of a measurement file against the record
// number, each Y axis fitted to its data. Keeps its own copy of the plotted
// columns, so its graphs can be inspected after the file list has gone.
#include <QWidget>

#include "graphs/ChartGrid.hpp"
#include "graphs/FilePlot.hpp"

namespace qelt {

class AllPlotWindow : public QWidget {
  Q_OBJECT
 public:
  explicit AllPlotWindow(FilePlotData plot, Dialogs* dialogs = nullptr, QWidget* parent = nullptr);

  const FilePlotData& Plotted() const { return plot_; }
  GraphControl& Chart(int index) const { return *charts_[static_cast<std::size_t>(index)]; }

 signals:
  void ChartClicked(int index);

 private:
  FilePlotData plot_;
  ChartArray charts_{};
};

}  // namespace qelt
