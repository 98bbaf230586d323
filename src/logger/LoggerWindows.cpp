#include "logger/LoggerWindows.hpp"

#include <QDesktopServices>
#include <QPushButton>
#include <QStandardPaths>
#include <QUrl>

#include "logger/DataListWindow.hpp"
#include "logger/MemoryWindow.hpp"
#include "logger/SetEntry.hpp"
#include "platform/qt/CancelPassage.hpp"
#include "platform/qt/CaptionPanel.hpp"

namespace qelt {

LoggerWindows::LoggerWindows(Session& session, Link& link, Dialogs& dialogs, PanelControl& panel, QObject* parent,
                             std::string exportFolder)
    : QObject(parent),
      session_(session),
      dialogs_(dialogs),
      panel_(panel),
      controller_({link, session.Guard, session.Logger, session.CosTable, panel, dialogs, *this},
                  std::move(exportFolder)) {
  controller_.SetWorkbookFolder(QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation).toStdString());
}

LoggerWindows::~LoggerWindows() {
  // No unload step now: the main window behind the PanelControl is going.
  if (memory_) {
    memory_->disconnect(this);
    delete memory_;
  }
  for (const QPointer<MemoryWindow>& w : unloaded_) delete w;
  for (auto& list : lists_) delete list;
}

MemoryWindow* LoggerWindows::Memory() const { return memory_; }
DataListWindow* LoggerWindows::DataList(int list) const { return lists_[list]; }

std::string LoggerWindows::DataListTitle() const {
  const int set = session_.Logger.SelectedSet;
  return LoggerSetTitle(set, ParseSetEntry(session_.Logger.SetHeaderCache[static_cast<std::size_t>(set)]));
}

int LoggerWindows::DataListWiringCode() const {
  const auto set = static_cast<std::size_t>(session_.Logger.SelectedSet);
  if (set >= session_.Logger.SetHeaderCache.size()) return 0;
  return ParseSetEntry(session_.Logger.SetHeaderCache[set]).Wiring % 16;
}

void LoggerWindows::OpenMemory() {
  if (memory_) {
    // Its rows stay as they are; the poll must not stay stopped.
    memory_->raise();
    memory_->activateWindow();
    panel_.StartTimer1();
    return;
  }
  auto* w = new MemoryWindow();
  memory_ = w;
  connect(w, &MemoryWindow::FirstShown, this,
          [this] { Run([this] { controller_.FillMemory(session_.Meter.WiringMode); }); });
  connect(w, &MemoryWindow::ReadClicked, this,
          [this, w](const QString& text) { RunCancellable(*w, [&] { controller_.ReadCommand(text.toStdString()); }); });
  connect(w, &MemoryWindow::GridClicked, this,
          [this, w](const QString& text) { RunCancellable(*w, [&] { controller_.ReadCommand(text.toStdString()); }); });
  connect(w, &MemoryWindow::EraseClicked, this,
          [this, w] { RunCancellable(*w, [this] { controller_.EraseCommand(); }); });
  // Only a request: the exchange's own wait, further down the stack, ends it.
  connect(w, &MemoryWindow::CancelClicked, this, [this] { controller_.CancelDownload(); });
  connect(w, &MemoryWindow::Unloaded, this, [this, w] {
    // Gone for the core at once; deleted only once no handler of it is on the stack.
    memory_ = nullptr;
    unloaded_.push_back(w);
    Run([this] { controller_.Unload(); });
  });
  w->show();
}

void LoggerWindows::Run(const std::function<void()>& handler) {
  ++depth_;
  handler();
  if (--depth_ > 0) return;
  for (const QPointer<MemoryWindow>& w : unloaded_)
    if (w) w->deleteLater();
  unloaded_.clear();
}

void LoggerWindows::RunCancellable(MemoryWindow& window, const std::function<void()>& handler) {
  CancelPassage passage(waitInput_, window, &window.CmdCancel());
  Run(handler);
}

void LoggerWindows::CloseAll() {
  CloseDataLists();
  if (memory_) memory_->close();
}

void LoggerWindows::ShowDirectory(const std::string& remain, const std::vector<std::string>& rows, int setCount) {
  if (memory_) memory_->ShowDirectory(QString::fromStdString(remain), rows, setCount);
}

void LoggerWindows::SetDownloadFill(int percent) {
  if (memory_) memory_->G1().SetFloodPercent(percent);
}

void LoggerWindows::SetDownloading(bool running) {
  if (memory_) memory_->SetDownloading(running);
}

void LoggerWindows::SetDownloadTimeLeft(const std::string& text) {
  if (memory_) memory_->SetTimeLeft(QString::fromStdString(text));
}

void LoggerWindows::ClearSetRows() {
  if (memory_) memory_->ClearSetRows();
}

void LoggerWindows::CloseMemory() {
  if (memory_) memory_->close();
}

void LoggerWindows::CloseDataLists() {
  for (auto& list : lists_)
    if (list) {
      list->close();
      list = nullptr;  // gone for the core at once, deleted later
    }
}

void LoggerWindows::OpenDataList(int list) {
  if (lists_[list]) lists_[list]->close();
  auto* w = new DataListWindow(list == 1, session_.Recorder, dialogs_, panel_);
  lists_[list] = w;
  emit DataListCreated(w);
  if (list == 1 && lists_[0]) {
    // Immediately right of the first list, at the same top.
    const QRect first = lists_[0]->frameGeometry();
    w->move(first.x() + first.width(), first.y());
  }
  w->show();
}

bool LoggerWindows::DataListOpen(int list) const { return lists_[list] && lists_[list]->isVisible(); }

void LoggerWindows::AddListRow(int list, std::string_view tabRow) {
  if (lists_[list]) lists_[list]->AddRow(tabRow);
}

void LoggerWindows::SetDetailsFill(int list, int percent) {
  if (lists_[list]) lists_[list]->G2().SetFloodPercent(percent);
}

bool LoggerWindows::OpenWorkbook(const std::string& path) {
  if (workbookOpener_) return workbookOpener_->OpenWorkbook(path);
  return QDesktopServices::openUrl(QUrl::fromLocalFile(QString::fromStdString(path)));
}

}  // namespace qelt
