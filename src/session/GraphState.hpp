#pragma once
// State of the live graphs and the file plots for the whole run.
#include <cstddef>
#include <memory>
#include <string>

namespace qelt {

inline constexpr int GraphSlots = 432001;  // history slots per quantity, 0..432000

struct GraphState {
  // 28 x GraphSlots samples, one quantity after another; null until the
  // live-graph window first opens, then kept for the run. Allocated without
  // being cleared, so the system commits only the pages the ticks write.
  std::unique_ptr<double[]> GraphHistory;
  float GraphCount = 0;  // the slot the next tick writes (a whole number)
  bool GraphOpen = false;

  // The live-graph inspector's source, set when a chart is clicked.
  int GraphIndex = 0;
  double GraphYMax = 0;
  double GraphYMin = 0;
  float GraphLast = -1;  // GraphCount - 1 at the click

  // Both inspectors: while set, their range boxes do not apply their values.
  bool RangeLoading = false;

  // The file plot and its inspector.
  float PlotOffset = 0;  // first record number minus 1
  std::string PlotName;
  double PlotYMax = 0;
  double PlotYMin = 0;
  int PlotIndex = 0;

  // Quantity q's slots (GraphSlots of them); GraphHistory must exist.
  double* History(int quantity) { return GraphHistory.get() + static_cast<std::size_t>(quantity) * GraphSlots; }
  const double* History(int quantity) const {
    return GraphHistory.get() + static_cast<std::size_t>(quantity) * GraphSlots;
  }
};

}  // namespace qelt
