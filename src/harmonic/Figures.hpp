#pragma once
// The figures of the analysis view, per order 1..31: the ratio to the
// fundamental, the phase, and THD-F and THD-R up to each order. A figure that
// is not a finite number (no fundamental, no signal at all) reads "---".
#include <array>
#include <string>
#include <vector>

#include "session/HarmonicState.hpp"

namespace qelt {

inline constexpr const char* NoFigure = "---";

struct HarmonicFigures {
  std::array<float, 32> M{};           // magnitudes
  std::array<float, 32> R{};           // ratio to order 1 in percent (single)
  std::array<double, 32> P{};          // phase in degrees
  std::array<float, 32> CumSquares{};  // running sum of the squares (single)
  // "0.00" texts; ThdFText(1) and ThdRText(1) are "0".
  std::array<std::string, 32> OrdText, PhaseText, ThdFText, ThdRText;
};

// The phase of a cosine sum and a negated sine sum: atan2 in degrees, in
// (-180, 180], 0 when both are 0.
double PhaseDegrees(double re, double im);

// "0.00", or "---" for a value that is not finite.
std::string FigureText(double value);

HarmonicFigures ComputeFigures(const HarmonicState& state);

// F(n) and T(n) over orders 2..n, sums in double (T's total over 1..n).
double ThdF(const HarmonicFigures& f, int n);
double ThdR(const HarmonicFigures& f, int n);

// What choosing N orders shows: the chart's categories and the two labels.
struct OrdersView {
  std::vector<std::string> Labels;      // "K1" .. "KN"
  std::vector<double> Values;           // R(h); 0 for a ratio that is not finite
  std::vector<std::string> ValueTexts;  // the shortest single texts, "---" when not finite
  std::string Thd;                      // "0" for N = 1
  std::string Thdr;                     // "0.00" for N = 1 with a fundamental
};
OrdersView ChooseOrders(const HarmonicFigures& f, int n);
// The chart of a view without the fundamental: orders 2..N only, so that the
// value axis scales to the largest of them (still in percent of order 1).
OrdersView WithoutFundamental(OrdersView view);

// What choosing order k shows in the large labels.
struct OrderView {
  std::string Ord;
  std::string Degree;
};
OrderView ChooseOrder(const HarmonicFigures& f, int k);

// The figures table: a header and 31 rows, TAB-separated, LF.
std::string FiguresReport(const HarmonicFigures& f);

// The figures with the magnitudes, for "Copy" (TAB, LF) and "Export..." (comma, CR LF):
// K, Magnitude, ORD%, Degree, THD-F%, THD-R%.
std::string FiguresTable(const HarmonicFigures& f, char separator, const char* lineEnd);

}  // namespace qelt
