#include "recorder/ListWindow.hpp"

#include <QCloseEvent>

#include "platform/qt/Artwork.hpp"
#include "platform/qt/Grid.hpp"
#include "platform/qt/Toolbar.hpp"
#include "recorder/PcSampling.hpp"

namespace qelt {

ListWindow::ListWindow(RecorderState& state, Dialogs& dialogs, std::function<void()> pollStop,
                       std::function<void()> pollStart, QWidget* parent)
    : RecordListWindow(LiveListLayout(), dialogs, std::move(pollStop), std::move(pollStart), parent), state_(state) {
  setObjectName("List");
  LoadArtwork();
  Toolbar1().AddButton("Save", ToolbarPicture("Save"), "Save As");
  Toolbar1().AddButton("Print", PrintPicture(), "Print");
}

void ListWindow::ShowSkippedTicks(std::int64_t skipped) {
  setWindowTitle(QString("%1  (%2 skipped: no new reading)").arg(LiveListLayout().Caption).arg(skipped));
}

ListWindow::~ListWindow() {
  if (!unloaded_) state_.ListActive = false;
}

void ListWindow::SaveCommand() {
  QPointer<ListWindow> self(this);
  SaveLiveListCommand(
      state_, dialogs_, [self]() -> const GridRows* { return self ? &self->RecordGrid().Data() : nullptr; }, Hooks());
}

void ListWindow::RunKey(const QString& key) {
  if (key == "Save")
    SaveCommand();
  else if (key == "Print")
    Print();
}

void ListWindow::closeEvent(QCloseEvent* event) {
  // The unload: the sampling step stops adding rows.
  state_.ListActive = false;
  unloaded_ = true;
  QWidget::closeEvent(event);
}

}  // namespace qelt
