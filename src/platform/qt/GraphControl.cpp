#include "platform/qt/GraphControl.hpp"

#include <QApplication>
#include <QClipboard>
#include <QMenu>
#include <algorithm>
#include <cmath>
#include <cstdint>

#include "platform/qt/QtWindowSurface.hpp"

#ifdef __linux__
#include <sys/mman.h>
#endif

namespace qelt {

namespace {

// Presses that move less than this are clicks, and rectangles smaller than
// this do not zoom.
constexpr int DragPixels = 5;

// Reports which ranges the program sets, so that only the user's pans and
// zooms are reported as such.
class ProgramRange {
 public:
  explicit ProgramRange(bool& flag) : flag_(flag), before_(flag) { flag_ = true; }
  ~ProgramRange() { flag_ = before_; }
  ProgramRange(const ProgramRange&) = delete;
  ProgramRange& operator=(const ProgramRange&) = delete;

 private:
  bool& flag_;
  bool before_;
};

// A range around the values with a small margin; a flat line gets room too.
QCPRange Margined(const QCPRange& values) {
  const double span = values.size();
  const double margin = span > 0 ? span * 0.1 : (values.center() != 0 ? std::abs(values.center()) * 0.05 : 1.0);
  return QCPRange(values.lower - margin, values.upper + margin);
}

// A full history is about 7 MB of points in memory not yet touched. Mapped
// in 2 MB pages it costs a few page faults instead of some 1 700, which were
// most of the time an inspector took to open.
void AdviseLargePages(const void* begin, std::size_t bytes) {
#ifdef __linux__
  constexpr std::uintptr_t Large = std::uintptr_t{2} << 20;
  const auto first = (reinterpret_cast<std::uintptr_t>(begin) + Large - 1) & ~(Large - 1);
  const auto last = (reinterpret_cast<std::uintptr_t>(begin) + bytes) & ~(Large - 1);
  if (last > first) madvise(reinterpret_cast<void*>(first), last - first, MADV_HUGEPAGE);
#else
  (void)begin;
  (void)bytes;
#endif
}

}  // namespace

GraphControl::GraphControl(int index, QWidget* parent) : QCustomPlot(parent), index_(index) {
  setObjectName(QString("CWGraph1_%1").arg(index));
  graph_ = addGraph();
  graph_->setAdaptiveSampling(true);
  graph_->setPen(QPen(QColor(0x30, 0xa0, 0xff), 1));
  for (QCPAxis* axis : {xAxis, yAxis}) {
    axis->setRange(0, 10);
    axis->setBasePen(QPen(Qt::black));
    axis->grid()->setPen(QPen(QColor(0x60, 0x60, 0x70), 0, Qt::DotLine));
  }
  for (int c = 0; c < 2; ++c) {
    cursors_[c] = new QCPItemTracer(this);
    cursors_[c]->setStyle(QCPItemTracer::tsCrosshair);
    cursors_[c]->setPen(QPen(c == 0 ? QColor(0xff, 0xd0, 0x30) : QColor(0x60, 0xff, 0x60), 1));
    cursors_[c]->setVisible(false);
  }
  SetPlotAreaColor(QColor(0x10, 0x10, 0x28));
  setNoAntialiasingOnDrag(true);
  setSelectionRectMode(QCP::srmNone);
  connect(selectionRect(), &QCPSelectionRect::accepted, this,
          [this](const QRect& rect, QMouseEvent*) { ZoomTo(rect); });
  for (QCPAxis* axis : {xAxis, yAxis})
    connect(axis, qOverload<const QCPRange&>(&QCPAxis::rangeChanged), this, [this] {
      if (!programRange_) emit UserRangeChanged();
    });
  setContextMenuPolicy(Qt::CustomContextMenu);
  connect(this, &QWidget::customContextMenuRequested, this, &GraphControl::ShowMenu);
  ApplyInteractions();
}

void GraphControl::ChartAppend(double y) {
  ProgramRange guard(programRange_);
  stripCount_ += 1;
  graph_->data()->add(QCPGraphData(stripCount_, y));
  if (graph_->dataCount() > StripPoints) graph_->data()->removeBefore(stripCount_ - StripPoints + 0.5);
  xAxis->setRange(std::max(0.0, stripCount_ - StripPoints), std::max<double>(StripPoints, stripCount_));
  bool found = false;
  const QCPRange values = graph_->getValueRange(found);
  if (found) yAxis->setRange(Margined(values));
  replot(rpQueuedReplot);
}

int GraphControl::PointCount() const { return graph_->dataCount(); }

void GraphControl::PlotY(const std::vector<float>& values, double firstX, double increment) {
  QVector<QCPGraphData> points;
  points.reserve(static_cast<qsizetype>(values.size()));
  AdviseLargePages(points.data(), values.size() * sizeof(QCPGraphData));
  for (std::size_t k = 0; k < values.size(); ++k)
    points.append(QCPGraphData(firstX + static_cast<double>(k) * increment, values[k]));
  graph_->data()->set(points, increment > 0);
  replot(rpQueuedReplot);
}

void GraphControl::FitY() {
  ProgramRange guard(programRange_);
  bool found = false;
  const QCPRange values = graph_->getValueRange(found);
  if (found) yAxis->setRange(Margined(values));
  replot(rpQueuedReplot);
}

bool GraphControl::SetAxisRange(int axis, double min, double max) {
  if (!(min < max) || !std::isfinite(min) || !std::isfinite(max)) return false;
  ProgramRange guard(programRange_);
  Axis(axis)->setRange(min, max);
  replot(rpQueuedReplot);
  return true;
}

double GraphControl::AxisMin(int axis) const { return Axis(axis)->range().lower; }
double GraphControl::AxisMax(int axis) const { return Axis(axis)->range().upper; }

void GraphControl::SetAxisCaption(int axis, const QString& caption) {
  Axis(axis)->setLabel(caption);
  replot(rpQueuedReplot);
}

QString GraphControl::AxisCaption(int axis) const { return Axis(axis)->label(); }

void GraphControl::SetTrackMode(int code) {
  trackMode_ = std::clamp(code, 1, 8);
  ApplyInteractions();
}

void GraphControl::SetWheelZoom(bool on) {
  wheelZoom_ = on;
  ApplyInteractions();
}

void GraphControl::ApplyInteractions() {
  QCP::Interactions interactions;
  Qt::Orientations drag;
  Qt::Orientations zoom = Qt::Horizontal | Qt::Vertical;
  switch (trackMode_) {
    case 3: drag = Qt::Horizontal | Qt::Vertical; break;
    case 4: drag = Qt::Horizontal; break;
    case 5: drag = Qt::Vertical; break;
    case 7: zoom = Qt::Horizontal; break;
    case 8: zoom = Qt::Vertical; break;
    default: break;
  }
  if (drag) interactions |= QCP::iRangeDrag;
  if (wheelZoom_ && trackMode_ != 2) interactions |= QCP::iRangeZoom;
  setInteractions(interactions);
  axisRect()->setRangeDrag(drag ? drag : Qt::Horizontal | Qt::Vertical);
  axisRect()->setRangeZoom(trackMode_ >= 6 ? zoom : Qt::Horizontal | Qt::Vertical);
  setSelectionRectMode(trackMode_ >= 6 ? QCP::srmCustom : QCP::srmNone);
}

void GraphControl::ZoomTo(const QRect& pixels) {
  const bool zoomX = trackMode_ == 6 || trackMode_ == 7;
  const bool zoomY = trackMode_ == 6 || trackMode_ == 8;
  const QRect r = pixels.normalized();
  if ((!zoomX || r.width() < DragPixels) && (!zoomY || r.height() < DragPixels)) return;
  if (zoomX && r.width() >= DragPixels) xAxis->setRange(xAxis->pixelToCoord(r.left()), xAxis->pixelToCoord(r.right()));
  if (zoomY && r.height() >= DragPixels) yAxis->setRange(yAxis->pixelToCoord(r.bottom()), yAxis->pixelToCoord(r.top()));
  replot(rpQueuedReplot);
}

void GraphControl::SetCursorVisible(int cursor, bool visible) {
  Cursor(cursor)->setVisible(visible);
  replot(rpQueuedReplot);
}

bool GraphControl::CursorVisible(int cursor) const { return Cursor(cursor)->visible(); }
void GraphControl::SetCursorMode(int cursor, int mode) { cursorModes_[cursor == 2 ? 1 : 0] = mode; }
int GraphControl::CursorMode(int cursor) const { return cursorModes_[cursor == 2 ? 1 : 0]; }

void GraphControl::SetCursorPosition(int cursor, double x, double y) {
  Cursor(cursor)->position->setCoords(x, y);
  replot(rpQueuedReplot);
  emit CursorChanged(cursor == 2 ? 2 : 1, x, y);
}

QPointF GraphControl::CursorPosition(int cursor) const { return Cursor(cursor)->position->coords(); }

bool GraphControl::SnapCursor(double x) {
  const auto points = graph_->data();
  if (points->isEmpty()) return false;
  auto it = points->findBegin(x, false);
  if (it == points->constEnd()) --it;
  if (it != points->constBegin()) {
    auto before = it - 1;
    if (std::abs(before->key - x) <= std::abs(it->key - x)) it = before;
  }
  SetCursorPosition(1, it->key, it->value);
  return true;
}

void GraphControl::SetPlotAreaColor(const QColor& color) {
  plotArea_ = color;
  axisRect()->setBackground(QBrush(color));
  replot(rpQueuedReplot);
}

bool GraphControl::SaveImage(const QString& path) {
  return path.endsWith(".pdf", Qt::CaseInsensitive) ? savePdf(path) : savePng(path);
}

void GraphControl::ShowMenu(const QPoint& at) {
  QMenu menu(this);
  if (dialogs_) {
    menu.addAction(QString::fromUtf8("Save Image\u2026"), this, [this] {
      FileRequest request;
      request.Filter = "PNG Image (*.png)|*.png|PDF Document (*.pdf)|*.pdf|";
      request.OverwritePrompt = true;
      // Asked for after the menu has closed: over this graph's window.
      QtWindowSurface surface(this);
      AskingWindow asking(*dialogs_, surface);
      if (const auto file = dialogs_->SaveFile(request)) {
        const std::string path = WithChosenEnding(*file, request);
        if (!SaveImage(QString::fromStdString(path)))
          dialogs_->Message("The image could not be saved to " + path + ".", MessageIcon::Exclamation);
      }
    });
  }
  menu.addAction("Copy", this, [this] { QApplication::clipboard()->setPixmap(toPixmap()); });
  menu.exec(mapToGlobal(at));
}

void GraphControl::mousePressEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) {
    pressed_ = true;
    dragged_ = false;
    pressAt_ = event->pos();
    if (trackMode_ == 2 && Cursor(1)->visible()) SnapCursor(xAxis->pixelToCoord(event->pos().x()));
  }
  QCustomPlot::mousePressEvent(event);
}

void GraphControl::mouseMoveEvent(QMouseEvent* event) {
  if (pressed_ && (event->pos() - pressAt_).manhattanLength() >= DragPixels) dragged_ = true;
  if (pressed_ && trackMode_ == 2 && Cursor(1)->visible()) SnapCursor(xAxis->pixelToCoord(event->pos().x()));
  QCustomPlot::mouseMoveEvent(event);
}

void GraphControl::mouseReleaseEvent(QMouseEvent* event) {
  const bool click = pressed_ && !dragged_ && event->button() == Qt::LeftButton;
  pressed_ = false;
  QCustomPlot::mouseReleaseEvent(event);
  if (click) emit Clicked(index_);
}

void GraphControl::mouseDoubleClickEvent(QMouseEvent* event) {
  QCustomPlot::mouseDoubleClickEvent(event);
  if (event->button() == Qt::LeftButton) emit DoubleClicked(index_);
}

}  // namespace qelt
