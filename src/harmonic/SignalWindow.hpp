#pragma once
// "Signal": the normalised cycle drawn on the window's surface. It keeps its
// own copy of the 64 point texts, so it redraws after the acquisition window
// has gone. The drawing is laid out at every resize (the caption counting
// the points meanwhile) and painted from that layout.
#include <QPainter>
#include <QWidget>
#include <string>
#include <vector>

#include "harmonic/WaveDrawing.hpp"
#include "platform/Dialogs.hpp"

namespace qelt {

class Toolbar;

class SignalWindow : public QWidget {
  Q_OBJECT
 public:
  SignalWindow(std::vector<std::string> pointTexts, Dialogs& dialogs, QWidget* parent = nullptr);

  // To the right of the acquisition window, at the top of the screen.
  void Load(const QRect& preHarmonicFrame);

  void PrintCommand();
  Toolbar& Toolbar1() const { return *toolbar_; }
  const WaveDrawing& Drawing() const { return drawing_; }
  // Times the drawing was laid out.
  int Layouts() const { return layouts_; }
  // The drawing area below the toolbar.
  QRect DrawingArea() const;

  // The line above the window's image on the printout.
  void SetPrintHeading(const std::string& heading) { printHeading_ = heading; }
  const std::string& PrintHeading() const { return printHeading_; }

 protected:
  void resizeEvent(QResizeEvent* event) override;
  void paintEvent(QPaintEvent* event) override;

 private:
  void LayOut();

  std::vector<std::string> texts_;
  Dialogs& dialogs_;
  std::string printHeading_;
  Toolbar* toolbar_;
  WaveDrawing drawing_;
  int layouts_ = 0;
};

// Paints a drawing with its origin at the painter's origin.
void PaintWave(QPainter& painter, const WaveDrawing& drawing);

}  // namespace qelt
