// Live readings per second shown by the main window against the paced
// qelt-sim, and the CPU the program spends meanwhile (the simulator runs as
// its own process and is not counted). Targets: at least 9 readings per
// second, under 3 % of one core.
//
// Usage: bench_panel_poll [--sim PATH] [--seconds S]   (QT_QPA_PLATFORM=offscreen works)
#include <sys/resource.h>

#include <QApplication>
#include <QComboBox>
#include <QCommandLineParser>
#include <QElapsedTimer>
#include <QProcess>
#include <QPushButton>
#include <QTimer>
#include <cstdio>

#include "app/Program.hpp"
#include "link/PortWindow.hpp"
#include "panel/PanelWindow.hpp"
#include "platform/ScriptedDialogs.hpp"
#include "support/BenchSupport.hpp"

using qelt::bench::CpuSeconds;

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QCommandLineParser parser;
  QCommandLineOption simOption("sim", "qelt-sim to run.", "PATH", QELT_SIM_PATH);
  QCommandLineOption secondsOption("seconds", "Length of the measurement.", "S", "20");
  parser.addOption(simOption);
  parser.addOption(secondsOption);
  parser.process(app);
  const double seconds = parser.value(secondsOption).toDouble();

  QProcess sim;
  sim.start(parser.value(simOption), {});
  if (!sim.waitForStarted(10000) || !sim.waitForReadyRead(10000)) {
    std::fprintf(stderr, "bench: qelt-sim did not start\n");
    return 1;
  }
  const QString device = QString::fromUtf8(sim.readLine()).trimmed();

  qelt::ScriptedDialogs dialogs;
  qelt::Program program(dialogs);
  program.Start(device);
  program.Port()->CmdOK()->click();
  qelt::PanelWindow* panel = program.Panel();
  if (!panel) {
    std::fprintf(stderr, "bench: the port %s did not open\n", qPrintable(device));
    return 1;
  }

  long readings = 0;
  QObject::connect(panel, &qelt::PanelWindow::ReadingShown, [&] { ++readings; });
  QElapsedTimer clock;
  double cpuStart = 0;
  // One second to settle, then the measurement.
  QTimer::singleShot(1000, [&] {
    readings = 0;
    cpuStart = CpuSeconds();
    clock.start();
    QTimer::singleShot(static_cast<int>(seconds * 1000), [&] {
      const double wall = static_cast<double>(clock.nsecsElapsed()) / 1e9;
      const double rate = static_cast<double>(readings) / wall;
      const double cpu = (CpuSeconds() - cpuStart) / wall;
      std::printf("%ld readings in %.1f s: %.2f per second (target >= 9); CPU %.2f %% of one core (target < 3 %%)\n",
                  readings, wall, rate, 100.0 * cpu);
      panel->close();
    });
  });
  const int rc = app.exec();
  sim.terminate();
  sim.waitForFinished(5000);
  return rc;
}
