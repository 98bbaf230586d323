#include "report/ListReport.hpp"

#include <QDir>
#include <QFileInfo>
#include <QPainter>
#include <QStandardPaths>

#include "platform/PathText.hpp"
#include "platform/qt/BackgroundJob.hpp"
#include "platform/qt/QtDateTime.hpp"
#include "platform/qt/QtWindowSurface.hpp"
#include "platform/qt/Toolbar.hpp"
#include "records/RecordListWindow.hpp"
#include "report/ReportText.hpp"

namespace qelt {
namespace {

QString Q(const std::string& text) { return QString::fromStdString(text); }

// "<name>.pdf" beside the list's file, else the title's name in the
// documents folder.
std::string OfferedPath(const SummarySource& source, const std::string& title) {
  if (!source.File.empty()) {
    const QFileInfo file(Q(source.File));
    return file.dir().filePath(file.completeBaseName() + ".pdf").toStdString();
  }
  const QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
  const QString name = Q(TitleFileName(title)) + ".pdf";
  return QDir(folder.isEmpty() ? QDir::homePath() : folder).filePath(name).toStdString();
}

std::string FailureText(const ReportOutcome& outcome, const std::string& path) {
  switch (outcome.Error) {
    case ReportError::None: return {};
    case ReportError::NoRecords: return "The list holds not one record row; there is nothing to report.";
    case ReportError::Unreadable:
    case ReportError::HarmonicUnreadable: return "Cannot read " + outcome.Written.Reason();
    case ReportError::HarmonicTooShort: return outcome.Written.Reason();
    case ReportError::Unwritable: return "Cannot write " + path + ": " + outcome.Written.Reason();
    case ReportError::Cancelled: return {};
  }
  return {};
}

}  // namespace

// What the worker reads and writes: a copy of the list's rows, the request
// pointing into them, and what it read.
struct ListReport::Pending {
  std::vector<GridRows> Grids;
  ReportRequest Request;
  ReportReading Reading;
  std::string Path;
};

ListReport::ListReport(RecordListWindow& list, Dialogs& dialogs, std::function<SummarySource()> source)
    : QObject(&list), list_(&list), dialogs_(dialogs), source_(std::move(source)) {
  job_ = new BackgroundJob(this);
  connect(job_, &BackgroundJob::Progress, this, [this](int permille) { ShowProgress(permille / 10); });
  connect(job_, &BackgroundJob::Done, this, &ListReport::Finish);
}

// The job goes first: it stops and joins its worker.
ListReport::~ListReport() { delete job_; }

void ListReport::ReportCommand() {
  if (Busy() || !list_) return;  // one report at a time per list
  QtWindowSurface surface(list_);
  AskingWindow asking(dialogs_, surface);
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
  // A file's report is titled with the file's name, a list's with what it holds.
  const std::string title = source.File.empty() ? source.Title : FileNameOf(source.File);
  FileRequest file;
  file.Title = "Report";
  file.Filter = "PDF files|*.pdf|";
  file.InitialPath = OfferedPath(source, title);
  file.OverwritePrompt = true;
  file.FieldLabel = "Title:";
  file.FieldText = title;
  const std::optional<FileChoice> chosen = dialogs_.SaveFile(file);
  if (!chosen || !list_) return;
  const std::string path = WithChosenEnding(*chosen, file);
  if (const Result<> writable = CheckWritable(path); !writable) {
    dialogs_.Message("Cannot write " + path + ": " + writable.Reason(), MessageIcon::Exclamation);
    return;
  }
  request.Title = chosen->Field && !chosen->Field->empty() ? *chosen->Field : title;
  request.Made = LocalNow();
  std::vector<GridRows> grids;
  if (whole) {
    request.Files = source.WholeRecording;
  } else {
    if (source.Rows) grids = source.Rows();
    // The foot of each page names the source: the file, else the list ("Data List").
    request.Names = {source.File.empty() ? surface.Caption() : source.File};
  }
  Start(std::move(request), std::move(grids), path);
}

void ListReport::Start(ReportRequest request, std::vector<GridRows> grids, std::string path) {
  auto pending = std::make_shared<Pending>();
  pending->Request = std::move(request);
  pending->Grids = std::move(grids);
  for (const GridRows& grid : pending->Grids) pending->Request.Grids.push_back(&grid);
  pending->Path = std::move(path);
  pending_ = pending;
  surface_ = std::make_unique<QtWindowSurface>(list_);
  caption_ = surface_->Caption();
  job_->Start([pending](const std::function<bool(int)>& permille) {
    pending->Reading = ReadReport(pending->Request, [&permille](int percent) { return permille(percent * 10); });
  });
  ShowProgress(0);
}

void ListReport::ShowProgress(int percent) {
  if (surface_) surface_->SetCaption("Report " + std::to_string(percent) + "% - " + caption_);
}

void ListReport::Finish() {
  const std::shared_ptr<Pending> pending = std::move(pending_);
  ReportOutcome outcome = pending->Reading.Outcome;
  if (outcome.Error == ReportError::None) {
    ShowProgress(95);
    surface_->SetBusy(true);
    outcome = DrawReport(pending->Reading.Contents, pending->Path);
    surface_->SetBusy(false);
  }
  surface_->SetCaption(caption_);
  {
    // The user may work elsewhere by now: the box opens over the list.
    AskingWindow asking(dialogs_, *surface_);
    if (outcome.Error == ReportError::None)
      dialogs_.Message(
          "The report (" + std::to_string(outcome.Written->Pages) + " pages) was written to " + pending->Path + ".",
          MessageIcon::Information, MessageButtons::Ok, "Report");
    else if (const std::string text = FailureText(outcome, pending->Path); !text.empty())
      dialogs_.Message(text, MessageIcon::Exclamation, MessageButtons::Ok, "Report");
  }
  surface_.reset();
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
