#include "harmonic/Figures.hpp"

#include <cmath>

#include "harmonic/Analysis.hpp"
#include "text/NumberText.hpp"

namespace qelt {
namespace {

std::size_t At(int i) { return static_cast<std::size_t>(i); }

double Squares(const HarmonicFigures& f, int from, int to) {
  double s = 0;
  for (int h = from; h <= to; ++h) s += static_cast<double>(f.M[At(h)]) * f.M[At(h)];
  return s;
}

}  // namespace

double PhaseDegrees(double re, double im) {
  if (re == 0 && im == 0) return 0.0;
  double degrees = std::atan2(im, re) * (180.0 / 3.14159265358979323846);
  if (degrees <= -180.0) degrees += 360.0;
  return degrees;
}

std::string FigureText(double value) { return std::isfinite(value) ? FormatPattern(value, "0.00") : NoFigure; }

HarmonicFigures ComputeFigures(const HarmonicState& state) {
  HarmonicFigures f;
  for (int h = 1; h <= HighestOrder; ++h) f.M[At(h)] = state.HarmonicAmp[At(h)];
  double cum = 0;
  for (int h = 1; h <= HighestOrder; ++h) {
    f.R[At(h)] = static_cast<float>(static_cast<double>(f.M[At(h)]) / static_cast<double>(f.M[1]) * 100);
    f.P[At(h)] = PhaseDegrees(state.HarmonicRe[At(h)], state.HarmonicIm[At(h)]);
    f.OrdText[At(h)] = FigureText(f.R[At(h)]);
    f.PhaseText[At(h)] = FigureText(f.P[At(h)]);
    cum += static_cast<double>(f.M[At(h)]) * f.M[At(h)];
    f.CumSquares[At(h)] = static_cast<float>(cum);
  }
  f.ThdFText[1] = "0";
  f.ThdRText[1] = "0";
  for (int n = 2; n <= HighestOrder; ++n) {
    const double s = Squares(f, 2, n);
    f.ThdFText[At(n)] = FigureText(std::sqrt(s) / f.M[1] * 100);
    // The table's total is the single-precision running sum.
    f.ThdRText[At(n)] = FigureText(std::sqrt(s) / std::sqrt(static_cast<double>(f.CumSquares[At(n)])) * 100);
  }
  return f;
}

double ThdF(const HarmonicFigures& f, int n) { return std::sqrt(Squares(f, 2, n)) / f.M[1] * 100; }

double ThdR(const HarmonicFigures& f, int n) { return std::sqrt(Squares(f, 2, n)) / std::sqrt(Squares(f, 1, n)) * 100; }

OrdersView ChooseOrders(const HarmonicFigures& f, int n) {
  OrdersView view;
  n = std::max(1, std::min(n, HighestOrder));
  for (int h = 1; h <= n; ++h) {
    const float r = f.R[At(h)];
    view.Labels.push_back("K" + std::to_string(h));
    view.Values.push_back(std::isfinite(r) ? r : 0.0);
    view.ValueTexts.push_back(std::isfinite(r) ? ShortestSingle(r) : NoFigure);
  }
  view.Thd = n == 1 ? "0" : FigureText(ThdF(f, n));
  view.Thdr = FigureText(ThdR(f, n));
  return view;
}

OrdersView WithoutFundamental(OrdersView view) {
  if (!view.Labels.empty()) {
    view.Labels.erase(view.Labels.begin());
    view.Values.erase(view.Values.begin());
    view.ValueTexts.erase(view.ValueTexts.begin());
  }
  return view;
}

OrderView ChooseOrder(const HarmonicFigures& f, int k) {
  k = std::max(1, std::min(k, HighestOrder));
  return {FigureText(f.R[At(k)]), FigureText(f.P[At(k)])};
}

std::string FiguresReport(const HarmonicFigures& f) {
  std::string out = "K\tORD%\tDegree\tTHD-F%\tTHD-R%\n";
  for (int h = 1; h <= HighestOrder; ++h)
    out += std::to_string(h) + "\t" + f.OrdText[At(h)] + "\t" + f.PhaseText[At(h)] + "\t" + f.ThdFText[At(h)] + "\t" +
           f.ThdRText[At(h)] + "\n";
  return out;
}

std::string FiguresTable(const HarmonicFigures& f, char separator, const char* lineEnd) {
  const std::string sep(1, separator);
  std::string out = "K" + sep + "Magnitude" + sep + "ORD%" + sep + "Degree" + sep + "THD-F%" + sep + "THD-R%" + lineEnd;
  for (int h = 1; h <= HighestOrder; ++h)
    out += std::to_string(h) + sep + ShortestSingle(f.M[At(h)]) + sep + f.OrdText[At(h)] + sep + f.PhaseText[At(h)] +
           sep + f.ThdFText[At(h)] + sep + f.ThdRText[At(h)] + lineEnd;
  return out;
}

}  // namespace qelt
