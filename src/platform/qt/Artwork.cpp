#include "platform/qt/Artwork.hpp"

#include <QPainter>
#include <QPixmap>
#include <QtGlobal>

// Outside the namespace: the resource initialiser is a global function.
static void RegisterQeltArtwork() { Q_INIT_RESOURCE(qelt_artwork); }

namespace qelt {

void LoadArtwork() {
  static const bool registered = (RegisterQeltArtwork(), true);
  (void)registered;
}

QString ToolbarPicturePath(const QString& name) { return ":/qelt/toolbar/" + name + ".svg"; }

QIcon ToolbarPicture(const QString& name) {
  LoadArtwork();
  return QIcon(ToolbarPicturePath(name));
}

QString WiringPicturePath(const QString& name) {
  LoadArtwork();
  return ":/qelt/wiring/" + name + ".svg";
}

QIcon PrintPicture() {
  QPixmap pixmap(20, 20);
  pixmap.fill(Qt::transparent);
  QPainter p(&pixmap);
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(QPen(QColor(0x30, 0x30, 0x30), 1.2));
  p.setBrush(Qt::white);
  p.drawRect(QRectF(5.5, 2.5, 9, 6));  // paper in
  p.setBrush(QColor(0x90, 0x98, 0xa0));
  p.drawRoundedRect(QRectF(2.5, 7.5, 15, 7), 1.5, 1.5);  // body
  p.setBrush(Qt::white);
  p.drawRect(QRectF(5.5, 11.5, 9, 6));  // paper out
  p.drawLine(QPointF(7, 14), QPointF(13, 14));
  p.drawLine(QPointF(7, 16), QPointF(12, 16));
  return QIcon(pixmap);
}

}  // namespace qelt
