#pragma once
// The report's page geometry: A4 portrait, 15 mm margins, drawn at 150 device
// pixels per inch. Sizes in millimetres unless a name says pixels. The trend
// lines are reduced to the pixel columns of their plots' data area, so the
// column count follows from these figures.
namespace qelt::report {

inline constexpr int Resolution = 150;  // device pixels per inch
inline constexpr double PageWidth = 210, PageHeight = 297, Margin = 15;
inline constexpr double BodyWidth = PageWidth - 2 * Margin;    // 180
inline constexpr double BodyHeight = PageHeight - 2 * Margin;  // 267
inline constexpr double HeaderHeight = 9, FooterHeight = 8;    // inside the body

// A plot: a strip for its title and legend, then the plot with its axes.
inline constexpr double PlotTitleHeight = 6;
inline constexpr double PlotAxisLeft = 17, PlotAxisRight = 4, PlotAxisTop = 2, PlotAxisBottom = 10;
inline constexpr double PlotGap = 4;  // between two plots on a page
inline constexpr int PlotsPerTrendPage = 4;

constexpr double Pixels(double mm) { return mm * Resolution / 25.4; }

// Pixel columns of a trend plot's data area.
constexpr int TrendColumns() { return static_cast<int>(Pixels(BodyWidth - PlotAxisLeft - PlotAxisRight)); }

}  // namespace qelt::report
