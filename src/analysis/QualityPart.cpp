#include "analysis/QualityPart.hpp"

#include <QApplication>
#include <QHeaderView>
#include <QLabel>
#include <QSplitter>
#include <QTableWidget>
#include <QVBoxLayout>

#include "platform/qt/BackgroundJob.hpp"

namespace qelt {

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

  job_ = new BackgroundJob(this);
  connect(job_, &BackgroundJob::Done, this, &QualityPart::Finish);
}

// The job goes first: it stops and joins its worker before the controls go.
QualityPart::~QualityPart() { delete job_; }

bool QualityPart::Busy() const { return job_->Running(); }

void QualityPart::Start(const SummarySource& source, bool whole) {
  verdict_->setText("Voltage quality (EN 50160): computing...");
  QualityOptions options;
  options.LineVoltages = source.LineVoltages;
  auto result = std::make_shared<Quality>();
  pending_ = result;
  if (whole || (source.Rows == nullptr && !source.File.empty())) {
    std::vector<std::string> files = whole ? source.WholeRecording : std::vector<std::string>{source.File};
    job_->Start([result, files = std::move(files), options](const auto& permille) {
      *result = AssessQuality(files, options, InPermille(permille));
    });
    return;
  }
  // The rows are copied here, on the user-interface thread, where the list
  // may grow; the worker reads the copy.
  auto grids = std::make_shared<std::vector<GridRows>>(source.Rows ? source.Rows() : std::vector<GridRows>{});
  job_->Start([result, grids, options, file = source.File](const auto& permille) {
    std::vector<const GridRows*> pointers;
    for (const GridRows& grid : *grids) pointers.push_back(&grid);
    *result = AssessQualityGrids(pointers, options, InPermille(permille));
    if (!file.empty()) result->Files = {file};
  });
}

void QualityPart::Finish() {
  quality_ = std::move(*pending_);
  pending_.reset();
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
