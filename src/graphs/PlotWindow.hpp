#pragma once
// "Plot": one column of a plotted measurement file, from the file plot's own
// copy of it.
#include "graphs/GraphInspector.hpp"

namespace qelt {

class PlotWindow : public GraphInspector {
  Q_OBJECT
 public:
  PlotWindow(GraphState& state, Dialogs& dialogs, QWidget* parent = nullptr);
};

}  // namespace qelt
