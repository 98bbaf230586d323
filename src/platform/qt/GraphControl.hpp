#pragma once
// The graph control every graph window uses: one plot, axis 1 (X) and axis 2
// (Y), two crosshair cursors and eight track modes, over QCustomPlot.
//
// Track modes: 1 normal (a click reports Clicked), 2 cursor 1 follows a press
// or drag and snaps to the nearest sample, 3..5 pan by dragging in XY, X or Y,
// 6..8 zoom to a dragged rectangle in XY, X or Y. With the wheel zoom on, the
// wheel zooms at the pointer in every mode but 2. A right click offers
// "Save Image…" and "Copy".
#include <qcustomplot.h>

#include <QPointer>
#include <vector>

#include "platform/Dialogs.hpp"

namespace qelt {

class GraphControl : public QCustomPlot {
  Q_OBJECT
 public:
  explicit GraphControl(int index = 0, QWidget* parent = nullptr);

  int Index() const { return index_; }

  // Strip chart: the point after the previous ones. The chart keeps the
  // latest StripPoints points, scrolls X over them and fits Y to them.
  static constexpr int StripPoints = 300;
  void ChartAppend(double y);
  int PointCount() const;

  // Point k at firstX + k * increment; replaces the earlier plot.
  void PlotY(const std::vector<float>& values, double firstX, double increment);
  // Y to the plotted data with a small margin.
  void FitY();

  // axis 1 = X, axis 2 = Y. A minimum not below the maximum is refused (false)
  // and the axis keeps its range.
  bool SetAxisRange(int axis, double min, double max);
  double AxisMin(int axis) const;
  double AxisMax(int axis) const;
  void SetAxisCaption(int axis, const QString& caption);
  QString AxisCaption(int axis) const;

  void SetTrackMode(int code);
  int TrackMode() const { return trackMode_; }
  void SetWheelZoom(bool on);

  // cursor 1 or 2; positions in axis units.
  void SetCursorVisible(int cursor, bool visible);
  bool CursorVisible(int cursor) const;
  void SetCursorMode(int cursor, int mode);
  int CursorMode(int cursor) const;
  void SetCursorPosition(int cursor, double x, double y);
  QPointF CursorPosition(int cursor) const;

  void SetPlotAreaColor(const QColor& color);
  QColor PlotAreaColor() const { return plotArea_; }

  // For "Save Image…"; without it the menu offers only "Copy".
  void SetDialogs(Dialogs* dialogs) { dialogs_ = dialogs; }
  // "Save Image…" to a path: PDF for ".pdf", PNG otherwise.
  bool SaveImage(const QString& path);

  // Cursor 1 to the sample nearest to the given X; false without data.
  bool SnapCursor(double x);

 signals:
  void Clicked(int index);
  void DoubleClicked(int index);
  void CursorChanged(int cursor, double x, double y);
  // The user panned or zoomed (not a range the program set).
  void UserRangeChanged();

 protected:
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;

 private:
  QCPAxis* Axis(int axis) const { return axis == 1 ? xAxis : yAxis; }
  QCPItemTracer* Cursor(int cursor) const { return cursor == 2 ? cursors_[1] : cursors_[0]; }
  void ApplyInteractions();
  void ZoomTo(const QRect& pixels);
  void ShowMenu(const QPoint& at);

  int index_;
  int trackMode_ = 1;
  bool wheelZoom_ = false;
  bool programRange_ = false;
  int cursorModes_[2] = {0, 0};
  QCPGraph* graph_ = nullptr;
  QCPItemTracer* cursors_[2] = {nullptr, nullptr};
  QColor plotArea_;
  QPoint pressAt_;
  bool pressed_ = false;
  bool dragged_ = false;
  double stripCount_ = 0;
  Dialogs* dialogs_ = nullptr;
};

}  // namespace qelt
