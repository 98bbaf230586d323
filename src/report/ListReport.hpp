#pragma once
// The "Report" button of the record and data lists: the PDF report of the
// list's rows, or of the whole recording a File List's file belongs to. The
// records are read on a worker thread with the progress in the list's
// caption, so the live poll and a recording go on meanwhile; the pages are
// drawn on the user-interface thread at the end.
#include <QIcon>
#include <QObject>
#include <QPointer>
#include <memory>
#include <string>
#include <vector>

#include "analysis/Summary.hpp"
#include "platform/Dialogs.hpp"
#include "report/Report.hpp"

namespace qelt {

class BackgroundJob;
class QtWindowSurface;
class RecordListWindow;

class ListReport : public QObject {
  Q_OBJECT
 public:
  // source tells what the list holds, as for its summary.
  ListReport(RecordListWindow& list, Dialogs& dialogs, std::function<SummarySource()> source);
  ~ListReport() override;

  // The button: asks what and where, then starts the report.
  void ReportCommand();
  bool Busy() const { return surface_ != nullptr; }
  const ReportOutcome& LastOutcome() const { return last_; }

 signals:
  // The report has been written, or its failure told.
  void Finished();

 private:
  struct Pending;
  void Start(ReportRequest request, std::vector<GridRows> grids, std::string path);
  void ShowProgress(int percent);
  void Finish();

  QPointer<RecordListWindow> list_;
  Dialogs& dialogs_;
  std::function<SummarySource()> source_;
  BackgroundJob* job_ = nullptr;
  std::shared_ptr<Pending> pending_;          // read and written by the job under way
  std::unique_ptr<QtWindowSurface> surface_;  // the list's, while a report runs
  ReportOutcome last_;
  std::string caption_;  // the list's own, put back at the end
};

// Adds "Report" to the list's toolbar, with a ListReport that lives as long
// as the list.
ListReport* AddReportButton(RecordListWindow& list, Dialogs& dialogs, std::function<SummarySource()> source);

// A small page picture for the lists' "Report" buttons.
QIcon ReportPicture();

}  // namespace qelt
