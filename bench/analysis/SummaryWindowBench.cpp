// The Summary window opened on a File List of 10 000 records: from the click
// on "Summary" until the figures are on the screen. Target under 0.2 s.
// Run under a display or with QT_QPA_PLATFORM=offscreen.
#include <QApplication>
#include <QElapsedTimer>
#include <QSignalSpy>
#include <cstdio>

#include "FakePanel.hpp"
#include "analysis/SummaryWindow.hpp"
#include "platform/ScriptedDialogs.hpp"
#include "platform/qt/Grid.hpp"
#include "recorder/FileListWindow.hpp"
#include "recorder/MeasurementFile.hpp"

using namespace qelt;

namespace {
using NoPoll = test::FakePanel;
}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  ScriptedDialogs dialogs;
  float plotCount = 0;
  NoPoll poll;
  FileListWindow list(plotCount, dialogs, poll);
  for (int i = 0; i < RecordsPerFile; ++i) {
    ValueTexts v;
    for (int q = 0; q < QuantityCount; ++q)
      v[static_cast<std::size_t>(q)] = IsThreeDecimal(q) ? "0.998" : (i % 7 ? "230.5" : "229.0");
    const DateTime when{2026, 3, 1, i / 3600 % 24, i / 60 % 60, i % 60};
    list.AddRow(RecordLine(i + 1, SampleLine(when, v)));
  }
  list.show();
  QCoreApplication::processEvents();

  double worst = 0, sum = 0;
  constexpr int Runs = 5;
  for (int run = 0; run < Runs; ++run) {
    QElapsedTimer clock;
    clock.start();
    SummarySource source;
    source.Title = "bench.mes";
    source.Rows = [&list] { return std::vector<GridRows>{list.RecordGrid().Data()}; };
    SummaryWindow window(source, dialogs);
    window.show();
    QSignalSpy shown(&window, &SummaryWindow::Shown);
    if (window.Busy() && !shown.wait(10000)) return 1;
    QCoreApplication::processEvents();  // the tables painted
    const double seconds = static_cast<double>(clock.nsecsElapsed()) / 1e9;
    worst = std::max(worst, seconds);
    sum += seconds;
    if (window.Result().Records != RecordsPerFile) return 1;
  }
  std::printf("Summary window on a %d-record File List: %.3f s on average, %.3f s at worst (target under 0.2 s)\n",
              RecordsPerFile, sum / Runs, worst);
  return 0;
}
