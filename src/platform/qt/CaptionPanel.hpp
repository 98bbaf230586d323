#pragma once
// A captioned three-dimensional panel. In flood mode it is a progress bar:
// the given share of its width is filled and the caption reads "NN%".
#include <QWidget>

namespace qelt {

class CaptionPanel : public QWidget {
  Q_OBJECT
 public:
  enum class Bevel { None, Raised, Inset };

  explicit CaptionPanel(const QString& caption = {}, QWidget* parent = nullptr);

  QString Caption() const { return caption_; }
  void SetCaption(const QString& caption);
  void SetAlignment(Qt::Alignment alignment);
  void SetBevel(Bevel bevel, int width = 1);
  Bevel BevelKind() const { return bevel_; }

  // 0..100 shows the fill; a negative value leaves flood mode.
  void SetFloodPercent(int percent);
  int FloodPercent() const { return flood_; }
  // Shown after the percentage in flood mode ("9%   2 min 35 s left").
  void SetFloodNote(const QString& note);
  bool Flooding() const { return flood_ >= 0; }
  // The caption as shown: the percentage in flood mode.
  QString ShownText() const;

  QSize sizeHint() const override;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QString caption_;
  Qt::Alignment alignment_ = Qt::AlignCenter;
  Bevel bevel_ = Bevel::Raised;
  int bevelWidth_ = 1;
  int flood_ = -1;
  QString note_;
};

}  // namespace qelt
