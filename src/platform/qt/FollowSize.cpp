#include "platform/qt/FollowSize.hpp"

#include <QEvent>
#include <QPointer>
#include <QWidget>
#include <cmath>

namespace qelt {

QRect FollowedBox(const QRect& box, QSize design, QSize client, unsigned how) {
  const int dw = client.width() - design.width();
  const int dh = client.height() - design.height();
  if (how & Scale) {
    const double sx = design.width() > 0 ? static_cast<double>(client.width()) / design.width() : 1.0;
    const double sy = design.height() > 0 ? static_cast<double>(client.height()) / design.height() : 1.0;
    // Edges scaled, not sizes, so that neighbours stay edge to edge.
    const int left = static_cast<int>(std::lround(box.left() * sx));
    const int top = static_cast<int>(std::lround(box.top() * sy));
    const int right = static_cast<int>(std::lround((box.left() + box.width()) * sx));
    const int bottom = static_cast<int>(std::lround((box.top() + box.height()) * sy));
    return QRect(left, top, std::max(1, right - left), std::max(1, bottom - top));
  }
  QRect r = box;
  if (how & MoveRight) r.translate(dw, 0);
  if (how & MoveDown) r.translate(0, dh);
  if (how & GrowWidth) r.setWidth(std::max(1, box.width() + dw));
  if (how & GrowHeight) r.setHeight(std::max(1, box.height() + dh));
  return r;
}

namespace {

class Follower : public QObject {
 public:
  Follower(QWidget& window, std::vector<std::pair<QWidget*, unsigned>> children)
      : QObject(&window), design_(window.size()) {
    for (auto& [child, how] : children) children_.push_back({child, child->geometry(), how});
    window.installEventFilter(this);
  }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Resize) {
      const QSize client = static_cast<QWidget*>(watched)->size();
      for (const Child& c : children_)
        if (c.Widget) c.Widget->setGeometry(FollowedBox(c.Box, design_, client, c.How));
    }
    return false;
  }

 private:
  struct Child {
    QPointer<QWidget> Widget;
    QRect Box;
    unsigned How;
  };
  QSize design_;
  std::vector<Child> children_;
};

}  // namespace

void FollowClientSize(QWidget& window, std::vector<std::pair<QWidget*, unsigned>> children, double minFraction) {
  const QSize first = window.size();
  window.setMinimumSize(static_cast<int>(first.width() * minFraction), static_cast<int>(first.height() * minFraction));
  window.setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
  new Follower(window, std::move(children));
}

}  // namespace qelt
