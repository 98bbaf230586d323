#include "recorder/FileListWindow.hpp"

#include "platform/qt/Artwork.hpp"
#include "platform/qt/Grid.hpp"
#include "platform/qt/Toolbar.hpp"

namespace qelt {

FileListWindow::FileListWindow(float& plotRecordCount, Dialogs& dialogs, PanelControl& panel, QWidget* parent)
    : RecordListWindow(FileListLayout(), dialogs, panel, parent), plotRecordCount_(plotRecordCount) {
  setObjectName("FileList");
  LoadArtwork();
  Toolbar1().AddCommand("Plot", ToolbarPicture("Graph"), "Plot", this, [this] { PlotCommand(); });
  Toolbar1().AddCommand("Print", PrintPicture(), "Print", this, [this] { Print(); });
}

void FileListWindow::PlotCommand() {
  plotRecordCount_ = static_cast<float>(RecordGrid().Rows() - 1);
  emit PlotWanted(this);
}

}  // namespace qelt
