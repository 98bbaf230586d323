#pragma once
// The live graph's tick and the inspector's snapshot of the history, without
// a window: the window hands in its charts through LiveChartsView.
#include <array>
#include <string_view>
#include <vector>

#include "link/LiveReading.hpp"
#include "session/GraphState.hpp"

namespace qelt {

using LiveValues = std::array<double, QuantityCount>;

class LiveChartsView {
 public:
  virtual ~LiveChartsView() = default;
  // One new strip-chart point per chart, chart i taking values[i].
  virtual void AppendPoints(const LiveValues& values) = 0;
};

// A live value text as a number: its numeric prefix, so "OL", "-OL" and an
// empty text give 0.
double LiveValue(std::string_view text);

// The live-graph timer's interval for a sampling interval in seconds. Timers
// here take 32-bit milliseconds, so a day (86 400 000 ms) fits.
int GraphInterval(int sampleTime);
inline constexpr int FirstGraphInterval = 1000;

// "Graph": opens the window unless it is open. False when it was open
// already (nothing changes then). The history is allocated at the first opening.
bool OpenLiveGraph(GraphState& state);
// The window unloads; the history and the count stay.
void CloseLiveGraph(GraphState& state);

// One tick: the values to the charts, then to the history at GraphCount,
// which then moves on and wraps to 0 at GraphSlots. Returns the timer's next
// interval. Allocates nothing.
int GraphTick(GraphState& state, const LiveReading& live, int sampleTime, LiveChartsView& charts);

// Slots 0..GraphCount-1 of a quantity's history, narrowed to single
// precision: what the inspector shows. Empty before the first tick and right
// after a wrap.
std::vector<float> HistorySnapshot(const GraphState& state, int quantity);

}  // namespace qelt
