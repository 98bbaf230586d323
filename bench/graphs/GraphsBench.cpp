// Speed and memory of the graphs: opening the inspector on a full history
// (432 001 points) and one replot while panning; one tick of the 28 live
// charts; the file plot of 10 000 records; the resident memory with the
// live-graph window open. Prints its figures; targets: inspector under 30 ms,
// tick under 10 ms, file plot under 1 s. Run with QT_QPA_PLATFORM=offscreen.
#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <cmath>
#include <cstdio>
#include <memory>

#include "graphs/AllPlotWindow.hpp"
#include "graphs/FilePlot.hpp"
#include "graphs/InspectorWindow.hpp"
#include "graphs/LiveGraph.hpp"
#include "graphs/RealTimeAllWindow.hpp"
#include "platform/ScriptedDialogs.hpp"
#include "platform/ScriptedWindow.hpp"
#include "platform/qt/GraphControl.hpp"

using namespace qelt;

namespace {

double Ms(const QElapsedTimer& t) { return static_cast<double>(t.nsecsElapsed()) / 1e6; }

double ResidentMiB() {
  QFile status("/proc/self/status");
  if (!status.open(QIODevice::ReadOnly)) return -1;
  for (const QByteArray& line : status.readAll().split('\n'))
    if (line.startsWith("VmRSS:")) return line.mid(6).trimmed().split(' ').first().toDouble() / 1024.0;
  return -1;
}

void Settle() {
  for (int i = 0; i < 5; ++i) QApplication::processEvents();
}

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  Session session;
  ScriptedDialogs dialogs;
  GraphState& state = session.Graph;
  for (int q = 0; q < QuantityCount; ++q) session.Live.ByIndex(q) = IsThreeDecimal(q) ? "0.998" : "230.5";

  std::printf("resident before the live-graph window: %.1f MiB\n", ResidentMiB());
  OpenLiveGraph(state);
  auto live = std::make_unique<RealTimeAllWindow>(session);
  live->show();
  Settle();
  std::printf("resident with the live-graph window open (history allocated, untouched): %.1f MiB\n", ResidentMiB());

  // One tick of the 28 charts with full strips, replotted at once.
  for (int i = 0; i < GraphControl::StripPoints; ++i) live->Tick();
  Settle();
  double worstTick = 0;
  double sumTick = 0;
  const int ticks = 50;
  for (int i = 0; i < ticks; ++i) {
    session.Live.V1 = std::to_string(220 + i % 20) + ".5";
    QElapsedTimer t;
    t.start();
    live->Tick();
    for (int c = 0; c < QuantityCount; ++c) live->Chart(c).replot();
    const double ms = Ms(t);
    sumTick += ms;
    worstTick = std::max(worstTick, ms);
  }
  std::printf("one tick of the 28 live charts with replot: mean %.2f ms, worst %.2f ms (target < 10 ms)\n",
              sumTick / ticks, worstTick);

  // A full history: every slot written, as after 10 days at 2 s.
  for (std::size_t k = 0; k < static_cast<std::size_t>(GraphSlots); ++k)
    for (int q = 0; q < QuantityCount; ++q)
      state.History(q)[k] = 230 + 10 * std::sin(static_cast<double>(k) / 500.0 + q);
  state.GraphCount = static_cast<float>(GraphSlots - 1);
  std::printf("resident with the whole history written: %.1f MiB\n", ResidentMiB());

  // A first inspector on a short history, so that the figure below is not
  // the one-time cost of loading styles and fonts.
  const float full = state.GraphCount;
  state.GraphCount = 10;
  auto inspector = std::make_unique<InspectorWindow>(state, dialogs);
  inspector->Open(LiveInspectorSource(state, 5, "V1", 215, 245));
  inspector->Graph().replot();
  Settle();
  inspector.reset();
  state.GraphCount = full;

  // The first opening pays for fresh memory pages; a later click reuses them.
  for (const char* which : {"first", "next"}) {
    inspector.reset();
    QElapsedTimer open;
    open.start();
    InspectorSource source = LiveInspectorSource(state, 5, "V1", 215, 245);
    const double copyMs = Ms(open);
    inspector = std::make_unique<InspectorWindow>(state, dialogs);
    const double windowMs = Ms(open);
    inspector->Open(std::move(source));
    const double openMs = Ms(open);
    inspector->Graph().replot();
    std::printf(
        "%s opening of the inspector with %d points: %.1f ms (copy %.1f, window %.1f, fill and show %.1f, first "
        "replot %.1f; target < 30 ms)\n",
        which, GraphSlots - 1, Ms(open), copyMs, windowMs - copyMs, openMs - windowMs, Ms(open) - openMs);
    Settle();
  }

  GraphControl& graph = inspector->Graph();
  double worstPan = 0;
  double sumPan = 0;
  const int pans = 40;
  for (int i = 0; i < pans; ++i) {
    const double shift = (i + 1) * 1000.0;
    QElapsedTimer t;
    t.start();
    graph.SetAxisRange(1, 1 + shift, GraphSlots - 1 + shift);
    graph.replot();
    const double ms = Ms(t);
    sumPan += ms;
    worstPan = std::max(worstPan, ms);
  }
  std::printf("one replot while panning over all points: mean %.2f ms, worst %.2f ms (target < 30 ms, aim 10 ms)\n",
              sumPan / pans, worstPan);
  graph.SetAxisRange(1, 200000, 201000);
  QElapsedTimer zoomed;
  zoomed.start();
  graph.replot();
  std::printf("one replot zoomed to 1 000 points: %.2f ms\n", Ms(zoomed));
  inspector.reset();

  // The file plot of 10 000 records.
  GridRows table(31);
  std::string heading = "No.s\tDate\tTime";
  for (const char* name : QuantityNames) heading += std::string("\t") + name;
  table.AddRow(heading);
  for (int r = 1; r <= 10000; ++r) {
    std::string row = std::to_string(r) + "\t2011/07/29\t10:00:00";
    for (int q = 0; q < QuantityCount; ++q)
      row += r % 97 == 0 ? "\tOL" : (IsThreeDecimal(q) ? "\t0.998" : "\t" + std::to_string(200 + r % 50) + ".5");
    table.AddRow(row);
  }
  QElapsedTimer plotTime;
  plotTime.start();
  ScriptedWindow list("rec.mes");
  auto plot = PlotRecords(table, list);
  const double readMs = Ms(plotTime);
  auto all = std::make_unique<AllPlotWindow>(std::move(*plot));
  all->show();
  for (int c = 0; c < QuantityCount; ++c) all->Chart(c).replot();
  std::printf("file plot of 10 000 records: %.1f ms (columns %.1f ms; target < 1000 ms)\n", Ms(plotTime), readMs);
  std::printf("resident at the end: %.1f MiB\n", ResidentMiB());
  return 0;
}
