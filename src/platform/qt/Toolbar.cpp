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
  action->setToolTip(toolTip);
  action->setVisible(visible);
  action->setShortcut(StandardKeys(key));
  if (QWidget* w = widgetForAction(action)) {
    w->setObjectName(key);
    // Reachable with Tab, and drawn with its focus frame when reached.
    w->setFocusPolicy(Qt::TabFocus);
  }
  connect(action, &QAction::triggered, this, [this, key] { emit ButtonClick(key); });
  actions_.push_back(action);
  return Count();
}

int Toolbar::AddCommand(const QString& key, const QIcon& picture, const QString& toolTip, const QObject* context,
                        std::function<void()> run) {
  const int number = AddButton(key, picture, toolTip);
  connect(Action(number), &QAction::triggered, context, std::move(run));
  return number;
}

int Toolbar::IndexOf(const QString& key) const {
  for (std::size_t i = 0; i < actions_.size(); ++i)
    if (actions_[i]->data().toString() == key) return static_cast<int>(i) + 1;
  return 0;
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
  return a ? a->toolTip() : QString();
}

void Toolbar::SetToolTip(int index, const QString& toolTip) {
  if (QAction* a = Action(index)) {
    a->setText(toolTip);
    a->setToolTip(toolTip);
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
