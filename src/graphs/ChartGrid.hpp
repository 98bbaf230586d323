#pragma once
// The 28 small graphs of the live-graph and file-plot windows: four columns
// (phase 1, 2, 3, totals) of seven, indexed by QuantityIndex, each captioned
// with its quantity's name.
#include <array>

#include "link/LiveReading.hpp"

class QWidget;

namespace qelt {

class GraphControl;

using ChartArray = std::array<GraphControl*, QuantityCount>;

// Builds the graphs as children of window, which is sized 14895 x 10920 twips.
ChartArray BuildChartGrid(QWidget& window);

}  // namespace qelt
