#pragma once
// "List": the live record list. The sampling step appends a row per sample
// while it is open; "Save" writes it to a file (refused while recording),
// "Print" prints it. Closing it clears ListActive.
#include "records/RecordListWindow.hpp"
#include "session/RecorderState.hpp"

class QAction;
class QLabel;

namespace qelt {

class ListWindow : public RecordListWindow {
  Q_OBJECT
 public:
  ListWindow(RecorderState& state, Dialogs& dialogs, PanelControl& panel, QWidget* parent = nullptr);
  ~ListWindow() override;

  // Toolbar "Save".
  void SaveCommand();
  // "3 skipped: no new reading" at the toolbar's right end: sampling ticks
  // that added no row (none shown for 0).
  void ShowSkippedTicks(std::int64_t skipped);
  QString SkippedText() const;

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  RecorderState& state_;
  QLabel* skipped_ = nullptr;
  QAction* skippedAction_ = nullptr;
  bool unloaded_ = false;
};

}  // namespace qelt
