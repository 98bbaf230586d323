#pragma once
// The Summary window's "Quality" part: the voltage quality of the same
// records against EN 50160 (figures against limits, dip and swell tables,
// the events, the verdict). It computes on a worker thread of its own, from
// the files or from a copy of the rows, and stops it when it goes. A
// double-click on an event asks for its first record in the file plot.
#include <QPointer>
#include <QWidget>
#include <memory>
#include <string>

#include "analysis/Quality.hpp"
#include "analysis/QualityText.hpp"

class QLabel;
class QTableWidget;

namespace qelt {

class BackgroundJob;

class QualityPart : public QWidget {
  Q_OBJECT
 public:
  explicit QualityPart(QWidget* parent = nullptr);
  ~QualityPart() override;

  // Computes again over source (whole: its WholeRecording files); a
  // computation under way is stopped. lineVoltages: the wiring is known to
  // be 3P3W.
  void Start(const SummarySource& source, bool whole);
  // The last figures, as the window copies and saves them.
  std::string Tsv() const { return QualityTsv(tables_); }
  bool Busy() const;
  const Quality& Result() const { return quality_; }
  // What a double-click on an event could not do, in the verdict line.
  void ShowNoPlot();

  QTableWidget& Figures() const { return *figures_; }
  QTableWidget& Events() const { return *events_; }
  QLabel& Verdict() const { return *verdict_; }

 signals:
  void Shown();
  // The event's first record: the file it is in (empty: the list's rows)
  // and its place among that file's record rows, from 1.
  void RecordWanted(const QString& file, qint64 row);

 private:
  void Finish();
  void Fill();

  Quality quality_;
  QualityTables tables_;
  BackgroundJob* job_ = nullptr;
  std::shared_ptr<Quality> pending_;  // what the job under way writes
  QLabel* verdict_ = nullptr;
  QTableWidget* figures_ = nullptr;
  QTableWidget* dips_ = nullptr;
  QTableWidget* swells_ = nullptr;
  QTableWidget* events_ = nullptr;
};

}  // namespace qelt
