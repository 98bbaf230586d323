#pragma once
// Attaches PC sampling to the main window: its "Save", "Open", "List" and
// "Sampling" buttons, the Timer2 tick, the recording status labels, and the
// "List" and "File List" windows. Lives as a child of the main window.
#include <QObject>
#include <QPointer>
#include <memory>

#include "app/Session.hpp"
#include "panel/PcSampling.hpp"
#include "platform/Dialogs.hpp"
#include "platform/Host.hpp"

namespace qelt {

class FileListWindow;
class ListWindow;
class PanelWindow;

class PcSamplingController : public QObject {
  Q_OBJECT
 public:
  // host gives the sampling moment's date and time; by default the PC's clock.
  PcSamplingController(PanelWindow& panel, Session& session, Dialogs& dialogs, Host* host = nullptr);
  ~PcSamplingController() override;

  PcSampling& Sampling() { return *sampling_; }
  ListWindow* List() const;
  FileListWindow* FileList() const;

  // The toolbar commands and the tick, as the main window runs them.
  void SaveCommand();
  void OpenCommand();
  void ListCommand();
  void SamplingCommand();
  void Tick();

  // Runs when a file list window is made (the file plot attaches to its "Plot").
  std::function<void(FileListWindow&)> FileListCreated;

 private:
  class StatusView;
  class LiveList;
  class FileLists;

  ValueTexts LabelTexts() const;
  // Opens an empty live list that takes the samples.
  void ShowNewList();
  void StopPoll();
  void StartPoll();
  void Ending();

  QPointer<PanelWindow> panel_;
  Session& session_;
  Dialogs& dialogs_;
  std::unique_ptr<Host> ownHost_;
  std::unique_ptr<StatusView> status_;
  std::unique_ptr<LiveList> liveList_;
  std::unique_ptr<FileLists> fileLists_;
  std::unique_ptr<PcSampling> sampling_;
  QPointer<ListWindow> list_;
  QPointer<FileListWindow> fileList_;
};

// Makes the controller for a new main window (before it loads).
PcSamplingController* AttachPcSampling(PanelWindow& panel, Session& session, Dialogs& dialogs, Host* host = nullptr);

}  // namespace qelt
