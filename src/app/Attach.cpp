#include "app/Attach.hpp"

#include <QPointer>

#include "graphs/GraphsController.hpp"
#include "harmonic/PreHarmonicWindow.hpp"
#include "logger/LoggerWindows.hpp"
#include "panel/PanelWindow.hpp"
#include "platform/qt/Grid.hpp"
#include "recorder/FileListWindow.hpp"
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

LoggerWindows* AttachLogger(PanelWindow& panel, Session& session, Link& link, Dialogs& dialogs,
                            const std::string& exportFolder) {
  auto* logger = new LoggerWindows(session, link, dialogs, panel, &panel, exportFolder);
  panel.OpenLogger = [logger] { logger->OpenMemory(); };
  QObject::connect(&panel, &PanelWindow::Ending, logger, &LoggerWindows::CloseAll);
  return logger;
}

GraphsController* AttachGraphs(PanelWindow& panel, Session& session, Dialogs& dialogs, PcSamplingController* sampling) {
  auto* graphs = new GraphsController(panel, session, dialogs);
  panel.SetKeyAction(PanelKey::Graph, [graphs] { graphs->GraphCommand(); });
  if (sampling) {
    sampling->FileListCreated = [graphs, before = std::move(sampling->FileListCreated)](FileListWindow& list) {
      if (before) before(list);
      list.PlotRecords = [graphs](FileListWindow& window) {
        graphs->PlotCommand(window.RecordGrid().Data(), window.Hooks());
      };
    };
  }
  return graphs;
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
