#include "logger/DataListWindow.hpp"

#include "logger/RecordDecoder.hpp"
#include "platform/qt/Artwork.hpp"
#include "platform/qt/CaptionPanel.hpp"
#include "platform/qt/Grid.hpp"
#include "platform/qt/QtWindowSurface.hpp"
#include "platform/qt/Toolbar.hpp"
#include "platform/qt/TwipsGeometry.hpp"
#include "recorder/PcSampling.hpp"

namespace qelt {

namespace {
const RecordListLayout& Layout(bool continued) {
  static const RecordListLayout first{"Data List", 7965, 9615, 0, 840, 7935, 8775, DataListTitles()};
  static const RecordListLayout second{"Data List (Continued)", 7965, 9615, 0, 840, 7935, 8775, DataListTitles()};
  return continued ? second : first;
}
}  // namespace

DataListWindow::DataListWindow(bool continued, RecorderState& recorder, Dialogs& dialogs, PanelControl& panel,
                               QWidget* parent)
    : RecordListWindow(Layout(continued), dialogs, panel, parent), recorder_(recorder) {
  setObjectName(continued ? "DataList1" : "DataList");
  setAttribute(Qt::WA_DeleteOnClose);
  PlaceTwips(Toolbar1(), 0, 0, 7965, 420);
  LoadArtwork();
  Toolbar1().AddCommand("Save", ToolbarPicture("Save"), "Save As", this, [this] { SaveCommand(); });
  Toolbar1().AddCommand("Print", PrintPicture(), "Print", this, [this] { Print(); });
  g2_ = new CaptionPanel("Details", this);
  g2_->setObjectName("G2");
  PlaceTwips(*g2_, 0, 480, 7935, 375);
  FollowWidth(g2_);
}

void DataListWindow::SaveCommand() {
  if (recorder_.Recording) {
    dialogs_.Message(ListRecordingMessage(), MessageIcon::Stop);
    return;
  }
  // The dialog runs the event loop, where the window may close.
  QPointer<DataListWindow> self(this);
  SaveDialog(recorder_, dialogs_);
  if (!recorder_.DialogOK) return;
  if (!self) {
    recorder_.DialogOK = false;
    return;
  }
  QtWindowSurface surface(this);
  SaveGrid(recorder_, RecordGrid().Data(), surface, dialogs_);
}

}  // namespace qelt
