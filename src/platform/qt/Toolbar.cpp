#include "platform/qt/Toolbar.hpp"

#include <QAction>
#include <QToolButton>

namespace qelt {

namespace {

// The usual keys of the usual commands, in every window that has them.
QKeySequence StandardKeys(const QString& key) {
  if (key == "Save") return QKeySequence(QKeySequence::Save);
  if (key == "Open") return QKeySequence(QKeySequence::Open);
  if (key == "Print") return QKeySequence(QKeySequence::Print);
  return {};
}

// "Open File (Ctrl+O)": the tip tells the key, where there is one.
void ShowTip(QAction& action) {
  const QString keys = action.shortcut().toString(QKeySequence::NativeText);
  action.setToolTip(keys.isEmpty() ? action.text() : QString("%1 (%2)").arg(action.text(), keys));
}

}  // namespace

Toolbar::Toolbar(QWidget* parent) : QToolBar(parent) {
  setMovable(false);
  setFloatable(false);
  setIconSize(QSize(20, 20));
  setToolButtonStyle(Qt::ToolButtonIconOnly);
  setContextMenuPolicy(Qt::PreventContextMenu);
}

int Toolbar::AddButton(const QString& key, const QIcon& picture, const QString& toolTip, bool visible) {
  QAction* action = addAction(picture, toolTip);
  action->setObjectName(key);
  action->setData(key);
  action->setVisible(visible);
  action->setShortcut(StandardKeys(key));
  ShowTip(*action);
  if (QWidget* w = widgetForAction(action)) {
    w->setObjectName(key);
    // Reachable with Tab, and drawn with its focus frame when reached.
    w->setFocusPolicy(Qt::TabFocus);
  }
  actions_.push_back(action);
  return Count();
}

int Toolbar::AddCommand(const QString& key, const QIcon& picture, const QString& toolTip, const QObject* context,
                        std::function<void()> run) {
  const int number = AddButton(key, picture, toolTip);
  connect(Action(number), &QAction::triggered, context, std::move(run));
  return number;
}

QAction* Toolbar::Action(int index) const {
  if (index < 1 || index > Count()) return nullptr;
  return actions_[static_cast<std::size_t>(index - 1)];
}

QString Toolbar::Key(int index) const {
  QAction* a = Action(index);
  return a ? a->data().toString() : QString();
}

QIcon Toolbar::Picture(int index) const {
  QAction* a = Action(index);
  return a ? a->icon() : QIcon();
}

void Toolbar::SetPicture(int index, const QIcon& picture) {
  if (QAction* a = Action(index)) a->setIcon(picture);
}

QString Toolbar::ToolTip(int index) const {
  QAction* a = Action(index);
  return a ? a->text() : QString();
}

void Toolbar::SetToolTip(int index, const QString& toolTip) {
  if (QAction* a = Action(index)) {
    a->setText(toolTip);
    ShowTip(*a);
  }
}

void Toolbar::SetShortcut(int index, const QKeySequence& keys) {
  if (QAction* a = Action(index)) {
    a->setShortcut(keys);
    ShowTip(*a);
  }
}

bool Toolbar::IsButtonVisible(int index) const {
  QAction* a = Action(index);
  return a && a->isVisible();
}

void Toolbar::SetButtonVisible(int index, bool visible) {
  if (QAction* a = Action(index)) a->setVisible(visible);
}

QToolButton* Toolbar::Button(int index) const {
  QAction* a = Action(index);
  return a ? qobject_cast<QToolButton*>(widgetForAction(a)) : nullptr;
}

void Toolbar::Click(int index) {
  if (QAction* a = Action(index)) a->trigger();
}

}  // namespace qelt
