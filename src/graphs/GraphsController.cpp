#include "graphs/GraphsController.hpp"

#include "graphs/AllPlotWindow.hpp"
#include "graphs/InspectorWindow.hpp"
#include "graphs/PlotWindow.hpp"
#include "graphs/RealTimeAllWindow.hpp"
#include "platform/qt/GraphControl.hpp"

namespace qelt {

GraphsController::GraphsController(QObject& parent, Session& session, Dialogs& dialogs)
    : QObject(&parent), session_(session), dialogs_(dialogs) {}

GraphsController::~GraphsController() {
  delete plot_.data();
  delete allPlot_.data();
  delete inspector_.data();
  delete realTimeAll_.data();
}

RealTimeAllWindow* GraphsController::RealTimeAll() const { return realTimeAll_.data(); }
InspectorWindow* GraphsController::Inspector() const { return inspector_.data(); }
AllPlotWindow* GraphsController::AllPlot() const { return allPlot_.data(); }
PlotWindow* GraphsController::Plot() const { return plot_.data(); }

void GraphsController::GraphCommand() {
  if (!OpenLiveGraph(session_.Graph)) return;
  auto* window = new RealTimeAllWindow(session_, &dialogs_);
  window->setAttribute(Qt::WA_DeleteOnClose);
  connect(window, &RealTimeAllWindow::ChartClicked, this, &GraphsController::InspectChart);
  realTimeAll_ = window;
  window->show();
}

void GraphsController::InspectChart(int index) {
  if (!realTimeAll_) return;
  if (inspector_) delete inspector_.data();
  const GraphControl& chart = realTimeAll_->Chart(index);
  InspectorSource source = LiveInspectorSource(session_.Graph, index, chart.AxisCaption(1).toStdString(),
                                               chart.AxisMin(2), chart.AxisMax(2));
  auto* window = new InspectorWindow(session_.Graph, dialogs_);
  window->setAttribute(Qt::WA_DeleteOnClose);
  inspector_ = window;
  window->Open(std::move(source));
}

void GraphsController::PlotCommand(const GridRows& table, WindowSurface& list, const std::string& file) {
  auto plot = PlotRecords(table, list);
  if (!plot) {
    dialogs_.Message("There are no records to plot.", MessageIcon::Stop);
    return;
  }
  session_.Graph.PlotOffset = plot->PlotOffset;
  session_.Graph.PlotName = plot->Columns.back().Name;
  const Substitutes last = SubstitutesOf(30);
  session_.Graph.PlotYMax = last.YMax;
  session_.Graph.PlotYMin = last.YMin;
  if (allPlot_) delete allPlot_.data();
  plotFile_ = file;
  auto* window = new AllPlotWindow(std::move(*plot), &dialogs_);
  window->setAttribute(Qt::WA_DeleteOnClose);
  connect(window, &AllPlotWindow::ChartClicked, this, &GraphsController::InspectPlot);
  allPlot_ = window;
  window->show();
}

void GraphsController::InspectPlot(int index) {
  if (!allPlot_) return;
  if (plot_) delete plot_.data();
  const GraphControl& chart = allPlot_->Chart(index);
  InspectorSource source = FileInspectorSource(session_.Graph, allPlot_->Plotted(), index,
                                               chart.AxisCaption(1).toStdString(), chart.AxisMin(2), chart.AxisMax(2));
  source.File = plotFile_;
  auto* window = new PlotWindow(session_.Graph, dialogs_);
  window->setAttribute(Qt::WA_DeleteOnClose);
  plot_ = window;
  window->Open(std::move(source));
}

bool GraphsController::ShowRecord(const std::string& file, long long row) {
  if (!allPlot_ || (!file.empty() && !plotFile_.empty() && file != plotFile_)) return false;
  const double x = allPlot_->Plotted().FirstX() + static_cast<double>(row - 1);
  for (int i = 0; i < QuantityCount; ++i) {
    GraphControl& chart = allPlot_->Chart(i);
    chart.SetCursorVisible(1, true);
    chart.SetCursorPosition(1, x, (chart.AxisMin(2) + chart.AxisMax(2)) / 2);
  }
  allPlot_->show();
  allPlot_->raise();
  allPlot_->activateWindow();
  return true;
}

}  // namespace qelt
