// Speed of the record list operations on 10 000 records: opening a
// measurement file into "File List", saving a grid, printing to PDF.
// Prints its figures; targets: open under 0.3 s, print under 10 s.
// `bench_record_lists --open N` instead opens an N-record file on the wall
// clock, as the program does (run it on a display to see an X server's
// share), and prints the time, the memory and the longest time in which no
// event was handled.
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTimer>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <memory>
#include <string>

#include "FakePanel.hpp"
#include "platform/ScriptedDialogs.hpp"
#include "platform/VirtualHost.hpp"
#include "platform/qt/Grid.hpp"
#include "platform/qt/QtHost.hpp"
#include "recorder/FileListWindow.hpp"
#include "recorder/ListWindow.hpp"
#include "recorder/MeasurementRecorder.hpp"
#include "recorder/PcSampling.hpp"

using namespace qelt;

namespace {

constexpr int Records = 10000;

std::string Sample(int i) {
  ValueTexts v;
  for (int q = 0; q < QuantityCount; ++q) v[static_cast<std::size_t>(q)] = IsThreeDecimal(q) ? "0.998" : "230.5";
  v[0] = i % 2 ? "-012.3" : "012.3";
  return SampleLine(DateTime{2011, 7, 29, (i / 3600) % 24, (i / 60) % 60, i % 60}, v);
}

using NoPoll = test::FakePanel;

// "Open" into a new file list window, as the main window does it.
struct FileListBench : FileListTarget {
  RecorderState& state;
  Dialogs& dialogs;
  std::unique_ptr<FileListWindow> window;
  NoPoll poll;
  FileListBench(RecorderState& s, Dialogs& d) : state(s), dialogs(d) {}
  void CloseOpenList() override { window.reset(); }
  void OpenList(const std::string& caption) override {
    window = std::make_unique<FileListWindow>(state.PlotRecordCount, dialogs, poll);
    window->setWindowTitle(QString::fromStdString(caption));
    window->show();
  }
  void AppendRow(std::string_view row) override { window->AddRow(row); }
  void SetCaption(const std::string& caption) override { window->setWindowTitle(QString::fromStdString(caption)); }
};

struct NoView : RecorderView {
  void SetFileNameLabel(const std::string&) override {}
  void SetCountLabel(const std::string&) override {}
  void SetRecLabel(const std::string&) override {}
  void SetRecLabelVisible(bool) override {}
  void SetRecordingButton(bool) override {}
  ValueTexts ValueLabelTexts() const override { return {}; }
};

double ResidentMiB() {
  std::ifstream status("/proc/self/status");
  for (std::string line; std::getline(status, line);)
    if (line.rfind("VmRSS:", 0) == 0) return std::stod(line.substr(6)) / 1024.0;
  return 0.0;
}

void WriteRecords(const std::string& file, RecorderState& state, int records) {
  MeasurementRecorder recorder(state);
  recorder.SetSyncEachLine(false);
  RecorderFault fault;
  if (!recorder.Start(file, fault)) return;
  for (int i = 1; i <= records; ++i) recorder.Write(Sample(i), fault);
  recorder.Stop();
}

// "Open" on the wall clock: a 10 ms timer measures how long the event loop
// is kept waiting. The file is written in one piece (a recording would
// continue into a new file every 10 000 records).
int OpenOnTheWallClock(int records) {
  QTemporaryDir dir;
  const std::string file = dir.filePath("big.mes").toStdString();
  {
    std::ofstream out(file, std::ios::binary);
    out << HeaderLine() << "\r\n";
    for (int i = 1; i <= records; ++i) out << RecordLine(i, Sample(i)) << "\r\n";
  }
  RecorderState state;
  ScriptedDialogs dialogs;
  QtHost host;
  NoView view;
  PcSampling sampling(state, host, dialogs, view);
  FileListBench target(state, dialogs);
  QElapsedTimer clock, gap;
  double longest = 0.0;
  QTimer tick;
  tick.setInterval(10);
  QObject::connect(&tick, &QTimer::timeout, [&] {
    longest = std::max(longest, gap.nsecsElapsed() / 1e9);
    gap.start();
  });
  const double before = ResidentMiB();
  dialogs.QueueFile(file);
  tick.start();
  clock.start();
  gap.start();
  sampling.Open(target);
  QCoreApplication::processEvents();
  const double seconds = clock.nsecsElapsed() / 1e9;
  longest = std::max(longest, gap.nsecsElapsed() / 1e9);
  std::printf("open %d records on the %s platform: %.2f s, resident %.0f -> %.0f MiB, longest without events %.3f s\n",
              records, qPrintable(QGuiApplication::platformName()), seconds, before, ResidentMiB(), longest);
  return target.window && target.window->RecordGrid().Rows() == records + 1 ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY"))
    qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  if (argc == 3 && std::strcmp(argv[1], "--open") == 0) return OpenOnTheWallClock(std::atoi(argv[2]));
  QTemporaryDir dir;
  const std::string file = dir.filePath("bench.mes").toStdString();

  RecorderState state;
  WriteRecords(file, state, Records);

  ScriptedDialogs dialogs;
  VirtualHost host;
  NoView view;
  PcSampling sampling(state, host, dialogs, view);
  FileListBench target(state, dialogs);

  QElapsedTimer clock;
  double best = 1e9;
  for (int run = 0; run < 5; ++run) {
    dialogs.QueueFile(file);
    clock.start();
    sampling.Open(target);
    QCoreApplication::processEvents();  // the first paint of the filled list
    best = std::min(best, clock.nsecsElapsed() / 1e9);
  }
  std::printf("open %d-record measurement file into File List: %.3f s (best of 5; target < 0.3 s)\n", Records, best);
  if (target.window->RecordGrid().Rows() != Records + 1) return 1;

  // Save the list (titles and 10 000 rows) as "Save" of the list does.
  NoPoll poll;
  ListWindow list(state, dialogs, poll);
  for (int i = 1; i <= Records; ++i) list.AddRow(RecordLine(i, Sample(i)));
  const std::string saved = dir.filePath("saved.mes").toStdString();
  best = 1e9;
  for (int run = 0; run < 5; ++run) {
    dialogs.QueueFile(saved);
    clock.start();
    list.SaveCommand();
    best = std::min(best, clock.nsecsElapsed() / 1e9);
  }
  std::printf("save %d-row grid: %.3f s (best of 5), %lld bytes\n", Records + 1, best,
              static_cast<long long>(QFileInfo(QString::fromStdString(saved)).size()));

  // Print the 10 000 records to a PDF file.
  PrinterChoice pdf;
  pdf.OutputFile = dir.filePath("print.pdf").toStdString();
  pdf.Orientation = PageOrientation::Landscape;
  dialogs.Printers.push_back(pdf);
  clock.start();
  PrintOutcome outcome = list.Print();
  double printing = clock.nsecsElapsed() / 1e9;
  std::printf("print %d records to PDF: %.2f s (target < 10 s), %lld bytes%s\n", Records, printing,
              static_cast<long long>(QFileInfo(QString::fromStdString(pdf.OutputFile)).size()),
              outcome == PrintOutcome::Printed ? "" : " FAILED");
  return outcome == PrintOutcome::Printed ? 0 : 1;
}
