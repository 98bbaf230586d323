#include "app/Program.hpp"

#include <QApplication>

#include "app/Attach.hpp"
#include "link/PortWindow.hpp"
#include "logger/LoggerWindows.hpp"
#include "panel/PanelWindow.hpp"
#include "platform/qt/StoredSettings.hpp"

namespace qelt {

Program::Program(Dialogs& dialogs, StoredSettings* settings, QObject* parent)
    : QObject(parent), dialogs_(dialogs), settings_(settings), link_(host_, port_) {}

Program::~Program() {
  // Windows first: they hold references to the link and the session.
  delete panel_.data();
  delete portWindow_.data();
}

PortWindow* Program::Port() const { return portWindow_.data(); }
PanelWindow* Program::Panel() const { return panel_.data(); }

void Program::Start(const QString& portText, bool keepPort) {
  portWindow_ = new PortWindow(port_, session_.Meter, dialogs_);
  portWindow_->setAttribute(Qt::WA_DeleteOnClose);
  const QString text = portText.isEmpty() && settings_ ? settings_->PortText() : portText;
  if (!text.isEmpty()) portWindow_->SetPortText(text);
  connect(portWindow_, &PortWindow::PortChosen, this, [this, keepPort] {
    if (settings_ && keepPort) settings_->SetPortText(portWindow_->PortText());
    ShowPanel();
  });
  portWindow_->show();
}

void Program::ShowPanel() {
  panel_ = new PanelWindow(session_, link_, dialogs_);
  panel_->setAttribute(Qt::WA_DeleteOnClose);
  connect(panel_, &PanelWindow::Ending, this, &Program::End);
  PcSamplingController* sampling = AttachPcSampling(*panel_, session_, dialogs_, &host_);
  GraphsController* graphs = AttachGraphs(*panel_, session_, dialogs_, sampling);
  LoggerWindows* logger = AttachLogger(*panel_, session_, link_, dialogs_);
  logger->SetWaitInput(&host_.Input());
  AttachSummaryAndReport(dialogs_, sampling, logger, graphs);
  AttachHarmonic(*panel_, session_, link_, dialogs_, settings_, &host_.Input());
  emit PanelCreated(panel_);
  // Loaded before it shows, so that it appears at its place at once.
  panel_->Load();
  // The load begins every run at 2 s; the interval kept from the last run
  // replaces it before the first sampling tick.
  if (settings_)
    if (const auto interval = settings_->SamplingInterval()) session_.Recorder.SampleTime = *interval;
  panel_->show();
}

void Program::End() {
  if (ended_) return;
  ended_ = true;
  if (settings_) {
    settings_->SetSamplingInterval(session_.Recorder.SampleTime);
    settings_->Flush();
  }
  // Every other window closes with the main window; the event loop then
  // ends, and with it the program.
  QApplication::closeAllWindows();
  QCoreApplication::quit();
}

}  // namespace qelt
