#pragma once
// The logger's windows behind the LoggerView: the "Data Logger" window and
// the two data lists, each opened and closed here, and the controller that
// drives them. Lives as long as the main window.
#include <QObject>
#include <QPointer>
#include <functional>
#include <memory>
#include <vector>

#include "link/Link.hpp"
#include "logger/DataListWindow.hpp"
#include "logger/LoggerController.hpp"
#include "logger/LoggerView.hpp"
#include "logger/WorkbookOpener.hpp"
#include "platform/Dialogs.hpp"
#include "platform/qt/WaitInput.hpp"
#include "session/PanelControl.hpp"
#include "session/Session.hpp"

class QWidget;

namespace qelt {

class MemoryWindow;

class LoggerWindows : public QObject, public LoggerView {
  Q_OBJECT
 public:
  LoggerWindows(Session& session, Link& link, Dialogs& dialogs, PanelControl& panel, QObject* parent = nullptr,
                std::string exportFolder = {});
  ~LoggerWindows() override;

  // "Memory" found sets: shows the logger window, or brings the open one
  // forward and starts the live poll again.
  void OpenMemory();
  // The program ends: every logger window closes.
  void CloseAll();

  MemoryWindow* Memory() const;
  DataListWindow* DataList(int list) const;
  // What the data lists show: "Logger set 2, 2011/08/02 08:00, 3P4W".
  std::string DataListTitle() const;
  // The wiring code of the set the data lists hold (0 while none is known).
  int DataListWiringCode() const;
  LoggerController& Controller() { return controller_; }

  // How a workbook is opened; the desktop's default application while none
  // is set. The opener outlives this or is taken away first.
  void SetWorkbookOpener(WorkbookOpener* opener) { workbookOpener_ = opener; }
  // The hold of the user's input in the program's waits: a download or an
  // erase opens it to the logger window's Cancel, Escape and close. None: the
  // waits hold nothing (a test's virtual clock).
  void SetWaitInput(WaitInput* input) { waitInput_ = input; }

  // LoggerView
  void ShowDirectory(const std::string& remain, const std::vector<std::string>& rows, int setCount) override;
  void SetDownloadFill(int percent) override;
  void SetDownloading(bool running) override;
  void SetDownloadTimeLeft(const std::string& text) override;
  void ClearSetRows() override;
  void CloseMemory() override;
  void CloseDataLists() override;
  void OpenDataList(int list) override;
  bool DataListOpen(int list) const override;
  void AddListRow(int list, std::string_view tabRow) override;
  void SetDetailsFill(int list, int percent) override;
  bool OpenWorkbook(const std::string& path) override;

 signals:
  // A data list window was made.
  void DataListCreated(qelt::DataListWindow* window);

 private:
  // Runs a handler of the logger window; windows unloaded meanwhile are
  // deleted once the outermost handler has returned.
  void Run(const std::function<void()>& handler);
  // The same, for a command the user may stop while it waits.
  void RunCancellable(MemoryWindow& window, const std::function<void()>& handler);

  Session& session_;
  Dialogs& dialogs_;
  PanelControl& panel_;
  LoggerController controller_;
  QPointer<MemoryWindow> memory_;
  QPointer<DataListWindow> lists_[2];
  std::vector<QPointer<MemoryWindow>> unloaded_;
  int depth_ = 0;
  WorkbookOpener* workbookOpener_ = nullptr;
  WaitInput* waitInput_ = nullptr;
};

}  // namespace qelt
