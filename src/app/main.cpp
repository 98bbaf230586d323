// qelt: the desktop program.
#include <QApplication>
#include <QCommandLineParser>
#include <cstdio>

#include "app/Program.hpp"
#include "panel/PanelWindow.hpp"
#include "platform/qt/QtDialogs.hpp"
#ifndef _WIN32
#include "sim/PtySimulator.hpp"
#endif

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName("Qelt");
  QApplication::setApplicationVersion("8.00");

  QCommandLineParser parser;
  parser.setApplicationDescription("Live readout, recording and logger access for a three-phase power analyzer.");
  parser.addHelpOption();
  parser.addVersionOption();
  QCommandLineOption simulate("simulate", "Start the simulated instrument inside the program; its port is filled in.");
  QCommandLineOption port("port", "Fill in TEXT as the port: COM1 to COM16, Auto, or a device path.", "TEXT");
  parser.addOption(simulate);
  parser.addOption(port);
  parser.process(app);

  QString portText;
#ifndef _WIN32
  // Declared before the program so that it stops after the port is released.
  qelt::PtySimulator simulator;
  if (parser.isSet(simulate)) {
    std::string device, error;
    if (!simulator.Start(qelt::PtySimulatorOptions{}, device, error)) {
      std::fprintf(stderr, "qelt: the simulator could not start: %s\n", error.c_str());
      return 1;
    }
    portText = QString::fromStdString(device);
  }
#else
  if (parser.isSet(simulate)) {
    std::fprintf(stderr, "qelt: --simulate needs a pseudo-terminal, which this platform lacks\n");
    return 2;
  }
#endif
  if (parser.isSet(port)) portText = parser.value(port);

  qelt::QtDialogs dialogs;
  qelt::Program program(dialogs);
  QObject::connect(&program, &qelt::Program::PanelCreated,
                   [&dialogs](qelt::PanelWindow* panel) { dialogs.SetParent(panel); });
  program.Start(portText);
  return app.exec();
}
