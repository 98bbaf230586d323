#pragma once
// The logger's commands, Qt-free: filling the logger window from the
// directory, "Read" (download or cache, then the data lists), "Erase", the
// window's unload, and the record decoding into the lists and the workbook.
//
// Lives as long as the main window; the windows come and go behind the view.
// Its handlers run the event loop (downloads, decoding), so they may be
// entered again from within; each one checks afterwards whether its
// download or decoding was overtaken.
#include <functional>
#include <optional>
#include <string>

#include "link/ExchangeGuard.hpp"
#include "link/Link.hpp"
#include "logger/LoggerView.hpp"
#include "logger/SetDownload.hpp"
#include "platform/Dialogs.hpp"
#include "session/CosTable.hpp"
#include "session/LoggerState.hpp"
#include "session/PanelControl.hpp"

namespace qelt {

class RecordDecoder;
struct SetEntry;
class WorkbookExport;

inline constexpr const char* EraseQuestion = "All data in memory will be deleted!";
inline constexpr const char* EraseTitle = "Warning!";
inline constexpr const char* SplitNotice = "Over 10000 records, two files will be generated.";
inline constexpr int ListSplit = 10000;  // records in the first data list
inline constexpr const char* WorkbookDialogTitle = "Save Workbook";
inline constexpr const char* WorkbookFilter = "Workbook (*.xlsx)|*.xlsx|All Files (*.*)|*.*|";
inline constexpr const char* PollPausedTip =
    "The live readings pause while the logger set is read: the values shown are the last ones read.";

struct LoggerParts {
  Link& TheLink;
  ExchangeGuard& Guard;
  LoggerState& Logger;
  const CosTableArray& CosTable;
  PanelControl& Panel;
  Dialogs& TheDialogs;
  LoggerView& View;
};

class LoggerController {
 public:
  explicit LoggerController(const LoggerParts& parts, std::string exportFolder = {});

  // The logger window was first shown: its rows from LoggerDirectory, then
  // the live poll again. mode is the wiring mode text last shown.
  void FillMemory(const std::string& mode);
  // "Read" with ComboSet's text, or a click on a set row's first cell.
  void ReadCommand(const std::string& setText);
  void EraseCommand();
  // "Cancel" (or Escape) while a download runs: it ends as when the window
  // closes, and the window stays. During an erase's wake-up: nothing is erased.
  void CancelDownload();
  // The logger window unloads: a download running is cancelled, the caches
  // emptied and the live poll started again.
  void Unload();

  bool Downloading() const { return downloading_; }
  bool Decoding() const { return decoding_; }
  // The set number a text names, or 0 when it is not one of 1..n of the directory.
  int SetNumberOf(const std::string& text) const;

  // Where exports are written before they move to the file the user chose,
  // and that file for the last workbook (empty when none).
  const std::string& ExportFolder() const { return exportFolder_; }
  const std::string& LastWorkbook() const { return lastWorkbook_; }
  // Where the workbook's save dialog starts while no workbook was kept yet
  // (the documents folder).
  void SetWorkbookFolder(std::string folder) { workbookFolder_ = std::move(folder); }

  // The decoding lets the event loop run after EventsInterval seconds, or
  // after EventsEvery records on a clock that does not move meanwhile.
  static constexpr double EventsInterval = 0.05;
  static constexpr int EventsEvery = 2048;

 private:
  void ReadLoggerSet(int set);
  DownloadResult DownloadSet(int set);
  // Ends the pause (if any) when the lists are filled or the decoding is overtaken.
  void DecodeLoggerSet(int set, unsigned generation, std::optional<PollPause>& pause);
  std::optional<FileChoice> AskWorkbook(int set, const SetEntry& entry);
  // False once overtaken(), checked after each turn of the event loop.
  bool FillLists(RecordDecoder& decoder, const std::string& data, WorkbookExport* book,
                 const std::function<bool()>& overtaken);
  void KeepWorkbook(WorkbookExport& book, const std::string& path);
  void AbandonErase();

  LoggerParts p_;
  std::string exportFolder_;
  std::string lastWorkbook_;
  std::string workbookFolder_;
  bool downloading_ = false;
  bool decoding_ = false;
  bool erasing_ = false;
  bool cancel_ = false;
  unsigned generation_ = 0;  // changes whenever the data lists are replaced
};

}  // namespace qelt
