#pragma once
// The live graphs and the file plots of one main window: what "Graph" and a
// file list's "Plot" do, and the one inspector of each kind, which a click on
// a chart replaces. A child of the main window; the windows it opened go
// with it.
#include <QObject>
#include <QPointer>

#include "platform/Dialogs.hpp"
#include "platform/GridRows.hpp"
#include "platform/WindowSurface.hpp"
#include "session/Session.hpp"

namespace qelt {

class AllPlotWindow;
class InspectorWindow;
class PlotWindow;
class RealTimeAllWindow;

class GraphsController : public QObject {
  Q_OBJECT
 public:
  GraphsController(QObject& parent, Session& session, Dialogs& dialogs);
  ~GraphsController() override;

  // "Graph": opens "Real Time graph" unless it is open.
  void GraphCommand();
  // "Plot" of a file list: its record table and its caption. A table
  // without records is refused with a message.
  // file: the measurement file the table came from, for the printouts.
  void PlotCommand(const GridRows& table, WindowSurface& list, const std::string& file = {});

  // A click on live chart index, or on file-plot graph index.
  void InspectChart(int index);
  void InspectPlot(int index);

  // Puts cursor 1 of every file-plot graph on record row (from 1) of the
  // plotted table and brings the plot forward, when a file plot is open and
  // shows file (empty: whatever it shows); false when none does.
  bool ShowRecord(const std::string& file, long long row);

  RealTimeAllWindow* RealTimeAll() const;
  InspectorWindow* Inspector() const;
  AllPlotWindow* AllPlot() const;
  PlotWindow* Plot() const;

 private:
  Session& session_;
  Dialogs& dialogs_;
  QPointer<RealTimeAllWindow> realTimeAll_;
  QPointer<InspectorWindow> inspector_;
  QPointer<AllPlotWindow> allPlot_;
  QPointer<PlotWindow> plot_;
  std::string plotFile_;  // of the open file plot
};

}  // namespace qelt
