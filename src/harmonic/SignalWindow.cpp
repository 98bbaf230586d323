#include "harmonic/SignalWindow.hpp"

#include <QFontMetricsF>
#include <QImage>
#include <QPainter>
#include <QPixmap>
#include <QResizeEvent>
#include <cmath>

#include "platform/Twips.hpp"
#include "platform/qt/Artwork.hpp"
#include "platform/qt/Toolbar.hpp"
#include "platform/qt/WidgetPrint.hpp"

namespace qelt {

SignalWindow::SignalWindow(std::vector<std::string> pointTexts, Dialogs& dialogs, QWidget* parent)
    : QWidget(parent, Qt::Window), texts_(std::move(pointTexts)), dialogs_(dialogs), toolbar_(new Toolbar(this)) {
  setObjectName("Signal");
  setWindowTitle("Signal");
  QPalette p = palette();
  p.setColor(QPalette::Window, Qt::white);
  setPalette(p);
  setAutoFillBackground(true);
  QFont font("Times New Roman");
  font.setPointSizeF(8.25);
  setFont(font);
  LoadArtwork();
  toolbar_->AddCommand("Print", PrintPicture(), "Print", this, [this] { PrintCommand(); });
  // A minimum, not a resize inside the resize handler: that loops when the
  // window manager refuses the size.
  setMinimumSize(TwipsToPixels(WaveMinWidthTwips), TwipsToPixels(WaveMinHeightTwips));
  resize(minimumSize());
}

void SignalWindow::Load(const QRect& preHarmonicFrame) { move(preHarmonicFrame.left() + preHarmonicFrame.width(), 0); }

QRect SignalWindow::DrawingArea() const {
  // Also before the window is first shown: the toolbar is hidden only while printing.
  const int top = toolbar_->isHidden() ? 0 : toolbar_->sizeHint().height();
  return QRect(0, top, width(), height() - top);
}

void SignalWindow::resizeEvent(QResizeEvent* event) {
  toolbar_->setGeometry(0, 0, width(), toolbar_->sizeHint().height());
  LayOut();
  QWidget::resizeEvent(event);
}

void SignalWindow::LayOut() {
  QFontMetricsF metrics(font());
  WaveTextMetrics measure{
      [&](const std::string& t) { return t.empty() ? 0.0 : metrics.horizontalAdvance(QString::fromStdString(t)); },
      [&](const std::string& t) { return t.empty() ? 0.0 : metrics.height(); }};
  const QString caption = windowTitle();
  const QRect area = DrawingArea();
  drawing_ = DrawWave(area.width(), area.height(), texts_, measure,
                      [this](int i) { setWindowTitle(QString::fromStdString(WaveProgressCaption(i))); });
  setWindowTitle(caption);
  ++layouts_;
  update();
}

void PaintWave(QPainter& painter, const WaveDrawing& drawing) {
  painter.setRenderHint(QPainter::Antialiasing, false);
  const QColor grey(192, 192, 192);
  // The horizontal grid is drawn again at every point, over the segments
  // drawn before it. Grey over grey changes nothing, so each redraw is
  // limited to the span of the black lines drawn since the one before: the
  // same pixels as the whole 448 lines, at a fraction of the cost.
  QPixmap dots;
  QPen pen;
  double blackLo = -1e9, blackHi = 1e9;  // everything is new before the first grid
  bool inGrid = false;
  for (const WaveLine& l : drawing.Lines) {
    const bool gridLine = l.Colour == WaveColour::Grey && l.Y1 == l.Y2 && l.Width == 1;
    if (!gridLine && l.Colour == WaveColour::Black) {
      if (inGrid) blackLo = 1e9, blackHi = -1e9, inGrid = false;
      blackLo = std::min({blackLo, l.X1, l.X2}) - l.Width - 1;
      blackHi = std::max({blackHi, l.X1, l.X2}) + l.Width + 1;
    }
    if (gridLine) {
      inGrid = true;
      const double left = std::min(l.X1, l.X2), right = std::max(l.X1, l.X2);
      const double from = std::max(left, std::floor(blackLo)), to = std::min(right, std::ceil(blackHi));
      if (from > to) continue;
      if (l.Dotted) {
        const int length = static_cast<int>(std::lround(right - left)) + 1;
        if (dots.width() != length) {
          QImage strip(length, 1, QImage::Format_ARGB32_Premultiplied);
          strip.fill(Qt::transparent);
          for (int x = 0; x < length; x += 3) strip.setPixelColor(x, 0, grey);
          dots = QPixmap::fromImage(strip);
        }
        const int skip = static_cast<int>(from - left);
        painter.drawPixmap(QPointF(left + skip, std::floor(l.Y1)), dots,
                           QRectF(skip, 0, std::min<double>(length - skip, to - from + 1), 1));
        continue;
      }
      pen.setColor(grey);
      pen.setWidth(1);
      pen.setStyle(Qt::SolidLine);
      painter.setPen(pen);
      painter.drawLine(QPointF(from, l.Y1), QPointF(to, l.Y2));
      continue;
    }
    pen.setColor(l.Colour == WaveColour::Grey ? grey : QColor(Qt::black));
    pen.setWidth(l.Width);
    pen.setStyle(l.Dotted ? Qt::DotLine : Qt::SolidLine);
    painter.setPen(pen);
    painter.drawLine(QPointF(l.X1, l.Y1), QPointF(l.X2, l.Y2));
  }
  painter.setPen(Qt::black);
  const QFontMetricsF metrics(painter.font());
  for (const WaveText& t : drawing.Texts)
    painter.drawText(QPointF(t.X, t.Y + metrics.ascent()), QString::fromStdString(t.Text));
}

void SignalWindow::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.translate(DrawingArea().topLeft());
  PaintWave(painter, drawing_);
}

void SignalWindow::PrintCommand() {
  auto choice = dialogs_.ChoosePrinter(PrinterChoice{});
  if (!choice) return;
  struct ShowAgain {
    SignalWindow& window;
    ~ShowAgain() {
      window.Toolbar1().show();
      window.LayOut();
    }
  } showAgain{*this};
  // The page shows the whole surface, drawn without the toolbar.
  toolbar_->hide();
  LayOut();
  std::string reason;
  if (!PrintWidgetImage(*this, *choice, reason, printHeading_))
    dialogs_.Message("The printer cannot be used:\r\n" + reason, MessageIcon::Stop);
}

}  // namespace qelt
