#include "harmonic/WaveDrawing.hpp"

#include <cmath>

#include "text/NumberText.hpp"

namespace qelt {

WaveGeometry WaveGeometryFor(double width, double height) {
  WaveGeometry g;
  const double span = std::round(width - 60);
  g.OriginY = height - 27;
  g.Width = (width - 60) - std::fmod(span, 30.0);
  g.Height = height - 100;
  g.Step = g.Width / 64;
  return g;
}

std::string WaveProgressCaption(int point) { return std::to_string(point) + " Records Completed"; }

WaveDrawing DrawWave(double width, double height, const std::vector<std::string>& pointTexts,
                     const WaveTextMetrics& metrics, const std::function<void(int)>& progress) {
  WaveDrawing d;
  d.Geometry = WaveGeometryFor(width, height);
  const double x0 = d.Geometry.OriginX, y0 = d.Geometry.OriginY, w = d.Geometry.Width, h = d.Geometry.Height;
  auto line = [&](double x1, double y1, double x2, double y2, WaveColour colour, int lineWidth = 1,
                  bool dotted = false) {
    d.Lines.push_back({x1, y1, x2, y2, colour, lineWidth, dotted});
  };

  line(x0 - 2, y0 + 5, x0 - 2, y0 - h - 5, WaveColour::Black, 2);
  line(x0 - 2, y0 + 6, x0 + w + 2, y0 + 6, WaveColour::Black, 2);
  for (int k = 0; k <= 16; ++k) {
    const double y = y0 - k * h / 16;
    line(x0 - 2, y, x0 - 7, y, WaveColour::Black);
    if (k % 2 == 0) line(x0 - 2, y, x0 - 10, y, WaveColour::Black);
  }
  // Each label is placed from the width of the one before it.
  std::string label;
  for (int k = 0; k <= 8; ++k) {
    if (metrics.Width(label) == 0) label = "100";
    const double x = (x0 - 40) - metrics.Width(label) / 4;
    const double y = (y0 - metrics.Height(label) / 2) - k * h / 8;
    label = FormatPattern(-1 + 2.0 * k / 8, "0.##");
    d.Texts.push_back({x, y, label});
  }

  static constexpr double GridHeights[7] = {1.0 / 8, 7.0 / 8, 3.0 / 4, 5.0 / 8, 1.0, 3.0 / 8, 1.0 / 4};
  double waveX = -d.Geometry.Step, prevX = 0, prevY = 0;
  for (int i = 1; i <= 64; ++i) {
    if (progress) progress(i);
    waveX += d.Geometry.Step;
    // The grid goes over the segments drawn before it.
    line(x0 - 2, y0 - h / 2, x0 + w + 2, y0 - h / 2, WaveColour::Grey);
    for (double at : GridHeights) line(x0, y0 - at * h, x0 + w, y0 - at * h, WaveColour::Grey, 1, true);
    const double v = static_cast<std::size_t>(i) <= pointTexts.size()
                         ? NumericPrefix(pointTexts[static_cast<std::size_t>(i - 1)])
                         : 0;
    const double offset = v > 1 ? h + 5 : v >= -1 ? (v + 1) / 2 * h : -3;
    if (prevX != 0 && waveX != 0) line(prevX, prevY, x0 + waveX, y0 - offset, WaveColour::Black);
    prevY = y0 - offset;
    prevX = x0 + waveX;
    d.PointX.push_back(prevX);
    d.PointY.push_back(prevY);
    if (i == 1 || i == 12 || i == 25 || i == 38 || i == 51 || i == 64) {
      line(x0 + waveX, y0, x0 + waveX, y0 - h - 10, WaveColour::Grey, 1, true);
      const std::string number = std::to_string(i);
      double x = x0 + waveX - metrics.Width(number) / 2;
      if (i == 1 || i == 64) x -= 10;
      d.Texts.push_back({x, y0 + 10, " " + number});
    } else if (i == 6 || i == 19 || i == 32 || i == 44 || i == 57) {
      line(x0 + waveX, y0 - 3.8 * h / 8, x0 + waveX, y0 - 4.2 * h / 8, WaveColour::Grey);
    }
  }
  return d;
}

}  // namespace qelt
