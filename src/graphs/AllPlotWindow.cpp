#include "graphs/AllPlotWindow.hpp"

#include "platform/qt/GraphControl.hpp"

namespace qelt {

AllPlotWindow::AllPlotWindow(FilePlotData plot, Dialogs* dialogs, QWidget* parent)
    : QWidget(parent), plot_(std::move(plot)) {
  setObjectName("AllPlot");
  setWindowTitle("Plot Data/File");
  charts_ = BuildChartGrid(*this, dialogs);
  move(0, pos().y());
  const AxisSpan x = ShownSpan(plot_.FirstX(), plot_.LastX());
  for (std::size_t i = 0; i < charts_.size(); ++i) {
    GraphControl& chart = *charts_[i];
    if (!plot_.Columns[i].Name.empty()) chart.SetAxisCaption(1, QString::fromStdString(plot_.Columns[i].Name));
    chart.SetAxisRange(1, x.Min, x.Max);
    chart.PlotY(plot_.Columns[i].Values, plot_.FirstX(), 1);
    chart.FitY();
    connect(&chart, &GraphControl::Clicked, this, &AllPlotWindow::ChartClicked);
  }
}

}  // namespace qelt
