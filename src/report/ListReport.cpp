#include "report/ListReport.hpp"

#include <QApplication>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QPainter>
#include <QStandardPaths>
#include <QTimer>

#include "platform/qt/Toolbar.hpp"
#include "records/RecordListWindow.hpp"

namespace qelt {
namespace {

QString Q(const std::string& text) { return QString::fromStdString(text); }

DateTime Now() {
  const QDateTime now = QDateTime::currentDateTime();
  return {now.date().year(), now.date().month(),  now.date().day(),
          now.time().hour(), now.time().minute(), now.time().second()};
}

// "<name>.pdf" beside the list's file, else in the documents folder.
std::string OfferedPath(const SummarySource& source) {
  if (!source.File.empty()) {
    const QFileInfo file(Q(source.File));
    return file.dir().filePath(file.completeBaseName() + ".pdf").toStdString();
  }
  const QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
  const QString name = (source.Title.empty() ? QString("Report") : Q(source.Title)) + ".pdf";
  return QDir(folder.isEmpty() ? QDir::homePath() : folder).filePath(name).toStdString();
}

std::string WithPdfEnding(std::string path) {
  if (!QFileInfo(Q(path)).suffix().isEmpty()) return path;
  return path + ".pdf";
}

std::string FailureText(const ReportOutcome& outcome, const std::string& path) {
  switch (outcome.Error) {
    case ReportError::None: return {};
    case ReportError::NoRecords: return "The list holds not one record row; there is nothing to report.";
    case ReportError::Unreadable:
    case ReportError::HarmonicUnreadable: return "Cannot read " + outcome.Reason;
    case ReportError::HarmonicTooShort: return outcome.Reason;
    case ReportError::Unwritable: return "Cannot write " + path + ": " + outcome.Reason;
    case ReportError::Cancelled: return {};
  }
  return {};
}

}  // namespace

struct ListReport::Job {
  std::atomic<bool> Cancel{false};
  std::atomic<int> Percent{0};
  std::vector<GridRows> Grids;  // a copy of the list's rows, read by the worker
  ReportRequest Request;
  ReportReading Reading;
  std::string Path;
  std::thread Worker;
  ~Job() {
    Cancel = true;
    if (Worker.joinable()) Worker.join();
  }
};

ListReport::ListReport(RecordListWindow& list, Dialogs& dialogs, std::function<SummarySource()> source)
    : QObject(&list), list_(&list), dialogs_(dialogs), source_(std::move(source)) {
  progressTimer_ = new QTimer(this);
  progressTimer_->setInterval(100);
  connect(progressTimer_, &QTimer::timeout, this, &ListReport::ShowProgress);
}

ListReport::~ListReport() { job_.reset(); }

void ListReport::ReportCommand() {
  if (job_ || !list_) return;  // one report at a time per list
  const SummarySource source = source_();
  ReportRequest request;
  request.LineVoltages = source.LineVoltages;
  bool whole = false;
  if (source.WholeRecording.size() > 1) {
    const MessageAnswer answer =
        dialogs_.Message("This file is part of a recording of " + std::to_string(source.WholeRecording.size()) +
                             " files.\nReport on the whole recording?",
                         MessageIcon::Question, MessageButtons::YesNoCancel, "Report");
    if (answer == MessageAnswer::Cancel) return;
    whole = answer == MessageAnswer::Yes;
  }
  FileRequest file;
  file.Title = "Report";
  file.Filter = "PDF files|*.pdf|";
  file.InitialPath = OfferedPath(source);
  file.OverwritePrompt = true;
  const std::optional<FileChoice> chosen = dialogs_.SaveFile(file);
  if (!chosen || !list_) return;
  const std::string path = WithPdfEnding(chosen->Path);
  if (const std::string reason = UnwritableReason(path); !reason.empty()) {
    dialogs_.Message("Cannot write " + path + ": " + reason, MessageIcon::Exclamation);
    return;
  }
  // A file's report is titled with the file's name, a list's with its caption.
  if (source.File.empty()) request.Title = source.Title;
  request.Made = Now();
  std::vector<GridRows> grids;
  if (whole) {
    request.Files = source.WholeRecording;
  } else {
    if (source.Rows) grids = source.Rows();
    request.Names = {source.File.empty() ? source.Title : source.File};
  }
  Start(std::move(request), std::move(grids), path);
}

void ListReport::Start(ReportRequest request, std::vector<GridRows> grids, std::string path) {
  auto job = std::make_shared<Job>();
  job->Request = std::move(request);
  job->Grids = std::move(grids);
  for (const GridRows& grid : job->Grids) job->Request.Grids.push_back(&grid);
  job->Path = std::move(path);
  job_ = job;
  caption_ = list_->windowTitle();
  QPointer<ListReport> self(this);
  job->Worker = std::thread([raw = job.get(), self] {
    raw->Reading = ReadReport(raw->Request, [raw](int percent) {
      raw->Percent = percent;
      return !raw->Cancel.load();
    });
    QMetaObject::invokeMethod(
        qApp,
        [self, raw] {
          if (self && self->job_.get() == raw) self->Finish();
        },
        Qt::QueuedConnection);
  });
  ShowProgress();
  progressTimer_->start();
}

void ListReport::ShowProgress() {
  if (job_ && list_) list_->setWindowTitle(QString("Report %1% - %2").arg(job_->Percent.load()).arg(caption_));
}

void ListReport::Finish() {
  progressTimer_->stop();
  if (job_->Worker.joinable()) job_->Worker.join();
  const std::shared_ptr<Job> job = std::move(job_);
  ReportOutcome outcome = job->Reading.Outcome;
  if (outcome.Error == ReportError::None) {
    if (list_) list_->setWindowTitle(QString("Report 95% - %1").arg(caption_));
    QApplication::setOverrideCursor(Qt::WaitCursor);
    outcome = DrawReport(job->Reading.Contents, job->Path);
    QApplication::restoreOverrideCursor();
  }
  if (list_) list_->setWindowTitle(caption_);
  if (outcome.Error == ReportError::None)
    dialogs_.Message("The report (" + std::to_string(outcome.Pages) + " pages) was written to " + job->Path + ".",
                     MessageIcon::Information, MessageButtons::Ok, "Report");
  else if (const std::string text = FailureText(outcome, job->Path); !text.empty())
    dialogs_.Message(text, MessageIcon::Exclamation, MessageButtons::Ok, "Report");
  last_ = outcome;
  emit Finished();
}

ListReport* AddReportButton(RecordListWindow& list, Dialogs& dialogs, std::function<SummarySource()> source) {
  auto* report = new ListReport(list, dialogs, std::move(source));
  list.Toolbar1().AddCommand("Report", ReportPicture(), "Report (PDF)", report, [report] { report->ReportCommand(); });
  return report;
}

QIcon ReportPicture() {
  QPixmap pixmap(20, 20);
  pixmap.fill(Qt::transparent);
  QPainter p(&pixmap);
  p.setRenderHint(QPainter::Antialiasing);
  // A page with a folded corner and a rising line on it.
  const QColor ink(0x20, 0x40, 0x80);
  p.setPen(QPen(ink, 1.2));
  p.setBrush(Qt::white);
  const QPointF page[] = {{4, 2}, {12.5, 2}, {16, 5.5}, {16, 18}, {4, 18}};
  p.drawPolygon(page, 5);
  p.setPen(QPen(QColor(0xc0, 0x30, 0x30), 1.4));
  const QPointF line[] = {{6, 15}, {9, 11}, {11, 13}, {14, 8}};
  p.drawPolyline(line, 4);
  return QIcon(pixmap);
}

}  // namespace qelt
