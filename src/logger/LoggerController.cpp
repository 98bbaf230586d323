#include "logger/LoggerController.hpp"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <optional>

#include "logger/DownloadTimeLeft.hpp"
#include "logger/RecordDecoder.hpp"
#include "logger/SetDownload.hpp"
#include "logger/SetEntry.hpp"
#include "logger/WorkbookExport.hpp"

namespace qelt {

LoggerController::LoggerController(const LoggerParts& parts, std::string exportFolder)
    : p_(parts), exportFolder_(exportFolder.empty() ? DefaultExportFolder() : std::move(exportFolder)) {}

void LoggerController::FillMemory(const std::string& mode) {
  const std::string& dir = p_.Logger.LoggerDirectory;
  p_.View.ShowDirectory(RemainText(dir), DirectoryRows(dir, mode), DirectorySetCount(dir));
  // The poll stood still from "Memory" until the window is filled.
  p_.Panel.StartTimer1();
}

int LoggerController::SetNumberOf(const std::string& text) const {
  std::size_t b = text.find_first_not_of(' ');
  std::size_t e = text.find_last_not_of(' ');
  if (b == std::string::npos) return 0;
  const std::string digits = text.substr(b, e - b + 1);
  if (digits.size() > 2 || !std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; }))
    return 0;
  const int n = std::stoi(digits);
  const int sets = std::min(DirectorySetCount(p_.Logger.LoggerDirectory), 99);
  return n >= 1 && n <= sets ? n : 0;
}

void LoggerController::ReadCommand(const std::string& setText) {
  if (downloading_) return;
  const int set = SetNumberOf(setText);
  if (set == 0) return;
  p_.Logger.SelectedSet = set;
  ReadLoggerSet(set);
}

void LoggerController::ReadLoggerSet(int set) {
  const auto s = static_cast<std::size_t>(set);
  // Held from the download to the end of the decoding of what it brought.
  std::optional<PollPause> pause;
  if (p_.Logger.SetHeaderCache[s].empty()) {
    // Taken before the poll stops: a busy port leaves everything as it was.
    if (p_.Guard.CommandActive()) return;
    pause.emplace(p_.Panel, PollPausedTip);
    DownloadResult got = DownloadSet(set);
    if (got.Outcome == DownloadOutcome::Abandoned) return;  // the program is ending
    // A closed window is gone from the view: these reach only an open one.
    p_.View.SetDownloadTimeLeft({});
    p_.View.SetDownloadFill(-1);
    p_.View.SetDownloading(false);
    switch (got.Outcome) {
      case DownloadOutcome::Complete: break;
      case DownloadOutcome::Stalled:
        pause.reset();
        p_.TheDialogs.Message(DownloadStalledMessage(set, got.Received, got.Expected), MessageIcon::Stop);
        return;
      case DownloadOutcome::Busy:
      case DownloadOutcome::Cancelled:
      case DownloadOutcome::Abandoned: return;
    }
    // Only a whole set is kept.
    p_.Logger.SetHeaderCache[s] = got.Entry;
    p_.Logger.SetDataCache[s] = std::move(got.Data);
  }
  const unsigned generation = ++generation_;
  p_.View.CloseDataLists();
  p_.View.OpenDataList(0);
  DecodeLoggerSet(set, generation, pause);
}

DownloadResult LoggerController::DownloadSet(int set) {
  downloading_ = true;
  cancel_ = false;
  p_.View.SetDownloading(true);
  p_.View.SetDownloadFill(0);
  Host& host = p_.TheLink.EventHost();
  DownloadTimeLeft timeLeft;
  std::string shownLeft;
  DownloadHooks hooks;
  hooks.Fill = [this](int percent) { p_.View.SetDownloadFill(percent); };
  hooks.Bytes = [&](std::size_t received, std::size_t total) {
    if (received == 0)
      timeLeft.Start(total, host.Monotonic());
    else
      timeLeft.Update(received, host.Monotonic());
    std::string text = TimeLeftText(timeLeft.SecondsLeft());
    if (text != shownLeft) p_.View.SetDownloadTimeLeft(shownLeft = std::move(text));
  };
  hooks.Cancelled = [this] { return cancel_; };
  DownloadResult got = DownloadLoggerSet(p_.TheLink, p_.Guard, set, hooks);
  downloading_ = false;
  return got;
}

std::optional<FileChoice> LoggerController::AskWorkbook(int set, const SetEntry& entry) {
  FileRequest request;
  request.Title = WorkbookDialogTitle;
  request.Filter = WorkbookFilter;
  request.OverwritePrompt = true;
  // Named as in the temporary folder, numbered past the workbooks already
  // in the folder offered: the last one used, else the documents folder.
  const std::string lastFolder = std::filesystem::path(lastWorkbook_).parent_path().string();
  const std::string offered = NewExportPath(lastWorkbook_.empty() ? workbookFolder_ : lastFolder, set, entry);
  if (lastWorkbook_.empty()) {
    request.InitialPath = std::filesystem::path(offered).filename().string();
    request.FallbackFolder = workbookFolder_;
  } else {
    request.InitialPath = offered;
  }
  return p_.TheDialogs.SaveFile(request);
}

void LoggerController::DecodeLoggerSet(int set, unsigned generation, std::optional<PollPause>& pause) {
  // Copies: an erase or an unload may empty the caches while the event loop runs.
  const std::string entry = p_.Logger.SetHeaderCache[static_cast<std::size_t>(set)];
  const std::string data = p_.Logger.SetDataCache[static_cast<std::size_t>(set)];
  RecordDecoder decoder(p_.CosTable, entry);
  const int count = decoder.RecordCount();
  decoding_ = true;
  bool split = false;  // DataList1 is open
  auto overtaken = [&] {
    return generation != generation_ || !p_.View.DataListOpen(0) || (split && !p_.View.DataListOpen(1));
  };
  auto end = [&] {
    if (generation == generation_) decoding_ = false;
    pause.reset();
  };

  p_.View.SetDetailsFill(0, 0);
  WorkbookExport book;
  bool exporting = false;
  std::optional<FileChoice> keep;  // where the user keeps the workbook
  if (count > ListSplit) {
    p_.TheDialogs.Message(SplitNotice, MessageIcon::None, MessageButtons::Ok);
    if (overtaken()) return end();
    // Written in the temporary folder first: a decoding overtaken on the way
    // then leaves a file the user already had untouched.
    const std::string temporary = NewExportPath(exportFolder_, set, decoder.Entry());
    keep = AskWorkbook(set, decoder.Entry());
    if (overtaken()) return end();
    if (keep) exporting = book.StartExport(temporary);
    p_.View.OpenDataList(1);
    split = true;
    p_.View.SetDetailsFill(1, 0);
  }
  if (!FillLists(decoder, data, exporting ? &book : nullptr, overtaken)) return end();  // the workbook is dropped

  p_.View.SetDetailsFill(0, -1);
  if (count > ListSplit) p_.View.SetDetailsFill(1, -1);
  end();
  if (keep) KeepWorkbook(book, keep->Path);
}

bool LoggerController::FillLists(RecordDecoder& decoder, const std::string& data, WorkbookExport* book,
                                 const std::function<bool()>& overtaken) {
  Host& host = p_.TheLink.EventHost();
  const int count = decoder.RecordCount();
  const int present = decoder.RecordsIn(data);
  int shown[2] = {0, 0};
  double lastEvents = host.Monotonic();
  int eventsAt = 0;
  for (int r = 0; r < present; ++r) {
    decoder.Decode(r, data);
    if (book && !book->ExportRow(r, decoder.SheetRow())) book = nullptr;
    const int list = r < ListSplit ? 0 : 1;
    p_.View.AddListRow(list, decoder.RowText());
    const int percent =
        list == 0 ? 100 * (r + 1) / std::min(count, ListSplit) : 100 * (r + 1 - ListSplit) / (count - ListSplit);
    if (percent != shown[list]) {
      shown[list] = percent;
      p_.View.SetDetailsFill(list, percent);
    }
    // The windows repaint a few times a second; more often would cost more
    // than the decoding itself.
    if ((r + 1) % 64 == 0 && (host.Monotonic() - lastEvents >= EventsInterval || r + 1 - eventsAt >= EventsEvery)) {
      host.RunEvents(0.0);
      lastEvents = host.Monotonic();
      eventsAt = r + 1;
      if (overtaken()) return false;
    }
  }
  return true;
}

void LoggerController::KeepWorkbook(WorkbookExport& book, const std::string& path) {
  if (book.Ok()) book.Finish();
  if (!book.Ok()) {
    p_.TheDialogs.Message(ExportFailedMessage(book.Path(), book.Error()), MessageIcon::Stop);
    return;
  }
  std::string reason;
  if (!MoveWorkbook(book.Path(), path, reason)) {
    std::error_code ec;
    std::filesystem::remove(book.Path(), ec);
    p_.TheDialogs.Message(ExportFailedMessage(path, reason), MessageIcon::Stop);
    return;
  }
  lastWorkbook_ = path;
  const bool opened = p_.View.OpenWorkbook(path);
  p_.TheDialogs.Message(opened ? WorkbookWrittenMessage(path) : WorkbookNotOpenedMessage(path),
                        MessageIcon::Information);
}

void LoggerController::EraseCommand() {
  if (downloading_) return;
  MessageAnswer answer =
      p_.TheDialogs.Message(EraseQuestion, MessageIcon::Exclamation, MessageButtons::OkCancelDefaultCancel, EraseTitle);
  if (answer != MessageAnswer::Ok) return;
  if (p_.Guard.CommandActive()) return;
  {
    PollPause pause(p_.Panel);
    erasing_ = true;
    cancel_ = false;
    EraseLoggerMemory(p_.TheLink, p_.Guard);
    erasing_ = false;
    // Stopped during the wake-up: "G" was not sent, the sets are still there.
    if (cancel_) return;
    p_.Logger.ClearCaches();
    p_.View.ClearSetRows();
  }
  p_.View.CloseMemory();
}

void LoggerController::CancelDownload() {
  if (downloading_) cancel_ = true;
  if (erasing_) AbandonErase();
}

void LoggerController::AbandonErase() {
  cancel_ = true;
  // The erase's wake-up has no cancel check of its own: taking the port ends it.
  if (p_.Guard.CommandActive()) p_.Guard.TakeForShutdown().Release();
}

void LoggerController::Unload() {
  if (erasing_) AbandonErase();
  cancel_ = true;
  // Also when the window was closed before its first fill; a download still
  // running holds its own pause until it ends.
  p_.Panel.StartTimer1();
  p_.Logger.ClearCaches();
}

}  // namespace qelt
