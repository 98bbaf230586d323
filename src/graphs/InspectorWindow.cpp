#include "graphs/InspectorWindow.hpp"

namespace qelt {

InspectorWindow::InspectorWindow(GraphState& state, Dialogs& dialogs, QWidget* parent)
    : GraphInspector(InspectorLayout{}, state, dialogs, parent) {
  setObjectName("RealTimeGraph");
  setWindowTitle("Real Time Graph");
}

}  // namespace qelt
