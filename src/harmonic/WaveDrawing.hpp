#pragma once
// The waveform view's drawing as data: the lines and texts for a drawing
// area of the given size (pixels) and the 64 point texts, in drawing order.
// The window paints them; text sizes come from the window's font.
#include <functional>
#include <string>
#include <vector>

namespace qelt {

enum class WaveColour { Black, Grey };  // grey: 192, 192, 192

struct WaveLine {
  double X1, Y1, X2, Y2;
  WaveColour Colour;
  int Width;  // 1 or 2
  bool Dotted;
};

// Text at a top-left position.
struct WaveText {
  double X, Y;
  std::string Text;
};

struct WaveGeometry {
  double OriginX = 60;  // X0: left end of the value axis
  double OriginY = 0;   // Y0: the value -1
  double Width = 0;     // W: a multiple of 30
  double Height = 0;    // H: the value 1 is at Y0 - H
  double Step = 0;      // W / 64
};

struct WaveDrawing {
  WaveGeometry Geometry;
  std::vector<WaveLine> Lines;
  std::vector<WaveText> Texts;
  std::vector<double> PointX;  // x of points 1..64 (index 0..63)
  std::vector<double> PointY;
};

struct WaveTextMetrics {
  std::function<double(const std::string&)> Width;
  std::function<double(const std::string&)> Height;
};

// The smallest outer size of the window, in twips.
inline constexpr int WaveMinWidthTwips = 6000;
inline constexpr int WaveMinHeightTwips = 5865;

WaveGeometry WaveGeometryFor(double width, double height);

// progress(i) is called before point i (1..64) is laid out.
WaveDrawing DrawWave(double width, double height, const std::vector<std::string>& pointTexts,
                     const WaveTextMetrics& metrics, const std::function<void(int)>& progress = {});

// "12 Records Completed"
std::string WaveProgressCaption(int point);

}  // namespace qelt
