#pragma once
// "Summary": the figures of the records a list holds, with their units, in
// two tables (figures, then the 28 quantities). "Copy" puts them on the
// clipboard TAB-separated, "Save as TSV" writes them to a file; a live
// list's summary is a snapshot that "Refresh" takes again. A File List whose
// file has continuation files beside it offers "Whole recording".
//
// The summary is computed on a worker thread, from files or from a copy of
// the list's rows taken on the user-interface thread; the window shows the
// progress and stays responsive. Closing the window stops the worker.
#include <QPointer>
#include <QWidget>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "analysis/Summary.hpp"
#include "analysis/SummaryText.hpp"
#include "platform/Dialogs.hpp"
#include "platform/GridRows.hpp"

class QComboBox;
class QTabWidget;
class QLabel;
class QProgressBar;
class QPushButton;
class QTableWidget;

namespace qelt {

class BackgroundJob;
class QualityPart;

class SummaryWindow : public QWidget {
  Q_OBJECT
 public:
  SummaryWindow(SummarySource source, Dialogs& dialogs, QWidget* parent = nullptr);
  ~SummaryWindow() override;

  // Computes again: a new snapshot of the rows, or the files read again.
  void Refresh();
  // "This file" (false) or "Whole recording" (true); computes again.
  void SetWholeRecording(bool whole);
  void CopyCommand();
  void SaveCommand();

  bool Busy() const;
  const Summary& Result() const { return summary_; }
  std::string Tsv() const;
  QTableWidget& FiguresTable() const { return *figures_; }
  QTableWidget& QuantitiesTable() const { return *quantities_; }
  QPushButton& RefreshButton() const { return *refresh_; }
  QComboBox& Scope() const { return *scope_; }
  QLabel& Status() const { return *status_; }
  QualityPart& QualityPage() const { return *quality_; }

 signals:
  // A summary has been shown (or its failure told).
  void Shown();

 private:
  void Start();
  void Finish();
  void Fill();

  SummarySource source_;
  Dialogs& dialogs_;
  bool whole_ = false;
  Summary summary_;
  SummaryTables tables_;
  BackgroundJob* job_ = nullptr;
  std::shared_ptr<Summary> pending_;  // written by the job under way
  QComboBox* scope_ = nullptr;
  QPushButton* copy_ = nullptr;
  QPushButton* save_ = nullptr;
  QPushButton* refresh_ = nullptr;
  QProgressBar* progress_ = nullptr;
  QLabel* status_ = nullptr;
  QTableWidget* figures_ = nullptr;
  QTableWidget* quantities_ = nullptr;
  QualityPart* quality_ = nullptr;
};

// A small sigma picture for the lists' "Summary" buttons.
QIcon SummaryPicture();

}  // namespace qelt
