#pragma once
// "Data Logger": the sets stored in the instrument, "Read" of one set and
// "Erase". Thin: the commands are the LoggerController's; this window only
// reports the clicks and shows what the controller gives it.
#include <QWidget>

class QComboBox;
class QLabel;
class QPushButton;

namespace qelt {

class CaptionPanel;
class Grid;

class MemoryWindow : public QWidget {
  Q_OBJECT
 public:
  explicit MemoryWindow(QWidget* parent = nullptr);

  void ShowDirectory(const QString& remain, const std::vector<std::string>& rows, int setCount);
  void SetDownloading(bool running);
  // After the percentage of G1 while a download runs; empty: none.
  void SetTimeLeft(const QString& text);
  void ClearSetRows();

  QLabel& LblRemain() const { return *lblRemain_; }
  QComboBox& ComboSet() const { return *comboSet_; }
  QPushButton& CmdRead() const { return *cmdRead_; }
  QPushButton& CmdErase() const { return *cmdErase_; }
  // In Erase's place while a download runs.
  QPushButton& CmdCancel() const { return *cmdCancel_; }
  CaptionPanel& G1() const { return *g1_; }
  Grid& SetGrid() const { return *grid_; }

 signals:
  // First shown: the window fills itself.
  void FirstShown();
  void ReadClicked(const QString& setText);
  // A click on a set row: the text of its first cell.
  void GridClicked(const QString& setText);
  void EraseClicked();
  // "Cancel", or Escape in the window.
  void CancelClicked();
  // The window unloads.
  void Unloaded();

 protected:
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  QLabel* lblRemain_ = nullptr;
  QComboBox* comboSet_ = nullptr;
  QPushButton* cmdRead_ = nullptr;
  QPushButton* cmdErase_ = nullptr;
  QPushButton* cmdCancel_ = nullptr;
  CaptionPanel* g1_ = nullptr;
  Grid* grid_ = nullptr;
  bool shown_ = false;
  bool unloaded_ = false;
};

}  // namespace qelt
