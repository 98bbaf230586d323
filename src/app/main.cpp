// qelt: the desktop program.
#include <QApplication>
#include <QCommandLineParser>
#include <QCoreApplication>
#include <csignal>
#include <cstdio>

#include "app/Program.hpp"
#include "panel/PanelWindow.hpp"
#include "platform/qt/QtDialogs.hpp"
#include "platform/qt/StoredSettings.hpp"
#include "platform/qt/WindowPlaces.hpp"
#ifndef _WIN32
#include "sim/PtySimulator.hpp"
#include "sim/Scenario.hpp"
#include "text/Version.hpp"
#endif

namespace {

struct Options {
  bool Simulate = false;
  QString Port;
  QString Scenario;
};

// Reads the command line with a core application only, so that --help and
// --version work without a display; they print and end the program.
Options ParseOptions(int argc, char** argv) {
  QCoreApplication parsing(argc, argv);
  QCoreApplication::setApplicationName("qelt");
  QCoreApplication::setApplicationVersion(QELT_VERSION);
  QCommandLineParser parser;
  parser.setApplicationDescription("Live readout, recording and logger access for a three-phase power analyzer.");
  parser.addHelpOption();
  parser.addVersionOption();
  QCommandLineOption simulate("simulate", "Start the simulated instrument inside the program; its port is filled in.");
  QCommandLineOption port("port", "Fill in TEXT as the port: COM1 to COM16, Auto, or a device path.", "TEXT");
  QCommandLineOption scenario(
      "scenario", "With --simulate: the simulated instrument follows the scenario FILE (as qelt-sim --scenario).",
      "FILE");
  parser.addOption(simulate);
  parser.addOption(port);
  parser.addOption(scenario);
  parser.process(parsing);
  return {parser.isSet(simulate), parser.isSet(port) ? parser.value(port) : QString(),
          parser.isSet(scenario) ? parser.value(scenario) : QString()};
}

}  // namespace

int main(int argc, char** argv) {
#ifdef SIGXFSZ
  // A file size limit fails the write (a message, a whole last line) rather
  // than killing the program.
  std::signal(SIGXFSZ, SIG_IGN);
#endif
  const Options options = ParseOptions(argc, argv);
  QApplication app(argc, argv);
  QApplication::setApplicationName("Qelt");
  QApplication::setApplicationVersion(QELT_VERSION);
  // Lets the desktop match the windows to the menu entry (and its icon).
  QGuiApplication::setDesktopFileName("io.github.qelt.Qelt");

  QString portText;
#ifndef _WIN32
  // Declared before the program so that it stops after the port is released.
  qelt::PtySimulator simulator;
  if (options.Simulate) {
    std::string device, error;
    qelt::PtySimulatorOptions simulated;
    if (!options.Scenario.isEmpty() &&
        !qelt::LoadScenarioFile(options.Scenario.toStdString(), simulated.Instrument, error)) {
      std::fprintf(stderr, "qelt: %s\n", error.c_str());
      return 2;
    }
    if (!simulator.Start(simulated, device, error)) {
      std::fprintf(stderr, "qelt: the simulator could not start: %s\n", error.c_str());
      return 1;
    }
    portText = QString::fromStdString(device);
  }
#else
  if (options.Simulate) {
    std::fprintf(stderr, "qelt: --simulate needs a pseudo-terminal, which this platform lacks\n");
    return 2;
  }
#endif
  if (!options.Port.isEmpty()) portText = options.Port;

  qelt::StoredSettings settings;
  qelt::WindowPlaces places(settings);
  qelt::QtDialogs dialogs;
  dialogs.SetSettings(&settings);
  qelt::Program program(dialogs, &settings);
  dialogs.SetWaitHost(&program.SerialLink().EventHost());
  QObject::connect(&program, &qelt::Program::PanelCreated,
                   [&dialogs](qelt::PanelWindow* panel) { dialogs.SetParent(panel); });
  program.Start(portText, !options.Simulate);
  return app.exec();
}
