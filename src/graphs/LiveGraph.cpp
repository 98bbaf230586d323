#include "graphs/LiveGraph.hpp"

#include <cmath>

#include "text/NumberText.hpp"

namespace qelt {

double LiveValue(std::string_view text) { return NumericPrefix(text); }

int GraphInterval(int sampleTime) { return sampleTime * 1000; }

bool OpenLiveGraph(GraphState& state) {
  if (state.GraphOpen) return false;
  state.GraphOpen = true;
  state.GraphCount = 0;
  if (!state.GraphHistory) state.GraphHistory.reset(new double[static_cast<std::size_t>(QuantityCount) * GraphSlots]);
  return true;
}

void CloseLiveGraph(GraphState& state) { state.GraphOpen = false; }

int GraphTick(GraphState& state, const LiveReading& live, int sampleTime, LiveChartsView& charts) {
  const int interval = GraphInterval(sampleTime);
  LiveValues values{};
  for (int i = 0; i < QuantityCount; ++i) values[static_cast<std::size_t>(i)] = LiveValue(live.ByIndex(i));
  charts.AppendPoints(values);
  if (state.GraphHistory) {
    const auto slot = static_cast<std::size_t>(std::lround(state.GraphCount));
    for (int q = 0; q < QuantityCount; ++q) state.History(q)[slot] = values[static_cast<std::size_t>(q)];
  }
  state.GraphCount += 1;
  if (state.GraphCount == static_cast<float>(GraphSlots)) state.GraphCount = 0;
  return interval;
}

std::vector<float> HistorySnapshot(const GraphState& state, int quantity) {
  const long count = std::lround(state.GraphCount);
  if (!state.GraphHistory || count <= 0 || quantity < 0 || quantity >= QuantityCount) return {};
  const double* from = state.History(quantity);
  return std::vector<float>(from, from + count);
}

}  // namespace qelt
