#pragma once
// PC sampling of the main window: what its "Save", "Open", "List" and
// "Sampling" buttons and its Timer2 tick do, the recording status (through
// the main window's RecorderView), and the "List" and "File List" windows.
// The program wires the buttons and the tick to it; a child of the main window.
#include <QObject>
#include <QPointer>
#include <memory>

#include "platform/Dialogs.hpp"
#include "platform/Host.hpp"
#include "recorder/FileListWindow.hpp"
#include "recorder/ListWindow.hpp"
#include "recorder/PcSampling.hpp"
#include "session/PanelControl.hpp"
#include "session/Session.hpp"

namespace qelt {

class PcSamplingController : public QObject {
  Q_OBJECT
 public:
  // view and poll are the main window, which also becomes the parent; host
  // gives the sampling moment's date and time (by default the PC's clock).
  PcSamplingController(QObject& parent, RecorderView& view, PanelControl& poll, Session& session, Dialogs& dialogs,
                       Host* host = nullptr);
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
  // The program ends: the recording file is closed, the lists close.
  void Ending();

 signals:
  // A file list window was made (the file plot attaches to its "Plot").
  void FileListCreated(qelt::FileListWindow* window);
  // A live list window was made (also at its restart every 10 000 rows).
  void ListCreated(qelt::ListWindow* window);

 private:
  class LiveList;
  class FileLists;

  // Opens an empty live list that takes the samples.
  void ShowNewList();

  RecorderView& view_;
  PanelControl& poll_;
  Session& session_;
  Dialogs& dialogs_;
  std::unique_ptr<Host> ownHost_;
  std::unique_ptr<LiveList> liveList_;
  std::unique_ptr<FileLists> fileLists_;
  std::unique_ptr<PcSampling> sampling_;
  QPointer<ListWindow> list_;
  QPointer<FileListWindow> fileList_;
};

}  // namespace qelt
