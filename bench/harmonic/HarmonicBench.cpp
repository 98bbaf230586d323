// Speed of the harmonic analysis: the core from a 243-byte reply to the 31
// report rows (target under 0.1 ms); "OK" against the paced simulator on a
// pseudo-terminal until both windows show (under 0.8 s, the line alone about
// 0.6 s); "Open" of a harmonic file until both windows show (under 100 ms);
// one paint of the waveform view at 1920 x 1080 (under 5 ms).
// Prints its figures; run with QT_QPA_PLATFORM=offscreen or on a display.
#include <QApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <vector>

#include "FakePanel.hpp"
#include "harmonic/Analysis.hpp"
#include "harmonic/Figures.hpp"
#include "harmonic/PreHarmonicWindow.hpp"
#include "harmonic/SignalWindow.hpp"
#include "link/Link.hpp"
#include "platform/ScriptedDialogs.hpp"
#include "platform/qt/QtHost.hpp"
#include "platform/qt/QtSerialPort.hpp"
#include "records/GridFile.hpp"
#include "sim/PtySimulator.hpp"
#include "sim/Waveform.hpp"

using namespace qelt;

namespace {

using Panel = test::FakePanel;

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

double CoreMicroseconds() {
  LoadSettings load;
  LoadModel model(load);
  SimRandom rng(3);
  const std::string reply = PackSamples(WaveformSamples(0, model.Sample(0, rng), 60.0, rng));
  HarmonicState state;
  StartHarmonicLists(state);
  std::size_t sink = 0;
  const int runs = 2000;
  QElapsedTimer t;
  t.start();
  for (int i = 0; i < runs; ++i) {
    TakeReply(state, reply, "60Hz");
    Normalise(state);
    Spectrum(state);
    sink += FiguresReport(ComputeFigures(state)).size();
  }
  const double us = static_cast<double>(t.nsecsElapsed()) / 1000.0 / runs;
  if (sink == 0) std::printf("?");
  return us;
}

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  std::printf("core, 243 bytes to the 31 report rows: %.1f us (target < 100 us)\n", CoreMicroseconds());

  PtySimulatorOptions options;
  options.Instrument.Load.Hz = 60;  // paced at 19 200 baud by default
  PtySimulator sim;
  std::string device, error;
  if (!sim.Start(options, device, error)) {
    std::fprintf(stderr, "bench_harmonic: %s\n", error.c_str());
    return 1;
  }
  QtHost host;
  QtSerialPort port;
  Link link(host, port);
  if (!link.OpenPort(device, 0, error)) {
    std::fprintf(stderr, "bench_harmonic: %s\n", error.c_str());
    return 1;
  }
  Session session;
  Panel panel;
  ScriptedDialogs dialogs;
  PreHarmonicWindow pre(session, link, panel, dialogs);
  pre.Load();
  pre.show();

  std::vector<double> ok;
  for (int i = 0; i < 5; ++i) {
    QElapsedTimer t;
    t.start();
    pre.OkCommand();
    QCoreApplication::processEvents();  // the windows show
    ok.push_back(static_cast<double>(t.nsecsElapsed()) / 1e6);
    if (!pre.Signal() || !pre.Harmonic()) std::printf("  run %d: windows missing\n", i);
  }
  std::printf("\"OK\" against the paced simulator until both windows show: median %.0f ms (target < 800 ms)\n",
              Median(ok));

  QTemporaryDir dir;
  const std::string path = dir.filePath("h.txt").toStdString();
  WriteGridFile(path, session.Harmonic.Grid54);
  std::vector<double> open;
  for (int i = 0; i < 10; ++i) {
    dialogs.QueueFile(path);
    QElapsedTimer t;
    t.start();
    pre.OpenCommand();
    QCoreApplication::processEvents();
    open.push_back(static_cast<double>(t.nsecsElapsed()) / 1e6);
  }
  std::printf("\"Open\" until both windows show: median %.1f ms (target < 100 ms)\n", Median(open));

  SignalWindow signal(CycleTexts(session.Harmonic), dialogs);
  signal.resize(1920, 1080);
  QImage image(1920, 1080, QImage::Format_RGB32);
  std::vector<double> paint;
  for (int i = 0; i < 20; ++i) {
    QElapsedTimer t;
    t.start();
    signal.render(&image);
    paint.push_back(static_cast<double>(t.nsecsElapsed()) / 1e6);
  }
  std::printf("one Signal paint at 1920 x 1080: median %.2f ms (target < 5 ms)\n", Median(paint));
  std::vector<double> layout;
  for (int i = 0; i < 20; ++i) {
    QElapsedTimer t;
    t.start();
    signal.resize(1920 - (i % 2), 1080);  // a resize lays the drawing out again, then it paints
    signal.render(&image);
    layout.push_back(static_cast<double>(t.nsecsElapsed()) / 1e6);
  }
  std::printf("one Signal resize with its paint at 1920 x 1080: median %.2f ms\n", Median(layout));
  sim.Stop();
  return 0;
}
