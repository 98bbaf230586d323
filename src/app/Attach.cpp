#include "app/Attach.hpp"

#include <QPointer>

#include "harmonic/PreHarmonicWindow.hpp"
#include "panel/PanelWindow.hpp"
#include "recorder/PcSamplingController.hpp"

namespace qelt {

PcSamplingController* AttachPcSampling(PanelWindow& panel, Session& session, Dialogs& dialogs, Host* host) {
  auto* sampling = new PcSamplingController(panel, panel, panel, session, dialogs, host);
  panel.SetKeyAction(PanelKey::Save, [sampling] { sampling->SaveCommand(); });
  panel.SetKeyAction(PanelKey::Open, [sampling] { sampling->OpenCommand(); });
  panel.SetKeyAction(PanelKey::List, [sampling] { sampling->ListCommand(); });
  panel.SetKeyAction(PanelKey::Sampling, [sampling] { sampling->SamplingCommand(); });
  QObject::connect(&panel, &PanelWindow::Timer2Tick, sampling, &PcSamplingController::Tick);
  QObject::connect(&panel, &PanelWindow::Ending, sampling, &PcSamplingController::Ending);
  return sampling;
}

void AttachHarmonic(PanelWindow& panel, Session& session, Link& link, Dialogs& dialogs) {
  auto window = std::make_shared<QPointer<PreHarmonicWindow>>();
  panel.SetKeyAction(PanelKey::Harmonic, [window, &panel, &session, &link, &dialogs] {
    if (!*window) {
      *window = new PreHarmonicWindow(session, link, panel, dialogs);
      QObject::connect(&panel, &QObject::destroyed, window->data(), &QObject::deleteLater);
    }
    PreHarmonicWindow* pre = window->data();
    if (!pre->isVisible()) pre->Load();
    pre->show();
    pre->raise();
    pre->activateWindow();
  });
  QObject::connect(&panel, &PanelWindow::Ending, &panel, [window] {
    if (*window) (*window)->close();
  });
}

}  // namespace qelt
