#include "platform/qt/CaptionPanel.hpp"

#include <QPainter>
#include <algorithm>

namespace qelt {

CaptionPanel::CaptionPanel(const QString& caption, QWidget* parent) : QWidget(parent), caption_(caption) {
  setAttribute(Qt::WA_OpaquePaintEvent);
}

void CaptionPanel::SetCaption(const QString& caption) {
  if (caption == caption_) return;
  caption_ = caption;
  update();
}

void CaptionPanel::SetAlignment(Qt::Alignment alignment) {
  alignment_ = alignment;
  update();
}

void CaptionPanel::SetBevel(Bevel bevel, int width) {
  bevel_ = bevel;
  bevelWidth_ = std::max(0, width);
  update();
}

void CaptionPanel::SetFloodPercent(int percent) {
  flood_ = percent < 0 ? -1 : std::min(percent, 100);
  update();
}

void CaptionPanel::SetFloodNote(const QString& note) {
  if (note == note_) return;
  note_ = note;
  update();
}

QString CaptionPanel::ShownText() const {
  if (!Flooding()) return caption_;
  return QString::number(flood_) + "%" + (note_.isEmpty() ? QString() : "   " + note_);
}

QSize CaptionPanel::sizeHint() const {
  QFontMetrics fm(font());
  return QSize(fm.horizontalAdvance(ShownText()) + 8 + 2 * bevelWidth_, fm.height() + 4 + 2 * bevelWidth_);
}

void CaptionPanel::paintEvent(QPaintEvent* /*event*/) {
  QPainter p(this);
  const QPalette& pal = palette();
  QRect r = rect();
  p.fillRect(r, pal.color(QPalette::Button));

  // The bevel: light above and left, dark below and right (the other way for inset).
  if (bevel_ != Bevel::None) {
    QColor topLeft = bevel_ == Bevel::Raised ? pal.color(QPalette::Light) : pal.color(QPalette::Dark);
    QColor bottomRight = bevel_ == Bevel::Raised ? pal.color(QPalette::Dark) : pal.color(QPalette::Light);
    for (int i = 0; i < bevelWidth_; ++i) {
      QRect b = r.adjusted(i, i, -i - 1, -i - 1);
      p.setPen(topLeft);
      p.drawLine(b.topLeft(), b.topRight());
      p.drawLine(b.topLeft(), b.bottomLeft());
      p.setPen(bottomRight);
      p.drawLine(b.bottomLeft(), b.bottomRight());
      p.drawLine(b.topRight(), b.bottomRight());
    }
  }
  QRect inner = r.adjusted(bevelWidth_, bevelWidth_, -bevelWidth_, -bevelWidth_);
  QRect textRect = inner.adjusted(2, 0, -2, 0);

  if (!Flooding()) {
    p.setPen(pal.color(QPalette::ButtonText));
    p.drawText(textRect, static_cast<int>(alignment_), caption_);
    return;
  }
  // Progress: the filled share, the percentage white over the fill and dark elsewhere.
  QRect filled = inner;
  filled.setWidth(inner.width() * flood_ / 100);
  p.fillRect(filled, pal.color(QPalette::Highlight));
  QString text = ShownText();
  p.save();
  p.setClipRect(filled);
  p.setPen(pal.color(QPalette::HighlightedText));
  p.drawText(inner, Qt::AlignCenter, text);
  p.restore();
  p.save();
  p.setClipRegion(QRegion(inner).subtracted(QRegion(filled)));
  p.setPen(pal.color(QPalette::ButtonText));
  p.drawText(inner, Qt::AlignCenter, text);
  p.restore();
}

}  // namespace qelt
