#pragma once
// What "List" and "File List" share: a toolbar, a 31-column record grid and
// the "Print" command. Opens at the top left corner of the screen.
#include <QPointer>
#include <QWidget>
#include <functional>
#include <vector>

#include "platform/Dialogs.hpp"
#include "records/GridCommands.hpp"
#include "records/RecordListLayout.hpp"

namespace qelt {

class Grid;
class Toolbar;

class RecordListWindow : public QWidget {
  Q_OBJECT
 public:
  Grid& RecordGrid() const { return *grid_; }
  Toolbar& Toolbar1() const { return *toolbar_; }
  QString Caption() const { return windowTitle(); }

  // The caption and the busy pointer, for the grid commands. Safe to call
  // after the window has gone.
  GridWindowHooks Hooks();

  // "Print": the printer dialog, then the records in "Times New Roman" 8 pt,
  // with the live poll stopped meanwhile and started again at the end.
  PrintOutcome Print();

  // Appends a record row (TAB-separated).
  void AddRow(std::string_view tabRow);

 signals:
  void ToolbarKey(const QString& key);

 protected:
  // pollStop and pollStart stop and start the main window's live poll.
  RecordListWindow(const RecordListLayout& layout, Dialogs& dialogs, std::function<void()> pollStop,
                   std::function<void()> pollStart, QWidget* parent);
  virtual void RunKey(const QString& key) = 0;
  // A control that follows the window's width as the user resizes it (the
  // grid follows both ways).
  void FollowWidth(QWidget* control) { follow_.push_back(control); }
  void showEvent(QShowEvent* event) override;
  Dialogs& dialogs_;

 private:
  Grid* grid_ = nullptr;
  Toolbar* toolbar_ = nullptr;
  std::function<void()> pollStop_;
  std::function<void()> pollStart_;
  std::vector<QWidget*> follow_;
  bool resizable_ = false;
};

// A small printer picture for the "Print" buttons.
QIcon PrintPicture();

}  // namespace qelt
