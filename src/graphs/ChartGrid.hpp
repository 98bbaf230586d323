#pragma once
// The 28 small graphs of the live-graph and file-plot windows: four columns
// (phase 1, 2, 3, totals) of seven, indexed by QuantityIndex, each captioned
// with its quantity's name.
#include <array>

#include "link/LiveReading.hpp"

class QWidget;

#include "platform/Dialogs.hpp"

namespace qelt {

class GraphControl;

using ChartArray = std::array<GraphControl*, QuantityCount>;

// Builds the graphs as children of window, which is sized 14895 x 10920 twips.
// dialogs, when given, lets each graph save its image.
ChartArray BuildChartGrid(QWidget& window, Dialogs* dialogs);

}  // namespace qelt
