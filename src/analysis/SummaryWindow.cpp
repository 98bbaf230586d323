#include "analysis/SummaryWindow.hpp"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPainter>
#include <QPixmap>
#include <QProgressBar>
#include <QPushButton>
#include <QSplitter>
#include <QTabWidget>
#include <QTableWidget>
#include <QVBoxLayout>

#include "analysis/QualityPart.hpp"
#include "platform/qt/BackgroundJob.hpp"
#include "platform/qt/QtWindowSurface.hpp"

namespace qelt {

namespace {

QTableWidget* NewTable(QWidget* parent) {
  auto* table = new QTableWidget(parent);
  table->setEditTriggers(QAbstractItemView::NoEditTriggers);
  table->setSelectionMode(QAbstractItemView::ContiguousSelection);
  table->verticalHeader()->setVisible(false);
  table->verticalHeader()->setDefaultSectionSize(table->fontMetrics().height() + 6);
  table->setWordWrap(false);
  return table;
}

// rows[0] are the titles when titled; else fixed titles.
void FillTable(QTableWidget& table, const TableRows& rows, bool titled, const QStringList& titles = {}) {
  table.setUpdatesEnabled(false);
  const int first = titled ? 1 : 0;
  const int columns = titled ? static_cast<int>(rows.empty() ? 0 : rows[0].size()) : static_cast<int>(titles.size());
  table.clear();
  table.setColumnCount(columns);
  table.setRowCount(static_cast<int>(rows.size()) - first);
  QStringList header = titles;
  if (titled && !rows.empty())
    for (const std::string& title : rows[0]) header << QString::fromStdString(title);
  table.setHorizontalHeaderLabels(header);
  for (int r = first; r < static_cast<int>(rows.size()); ++r) {
    const auto& row = rows[static_cast<std::size_t>(r)];
    for (int c = 0; c < static_cast<int>(row.size()) && c < columns; ++c) {
      auto* item = new QTableWidgetItem(QString::fromStdString(row[static_cast<std::size_t>(c)]));
      // Figures read best right-aligned, names left.
      if (c > 0 && !(titled && c == 1) && !(!titled && c >= 2))
        item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
      table.setItem(r - first, c, item);
    }
  }
  table.resizeColumnsToContents();
  table.setUpdatesEnabled(true);
}

}  // namespace

SummaryWindow::SummaryWindow(SummarySource source, Dialogs& dialogs, QWidget* parent)
    : QWidget(parent, Qt::Window), source_(std::move(source)), dialogs_(dialogs) {
  setObjectName("Summary");
  setWindowTitle(source_.Title.empty() ? QString("Summary")
                                       : QString("Summary - %1").arg(QString::fromStdString(source_.Title)));
  resize(860, 720);

  auto* bar = new QHBoxLayout;
  scope_ = new QComboBox(this);
  scope_->setObjectName("Scope");
  scope_->addItem("This file");
  scope_->addItem("Whole recording");
  scope_->setVisible(source_.WholeRecording.size() > 1);
  connect(scope_, &QComboBox::activated, this, [this](int index) { SetWholeRecording(index == 1); });
  copy_ = new QPushButton("Copy", this);
  copy_->setObjectName("Copy");
  copy_->setToolTip("Copy the figures, TAB-separated, for a spreadsheet");
  save_ = new QPushButton("Save as TSV", this);
  save_->setObjectName("SaveTsv");
  refresh_ = new QPushButton("Refresh", this);
  refresh_->setObjectName("Refresh");
  refresh_->setToolTip("Take a new snapshot of the list");
  refresh_->setVisible(source_.Live);
  connect(copy_, &QPushButton::clicked, this, &SummaryWindow::CopyCommand);
  connect(save_, &QPushButton::clicked, this, &SummaryWindow::SaveCommand);
  connect(refresh_, &QPushButton::clicked, this, &SummaryWindow::Refresh);
  progress_ = new QProgressBar(this);
  progress_->setRange(0, 1000);
  progress_->setTextVisible(false);
  progress_->setMaximumWidth(160);
  status_ = new QLabel(this);
  status_->setObjectName("Status");
  bar->addWidget(scope_);
  bar->addWidget(copy_);
  bar->addWidget(save_);
  bar->addWidget(refresh_);
  bar->addWidget(progress_);
  bar->addWidget(status_, 1);

  figures_ = NewTable(this);
  figures_->setObjectName("Figures");
  quantities_ = NewTable(this);
  quantities_->setObjectName("Quantities");
  auto* split = new QSplitter(Qt::Vertical, this);
  split->addWidget(figures_);
  split->addWidget(quantities_);
  split->setStretchFactor(0, 1);
  split->setStretchFactor(1, 1);
  quality_ = new QualityPart(this);
  auto* pages = new QTabWidget(this);
  pages->addTab(split, "Summary");
  pages->addTab(quality_, "Quality");

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(6, 6, 6, 6);
  layout->addLayout(bar);
  layout->addWidget(pages, 1);

  job_ = new BackgroundJob(this);
  connect(job_, &BackgroundJob::Progress, progress_, &QProgressBar::setValue);
  connect(job_, &BackgroundJob::Done, this, &SummaryWindow::Finish);
  Start();
}

// The job goes first: it stops and joins its worker before the controls go.
SummaryWindow::~SummaryWindow() { delete job_; }

bool SummaryWindow::Busy() const { return job_->Running(); }

void SummaryWindow::Refresh() { Start(); }

void SummaryWindow::SetWholeRecording(bool whole) {
  whole_ = whole && source_.WholeRecording.size() > 1;
  scope_->setCurrentIndex(whole_ ? 1 : 0);
  Start();
}

void SummaryWindow::Start() {
  job_->Cancel();  // a summary under way is stopped
  copy_->setEnabled(false);
  save_->setEnabled(false);
  progress_->setValue(0);
  progress_->setVisible(true);
  status_->setText("Computing...");
  const SummaryOptions options;
  auto result = std::make_shared<Summary>();
  pending_ = result;
  quality_->Start(source_, whole_);
  if (whole_ || (source_.Rows == nullptr && !source_.File.empty())) {
    std::vector<std::string> files = whole_ ? source_.WholeRecording : std::vector<std::string>{source_.File};
    job_->Start([result, files = std::move(files), options](const auto& permille) {
      *result = Summarize(files, options, InPermille(permille));
    });
    return;
  }
  // The rows are copied here, on the user-interface thread, where the list
  // may grow; the worker reads the copy.
  auto grids = std::make_shared<std::vector<GridRows>>(source_.Rows ? source_.Rows() : std::vector<GridRows>{});
  job_->Start([result, grids, options, file = source_.File](const auto& permille) {
    std::vector<const GridRows*> pointers;
    for (const GridRows& grid : *grids) pointers.push_back(&grid);
    *result = SummarizeGrids(pointers, options, InPermille(permille));
    if (!file.empty()) result->Files = {file};
  });
}

void SummaryWindow::Finish() {
  summary_ = std::move(*pending_);
  pending_.reset();
  progress_->setVisible(false);
  Fill();
  emit Shown();
}

void SummaryWindow::Fill() {
  tables_ = MakeSummaryTables(summary_);
  QStringList titles;
  for (const std::string& title : FigureTitles) titles << QString::fromStdString(title);
  FillTable(*figures_, tables_.Figures, false, titles);
  FillTable(*quantities_, tables_.Quantities, true);
  const bool any = summary_.Error == SummaryError::None;
  copy_->setEnabled(any);
  save_->setEnabled(any);
  switch (summary_.Error) {
    case SummaryError::None:
      status_->setText(summary_.Records == 0
                           ? QString("No record in the list")
                           : QString("%1 records, %2 bad rows").arg(summary_.Records).arg(summary_.BadRows));
      break;
    case SummaryError::Unreadable:
      status_->setText(QString("Cannot read %1").arg(QString::fromStdString(summary_.Reason)));
      break;
    case SummaryError::Cancelled: status_->setText("Stopped"); break;
    case SummaryError::BadOptions: status_->setText(QString::fromStdString(summary_.Reason)); break;
  }
}

std::string SummaryWindow::Tsv() const { return SummaryTsv(tables_) + "\n" + quality_->Tsv(); }

void SummaryWindow::CopyCommand() { QApplication::clipboard()->setText(QString::fromStdString(Tsv())); }

void SummaryWindow::SaveCommand() {
  FileRequest request;
  request.Title = "Save as TSV";
  request.Filter = "TSV Files (*.tsv)|*.tsv|All Files (*.*)|*.*|";
  request.OverwritePrompt = true;
  QtWindowSurface surface(this);
  AskingWindow asking(dialogs_, surface);
  QPointer<SummaryWindow> self(this);
  const std::string text = Tsv();
  auto choice = dialogs_.SaveFile(request);
  if (!choice || choice->FileName.empty()) return;
  const std::string path = WithChosenEnding(*choice, request);
  const auto written = WriteSummaryFile(path, text);
  if (!written && self) dialogs_.Message("Cannot write " + path + ":\r\n" + written.Reason(), MessageIcon::Exclamation);
}

QIcon SummaryPicture() {
  QPixmap pixmap(20, 20);
  pixmap.fill(Qt::transparent);
  QPainter p(&pixmap);
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(QPen(QColor(0x20, 0x40, 0x80), 2.0, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
  // A sigma: top bar, the two strokes to the middle, bottom bar.
  const QPointF points[] = {{15, 4}, {5, 4}, {10.5, 10}, {5, 16}, {15, 16}};
  p.drawPolyline(points, 5);
  return QIcon(pixmap);
}

}  // namespace qelt
