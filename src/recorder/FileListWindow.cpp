#include "recorder/FileListWindow.hpp"

#include "platform/qt/Artwork.hpp"
#include "platform/qt/Grid.hpp"
#include "platform/qt/Toolbar.hpp"

namespace qelt {

FileListWindow::FileListWindow(float& plotRecordCount, Dialogs& dialogs, PanelControl& panel, QWidget* parent)
    : RecordListWindow(FileListLayout(), dialogs, panel, parent), plotRecordCount_(plotRecordCount) {
  setObjectName("FileList");
  LoadArtwork();
  Toolbar1().AddButton("Plot", ToolbarPicture("Graph"), "Plot");
  Toolbar1().AddButton("Print", PrintPicture(), "Print");
}

void FileListWindow::PlotCommand() {
  plotRecordCount_ = static_cast<float>(RecordGrid().Rows() - 1);
  emit PlotWanted(this);
}

void FileListWindow::RunKey(const QString& key) {
  if (key == "Plot")
    PlotCommand();
  else if (key == "Print")
    Print();
}

}  // namespace qelt
