#include "analysis/QualityPart.hpp"

#include <QApplication>
#include <QHeaderView>
#include <QLabel>
#include <QSplitter>
#include <QTableWidget>
#include <QVBoxLayout>
#include <atomic>
#include <thread>

namespace qelt {

// The worker's side, as the summary's: the part's destructor stops and joins it.
struct QualityPart::Job {
  std::atomic<bool> Cancel{false};
  Quality Result;
  std::thread Worker;
  ~Job() {
    Cancel = true;
    if (Worker.joinable()) Worker.join();
  }
};

namespace {

QTableWidget* NewTable(QWidget* parent, const char* name) {
  auto* table = new QTableWidget(parent);
  table->setObjectName(name);
  table->setEditTriggers(QAbstractItemView::NoEditTriggers);
  table->setSelectionMode(QAbstractItemView::ContiguousSelection);
  table->setSelectionBehavior(QAbstractItemView::SelectRows);
  table->verticalHeader()->setVisible(false);
  table->verticalHeader()->setDefaultSectionSize(table->fontMetrics().height() + 6);
  table->setWordWrap(false);
  return table;
}

// rows[0] are the titles.
void Fill(QTableWidget& table, const TableRows& rows) {
  table.clear();
  const int columns = rows.empty() ? 0 : static_cast<int>(rows[0].size());
  table.setColumnCount(columns);
  table.setRowCount(rows.empty() ? 0 : static_cast<int>(rows.size()) - 1);
  QStringList header;
  if (!rows.empty())
    for (const std::string& title : rows[0]) header << QString::fromStdString(title);
  table.setHorizontalHeaderLabels(header);
  for (int r = 1; r < static_cast<int>(rows.size()); ++r) {
    const auto& row = rows[static_cast<std::size_t>(r)];
    for (int c = 0; c < static_cast<int>(row.size()) && c < columns; ++c)
      table.setItem(r - 1, c, new QTableWidgetItem(QString::fromStdString(row[static_cast<std::size_t>(c)])));
  }
  table.resizeColumnsToContents();
}

}  // namespace

QualityPart::QualityPart(QWidget* parent) : QWidget(parent) {
  setObjectName("Quality");
  verdict_ = new QLabel(this);
  verdict_->setObjectName("Verdict");
  QFont bold = verdict_->font();
  bold.setBold(true);
  verdict_->setFont(bold);
  figures_ = NewTable(this, "QualityFigures");
  dips_ = NewTable(this, "Dips");
  swells_ = NewTable(this, "Swells");
  events_ = NewTable(this, "Events");
  events_->setToolTip("Double-click an event to show its first record in the file plot");
  connect(events_, &QTableWidget::cellDoubleClicked, this, [this](int row, int) {
    if (row < 0 || row >= static_cast<int>(quality_.Events.size())) return;
    const QualityEvent& e = quality_.Events[static_cast<std::size_t>(row)];
    const auto file = static_cast<std::size_t>(e.StartFile);
    emit RecordWanted(file < quality_.Files.size() ? QString::fromStdString(quality_.Files[file]) : QString(),
                      e.StartRow);
  });
  auto* tables = new QWidget(this);
  auto* counts = new QVBoxLayout(tables);
  counts->setContentsMargins(0, 0, 0, 0);
  counts->addWidget(new QLabel("Dips", tables));
  counts->addWidget(dips_, 3);
  counts->addWidget(new QLabel("Swells", tables));
  counts->addWidget(swells_, 2);
  auto* top = new QSplitter(Qt::Horizontal, this);
  top->addWidget(figures_);
  top->addWidget(tables);
  top->setStretchFactor(0, 3);
  top->setStretchFactor(1, 2);
  auto* split = new QSplitter(Qt::Vertical, this);
  split->addWidget(top);
  split->addWidget(events_);
  split->setStretchFactor(0, 3);
  split->setStretchFactor(1, 2);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(verdict_);
  layout->addWidget(split, 1);
}

QualityPart::~QualityPart() { job_.reset(); }

void QualityPart::Start(const SummarySource& source, bool whole) {
  job_.reset();
  auto job = std::make_shared<Job>();
  job_ = job;
  verdict_->setText("Voltage quality (EN 50160): computing...");
  QualityOptions options;
  options.LineVoltages = source.LineVoltages;
  auto progress = [raw = job.get()](std::uint64_t, std::uint64_t) { return !raw->Cancel.load(); };
  QPointer<QualityPart> self(this);
  auto deliver = [self, number = ++jobNumber_] {
    QMetaObject::invokeMethod(
        qApp,
        [self, number] {
          if (self && self->job_ && self->jobNumber_ == number) self->Finish();
        },
        Qt::QueuedConnection);
  };
  if (whole || (source.Rows == nullptr && !source.File.empty())) {
    std::vector<std::string> files = whole ? source.WholeRecording : std::vector<std::string>{source.File};
    job->Worker = std::thread([raw = job.get(), files = std::move(files), options, progress, deliver] {
      raw->Result = AssessQuality(files, options, progress);
      deliver();
    });
    return;
  }
  auto grids = std::make_shared<std::vector<GridRows>>(source.Rows ? source.Rows() : std::vector<GridRows>{});
  job->Worker = std::thread([raw = job.get(), grids, options, progress, deliver, file = source.File] {
    std::vector<const GridRows*> pointers;
    for (const GridRows& grid : *grids) pointers.push_back(&grid);
    raw->Result = AssessQualityGrids(pointers, options, progress);
    if (!file.empty()) raw->Result.Files = {file};
    deliver();
  });
}

void QualityPart::Finish() {
  if (job_->Worker.joinable()) job_->Worker.join();
  quality_ = std::move(job_->Result);
  job_.reset();
  Fill();
  emit Shown();
}

void QualityPart::Fill() {
  tables_ = MakeQualityTables(quality_, false);
  qelt::Fill(*figures_, tables_.Figures);
  qelt::Fill(*dips_, tables_.Dips);
  qelt::Fill(*swells_, tables_.Swells);
  qelt::Fill(*events_, tables_.Events);
  QString text = QString("Voltage quality (EN 50160): %1").arg(QString::fromStdString(tables_.Verdict));
  if (quality_.LineVoltages) text += " - V1..V3 read line-to-line (3P3W wiring)";
  verdict_->setText(text);
  verdict_->setToolTip(QString::fromStdString([this] {
    std::string notes;
    for (const std::string& note : tables_.Notes) notes += (notes.empty() ? "" : "\n") + note;
    return notes;
  }()));
}

void QualityPart::ShowNoPlot() {
  verdict_->setText(QString("Voltage quality (EN 50160): %1 - no file plot is open to show the event in")
                        .arg(QString::fromStdString(tables_.Verdict)));
}

}  // namespace qelt
