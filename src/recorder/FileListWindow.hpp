#pragma once
// "File List": the records of a measurement file read by "Open". "Plot"
// sets PlotRecordCount to the number of records and hands the window to the
// file plot; "Print" prints the records; a click on the grid does nothing.
#include "records/RecordListWindow.hpp"

namespace qelt {

class FileListWindow : public RecordListWindow {
  Q_OBJECT
 public:
  FileListWindow(float& plotRecordCount, Dialogs& dialogs, PanelControl& panel, QWidget* parent = nullptr);

  void PlotCommand();

  // The full path of the file listed; empty until "Open" has opened it.
  const std::string& SourceFile() const { return sourceFile_; }
  void SetSourceFile(std::string path) { sourceFile_ = std::move(path); }

 signals:
  // "Plot" has set PlotRecordCount: the receiver plots the records of window.
  void PlotWanted(qelt::FileListWindow* window);

 private:
  float& plotRecordCount_;
  std::string sourceFile_;
};

}  // namespace qelt
