#include "graphs/PlotWindow.hpp"

namespace qelt {

namespace {

InspectorLayout PlotLayout() {
  InspectorLayout layout;
  layout.ClientHeight = 8385;
  layout.RangeFrameWidth = 3135;
  layout.TrackFrameLeft = 3600;
  layout.TrackFrameWidth = 2895;
  layout.CursorFrameLeft = 6720;
  layout.CursorFrameWidth = 3375;
  layout.ResetLeft = 6720;
  return layout;
}

}  // namespace

PlotWindow::PlotWindow(GraphState& state, Dialogs& dialogs, QWidget* parent)
    : GraphInspector(PlotLayout(), state, dialogs, parent) {
  setObjectName("Plot");
  setWindowTitle("Plot");
}

}  // namespace qelt
