#pragma once
// "Real Time Graph": the course of one live quantity, copied from the
// history when its chart was clicked.
#include "graphs/GraphInspector.hpp"

namespace qelt {

class InspectorWindow : public GraphInspector {
  Q_OBJECT
 public:
  InspectorWindow(GraphState& state, Dialogs& dialogs, QWidget* parent = nullptr);
};

}  // namespace qelt
