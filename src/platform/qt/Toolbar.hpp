#pragma once
// A command toolbar: buttons numbered from 1 in the order added, each with a
// Key, a picture and a tool tip that names its shortcut, if it has one. A
// hidden button still holds its picture, so that another button can take it.
#include <QIcon>
#include <QToolBar>
#include <functional>
#include <vector>

class QAction;
class QToolButton;

namespace qelt {

class Toolbar : public QToolBar {
  Q_OBJECT
 public:
  explicit Toolbar(QWidget* parent = nullptr);

  // Returns the new button's number.
  int AddButton(const QString& key, const QIcon& picture, const QString& toolTip, bool visible = true);
  // A shown button whose click calls `run` while `context` exists; returns its number.
  int AddCommand(const QString& key, const QIcon& picture, const QString& toolTip, const QObject* context,
                 std::function<void()> run);

  int Count() const { return static_cast<int>(actions_.size()); }
  QString Key(int index) const;

  QIcon Picture(int index) const;
  void SetPicture(int index, const QIcon& picture);
  // The tip as set, without the shortcut the shown tip adds.
  QString ToolTip(int index) const;
  void SetToolTip(int index, const QString& toolTip);
  void SetShortcut(int index, const QKeySequence& keys);
  // Button `to` takes the picture of button `from`.
  void LendPicture(int to, int from) { SetPicture(to, Picture(from)); }

  bool IsButtonVisible(int index) const;
  void SetButtonVisible(int index, bool visible);

  QAction* Action(int index) const;
  QToolButton* Button(int index) const;
  // As a user's click on button `index` (tests).
  void Click(int index);

 private:
  std::vector<QAction*> actions_;
};

}  // namespace qelt
