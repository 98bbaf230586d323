#pragma once
// What "List" and "File List" share: a toolbar, a 31-column record grid and
// the "Print" command. Opens at the top left corner of the screen.
#include <QPointer>
#include <QWidget>
#include <vector>

#include "platform/Dialogs.hpp"
#include "records/GridCommands.hpp"
#include "records/RecordListLayout.hpp"
#include "session/PanelControl.hpp"

namespace qelt {

class Grid;
class Toolbar;

class RecordListWindow : public QWidget {
  Q_OBJECT
 public:
  Grid& RecordGrid() const { return *grid_; }
  Toolbar& Toolbar1() const { return *toolbar_; }
  QString Caption() const { return windowTitle(); }

  // "Print": the printer dialog, then the records in "Times New Roman" 8 pt,
  // with the live poll stopped meanwhile and started again at the end.
  PrintOutcome Print();

  // Appends a record row (TAB-separated).
  void AddRow(std::string_view tabRow);

 protected:
  // panel: the main window, whose live poll stops while a print runs.
  RecordListWindow(const RecordListLayout& layout, Dialogs& dialogs, PanelControl& panel, QWidget* parent);
  // A control that follows the window's width as the user resizes it (the
  // grid follows both ways).
  void FollowWidth(QWidget* control) { follow_.push_back(control); }
  void showEvent(QShowEvent* event) override;
  Dialogs& dialogs_;
  PanelControl& panel_;

 private:
  Grid* grid_ = nullptr;
  Toolbar* toolbar_ = nullptr;
  std::vector<QWidget*> follow_;
  bool resizable_ = false;
};

}  // namespace qelt
