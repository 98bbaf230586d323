#include "app/Attach.hpp"

#include <QPointer>
#include <QPushButton>

#include "analysis/QualityPart.hpp"
#include "analysis/SummaryWindow.hpp"
#include "graphs/GraphsController.hpp"
#include "harmonic/PreHarmonicWindow.hpp"
#include "logger/DataListWindow.hpp"
#include "logger/LoggerWindows.hpp"
#include "panel/PanelWindow.hpp"
#include "platform/qt/Grid.hpp"
#include "platform/qt/QtWindowSurface.hpp"
#include "platform/qt/Toolbar.hpp"
#include "recorder/FileListWindow.hpp"
#include "recorder/ListWindow.hpp"
#include "recorder/PcSamplingController.hpp"
#include "records/RecordingFiles.hpp"
#include "report/ListReport.hpp"
#include "report/ReportText.hpp"

namespace qelt {

namespace {

// The "Summary" button of a list window. One summary window per list: a
// second click brings it forward (a live list's with a new snapshot).
void AddSummaryButton(RecordListWindow& list, Dialogs& dialogs, std::function<SummarySource()> source,
                      GraphsController* graphs) {
  auto shown = std::make_shared<QPointer<SummaryWindow>>();
  QPointer<GraphsController> plots(graphs);
  list.Toolbar1().AddCommand("Summary", SummaryPicture(), "Summary", &list, [shown, &list, &dialogs, source, plots] {
    if (!*shown) {
      const SummarySource what = source();
      *shown = new SummaryWindow(what, dialogs);
      (*shown)->setAttribute(Qt::WA_DeleteOnClose);
      // Its figures are of the rows the list showed: they go with the list.
      // A live list's summary says it is a snapshot and outlives it.
      if (!what.Live) QObject::connect(&list, &QObject::destroyed, shown->data(), &QWidget::close);
      QualityPart* part = &(*shown)->QualityPage();
      QObject::connect(part, &QualityPart::RecordWanted, part, [plots, part](const QString& file, qint64 row) {
        if (!plots || !plots->ShowRecord(file.toStdString(), row)) part->ShowNoPlot();
      });
    } else if ((*shown)->RefreshButton().isVisibleTo(*shown)) {
      (*shown)->Refresh();
    }
    (*shown)->show();
    (*shown)->raise();
    (*shown)->activateWindow();
  });
}

// "Summary" and "Report", both of what the list holds.
void AddFigureButtons(RecordListWindow& list, Dialogs& dialogs, const std::function<SummarySource()>& source,
                      GraphsController* graphs = nullptr) {
  AddSummaryButton(list, dialogs, source, graphs);
  AddReportButton(list, dialogs, source);
}

}  // namespace

PcSamplingController* AttachPcSampling(PanelWindow& panel, Session& session, Dialogs& dialogs, Host* host) {
  auto* sampling = new PcSamplingController(panel, panel, panel, session, dialogs, host);
  QObject::connect(&panel, &PanelWindow::SaveWanted, sampling, &PcSamplingController::SaveCommand);
  QObject::connect(&panel, &PanelWindow::OpenWanted, sampling, &PcSamplingController::OpenCommand);
  QObject::connect(&panel, &PanelWindow::ListWanted, sampling, &PcSamplingController::ListCommand);
  QObject::connect(&panel, &PanelWindow::SamplingWanted, sampling, &PcSamplingController::SamplingCommand);
  QObject::connect(&panel, &PanelWindow::Timer2Tick, sampling, &PcSamplingController::Tick);
  QObject::connect(&panel, &PanelWindow::Ending, sampling, &PcSamplingController::Ending);
  return sampling;
}

LoggerWindows* AttachLogger(PanelWindow& panel, Session& session, Link& link, Dialogs& dialogs,
                            const std::string& exportFolder) {
  auto* logger = new LoggerWindows(session, link, dialogs, panel, &panel, exportFolder);
  QObject::connect(&panel, &PanelWindow::LoggerSetsFound, logger, &LoggerWindows::OpenMemory);
  QObject::connect(&panel, &PanelWindow::Ending, logger, &LoggerWindows::CloseAll);
  return logger;
}

GraphsController* AttachGraphs(PanelWindow& panel, Session& session, Dialogs& dialogs, PcSamplingController* sampling) {
  auto* graphs = new GraphsController(panel, session, dialogs);
  QObject::connect(&panel, &PanelWindow::GraphWanted, graphs, &GraphsController::GraphCommand);
  if (sampling) {
    QObject::connect(sampling, &PcSamplingController::FileListCreated, graphs, [graphs](FileListWindow* list) {
      QObject::connect(list, &FileListWindow::PlotWanted, graphs, [graphs](FileListWindow* window) {
        QtWindowSurface surface(window);
        graphs->PlotCommand(window->RecordGrid().Data(), surface, window->SourceFile());
      });
    });
  }
  return graphs;
}

void AttachHarmonic(PanelWindow& panel, Session& session, Link& link, Dialogs& dialogs, StoredSettings* settings,
                    WaitInput* input) {
  auto window = std::make_shared<QPointer<PreHarmonicWindow>>();
  QObject::connect(&panel, &PanelWindow::HarmonicWanted, &panel,
                   [window, &panel, &session, &link, &dialogs, settings, input] {
                     if (!*window) {
                       *window = new PreHarmonicWindow(session, link, panel, dialogs);
                       (*window)->UseSettings(settings);
                       (*window)->SetWaitInput(input);
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

void AttachSummaryAndReport(Dialogs& dialogs, PcSamplingController* sampling, LoggerWindows* logger,
                            GraphsController* graphs) {
  if (sampling) {
    QPointer<GraphsController> plots(graphs);
    QObject::connect(
        sampling, &PcSamplingController::FileListCreated, sampling, [&dialogs, plots](FileListWindow* list) {
          QPointer<FileListWindow> window(list);
          AddFigureButtons(
              *list, dialogs,
              [window] {
                SummarySource source;
                if (!window) return source;
                source.Title = window->Caption().toStdString();
                source.File = window->SourceFile();
                if (!source.File.empty()) source.WholeRecording = RecordingFiles(source.File);
                source.Rows = [window] {
                  return window ? std::vector<GridRows>{window->RecordGrid().Data()} : std::vector<GridRows>{};
                };
                return source;
              },
              plots);
        });
    QObject::connect(sampling, &PcSamplingController::ListCreated, sampling, [&dialogs, sampling](ListWindow* list) {
      AddFigureButtons(*list, dialogs, [sampling] {
        SummarySource source;
        source.Live = true;
        // The list open at each snapshot: it restarts every 10 000 rows.
        QPointer<PcSamplingController> owner(sampling);
        ListWindow* now = owner ? owner->List() : nullptr;
        source.Title = now ? LiveReadingsTitle(now->RecordGrid().Data()) : "List";
        source.Rows = [owner] {
          ListWindow* open = owner ? owner->List() : nullptr;
          return open ? std::vector<GridRows>{open->RecordGrid().Data()} : std::vector<GridRows>{};
        };
        return source;
      });
    });
  }
  if (logger) {
    QObject::connect(logger, &LoggerWindows::DataListCreated, logger, [&dialogs, logger](DataListWindow* list) {
      QPointer<LoggerWindows> owner(logger);
      // The set is known when its list opens; a new set opens new lists.
      AddFigureButtons(*list, dialogs, [owner, title = logger->DataListTitle()] {
        SummarySource source;
        source.Title = title;
        source.LineVoltages = owner && owner->DataListWiringCode() == 4;  // 3P3W2M
        source.Rows = [owner] {
          std::vector<GridRows> grids;
          for (int i = 0; i < 2; ++i)
            if (owner && owner->DataList(i)) grids.push_back(owner->DataList(i)->RecordGrid().Data());
          return grids;
        };
        return source;
      });
    });
  }
}

}  // namespace qelt
