#include "app/Program.hpp"

#include <QApplication>

#include "app/Attach.hpp"
#include "link/PortWindow.hpp"
#include "panel/PanelWindow.hpp"

namespace qelt {

Program::Program(Dialogs& dialogs, QObject* parent) : QObject(parent), dialogs_(dialogs), link_(host_, port_) {}

Program::~Program() {
  // Windows first: they hold references to the link and the session.
  delete panel_.data();
  delete portWindow_.data();
}

PortWindow* Program::Port() const { return portWindow_.data(); }
PanelWindow* Program::Panel() const { return panel_.data(); }

void Program::Start(const QString& portText) {
  portWindow_ = new PortWindow(port_, session_.Meter, dialogs_);
  portWindow_->setAttribute(Qt::WA_DeleteOnClose);
  if (!portText.isEmpty()) portWindow_->SetPortText(portText);
  connect(portWindow_, &PortWindow::PortChosen, this, &Program::ShowPanel);
  portWindow_->show();
}

void Program::ShowPanel() {
  panel_ = new PanelWindow(session_, link_, dialogs_);
  panel_->setAttribute(Qt::WA_DeleteOnClose);
  connect(panel_, &PanelWindow::Ending, this, &Program::End);
  PcSamplingController* sampling = AttachPcSampling(*panel_, session_, dialogs_, &host_);
  AttachGraphs(*panel_, session_, dialogs_, sampling);
  AttachLogger(*panel_, session_, link_, dialogs_);
  AttachHarmonic(*panel_, session_, link_, dialogs_);
  emit PanelCreated(panel_);
  // Loaded before it shows, so that it appears at its place at once.
  panel_->Load();
  panel_->show();
}

void Program::End() {
  if (ended_) return;
  ended_ = true;
  // Every other window closes with the main window; the event loop then
  // ends, and with it the program.
  QApplication::closeAllWindows();
  QCoreApplication::quit();
}

}  // namespace qelt
