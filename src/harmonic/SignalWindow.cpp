#include "harmonic/SignalWindow.hpp"

#include <QFontMetricsF>
#include <QPainter>
#include <QResizeEvent>

#include "platform/Twips.hpp"
#include "platform/qt/Artwork.hpp"
#include "platform/qt/ImagePrint.hpp"
#include "platform/qt/Toolbar.hpp"
#include "records/RecordListWindow.hpp"

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
  toolbar_->AddButton("Print", PrintPicture(), "Print");
  connect(toolbar_, &Toolbar::ButtonClick, this, [this](const QString& key) {
    if (key == "Print") PrintCommand();
  });
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
  QPen pen;
  for (const WaveLine& l : drawing.Lines) {
    pen.setColor(l.Colour == WaveColour::Grey ? QColor(192, 192, 192) : QColor(Qt::black));
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
    Toolbar& toolbar;
    ~ShowAgain() { toolbar.show(); }
  } showAgain{*toolbar_};
  toolbar_->hide();
  std::string reason;
  if (!PrintWidgetImage(*this, *choice, reason))
    dialogs_.Message("The printer cannot be used:\r\n" + reason, MessageIcon::Stop);
}

}  // namespace qelt
