#include "recorder/ListWindow.hpp"

#include <QAction>
#include <QCloseEvent>
#include <QLabel>

#include "platform/qt/Artwork.hpp"
#include "platform/qt/Grid.hpp"
#include "platform/qt/QtWindowSurface.hpp"
#include "platform/qt/Toolbar.hpp"
#include "recorder/PcSampling.hpp"

namespace qelt {

ListWindow::ListWindow(RecorderState& state, Dialogs& dialogs, PanelControl& panel, QWidget* parent)
    : RecordListWindow(LiveListLayout(), dialogs, panel, parent), state_(state) {
  setObjectName("List");
  LoadArtwork();
  Toolbar1().AddCommand("Save", ToolbarPicture("Save"), "Save As", this, [this] { SaveCommand(); });
  Toolbar1().AddCommand("Print", PrintPicture(), "Print", this, [this] { Print(); });
  // The count of ticks without a row stands at the toolbar's right end; the
  // caption stays "List".
  auto* spacer = new QWidget(this);
  spacer->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
  Toolbar1().addWidget(spacer);
  skipped_ = new QLabel(this);
  skipped_->setObjectName("LblSkipped");
  skipped_->setContentsMargins(0, 0, 6, 0);
  skipped_->setToolTip(
      "Sampling ticks that added no row: no newer reading had come from the instrument since the last row "
      "(the live poll was stopped or the instrument did not answer).");
  skippedAction_ = Toolbar1().addWidget(skipped_);
  skippedAction_->setVisible(false);
}

void ListWindow::ShowSkippedTicks(std::int64_t skipped) {
  skipped_->setText(QString("%1 skipped: no new reading").arg(skipped));
  skippedAction_->setVisible(skipped > 0);
}

QString ListWindow::SkippedText() const { return skippedAction_->isVisible() ? skipped_->text() : QString(); }

ListWindow::~ListWindow() {
  if (!unloaded_) state_.ListActive = false;
}

void ListWindow::SaveCommand() {
  QPointer<ListWindow> self(this);
  QtWindowSurface surface(this);
  SaveLiveListCommand(
      state_, dialogs_, [self]() -> const GridRows* { return self ? &self->RecordGrid().Data() : nullptr; }, surface);
}

void ListWindow::closeEvent(QCloseEvent* event) {
  // The unload: the sampling step stops adding rows.
  state_.ListActive = false;
  unloaded_ = true;
  QWidget::closeEvent(event);
}

}  // namespace qelt
