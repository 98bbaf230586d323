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

}  // namespace qelt
