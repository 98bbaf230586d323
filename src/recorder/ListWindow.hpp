#pragma once
// "List": the live record list. The sampling step appends a row per sample
// while it is open; "Save" writes it to a file (refused while recording),
// "Print" prints it. Closing it clears ListActive.
#include "records/RecordListWindow.hpp"
#include "session/RecorderState.hpp"

namespace qelt {

class ListWindow : public RecordListWindow {
  Q_OBJECT
 public:
  ListWindow(RecorderState& state, Dialogs& dialogs, std::function<void()> pollStop, std::function<void()> pollStart,
             QWidget* parent = nullptr);
  ~ListWindow() override;

  // Toolbar "Save".
  void SaveCommand();
  // "List  (3 skipped: no new reading)": sampling ticks that added no row.
  void ShowSkippedTicks(std::int64_t skipped);

 protected:
  void RunKey(const QString& key) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  RecorderState& state_;
  bool unloaded_ = false;
};

}  // namespace qelt
