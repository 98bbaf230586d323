#include "harmonic/HarmonicLimits.hpp"

#include <cmath>

#include "harmonic/Analysis.hpp"
#include "text/NumberText.hpp"

namespace qelt {
namespace {

std::size_t At(int h) { return static_cast<std::size_t>(h); }

LimitTable En50160() {
  LimitTable t;
  for (int h = 6; h <= 24; h += 2) t.Order[At(h)] = 0.5;
  const std::pair<int, double> listed[] = {{2, 2.0},  {3, 5.0},  {4, 1.0},  {5, 6.0},  {7, 5.0},  {9, 1.5},  {11, 3.5},
                                           {13, 3.0}, {15, 0.5}, {17, 2.0}, {19, 1.5}, {21, 0.5}, {23, 1.5}, {25, 1.5}};
  for (const auto& [h, limit] : listed) t.Order[At(h)] = limit;
  t.Thd = 8.0;
  return t;
}

LimitTable Ieee519Voltage() {
  LimitTable t;
  for (int h = 2; h <= HighestOrder; ++h) t.Order[At(h)] = 5.0;
  t.Thd = 8.0;
  return t;
}

// The row of the current table for a ratio: the four bands and the TDD.
struct CurrentRow {
  double Band[4];
  double Tdd;
};

CurrentRow CurrentRowFor(double iscIl) {
  if (iscIl < 20) return {{4.0, 2.0, 1.5, 0.6}, 5.0};
  if (iscIl < 50) return {{7.0, 3.5, 2.5, 1.0}, 8.0};
  if (iscIl < 100) return {{10.0, 4.5, 4.0, 1.5}, 12.0};
  if (iscIl < 1000) return {{12.0, 5.5, 5.0, 2.0}, 15.0};
  return {{15.0, 7.0, 6.0, 2.5}, 20.0};
}

// 3 <= h < 11, 11 <= h < 17, 17 <= h < 23, 23 <= h < 35; the 2nd in the first.
int BandOf(int h) {
  if (h < 11) return 0;
  if (h < 17) return 1;
  if (h < 23) return 2;
  return 3;
}

LimitTable Ieee519Current(double iscIl) {
  const CurrentRow row = CurrentRowFor(iscIl);
  LimitTable t;
  for (int h = 2; h <= HighestOrder; ++h) {
    const double band = row.Band[BandOf(h)];
    // Low even orders at half their band; from the 8th on at the full value.
    t.Order[At(h)] = h % 2 == 0 && h <= 6 ? band / 2 : band;
  }
  t.Thd = row.Tdd;
  return t;
}

// A table text ("5.01", "---") in hundredths; nothing when it holds no number.
std::optional<long long> Hundredths(const std::string& text) {
  if (text.empty() || text == NoFigure) return std::nullopt;
  const double value = NumericPrefix(text);
  if (!std::isfinite(value)) return std::nullopt;
  return std::llround(value * 100);
}

std::optional<bool> Judge(const std::string& text, std::optional<double> limit) {
  if (!limit) return std::nullopt;
  const std::optional<long long> shown = Hundredths(text);
  return shown && *shown <= std::llround(*limit * 100);
}

}  // namespace

Result<LimitChoice> ParseLimitChoice(const std::string& name, std::optional<double> iscIl) {
  if (iscIl && !(std::isfinite(*iscIl) && *iscIl > 0)) return Fail("the ISC/IL ratio must be a number above 0");
  if (name == "none" && !iscIl) return LimitChoice{};
  if (name == "en50160" && !iscIl) return LimitChoice{LimitStandard::En50160, 0};
  if (name == "ieee519")
    return iscIl ? LimitChoice{LimitStandard::Ieee519Current, *iscIl} : LimitChoice{LimitStandard::Ieee519Voltage, 0};
  if (name == "en50160" || name == "none") return Fail("an ISC/IL ratio goes with ieee519 only");
  return Fail("\"" + name + "\" is no standard: en50160 or ieee519");
}

LimitChoice ChoiceOfItem(int item, double iscIl) {
  switch (item) {
    case 1: return {LimitStandard::En50160, 0};
    case 2: return {LimitStandard::Ieee519Voltage, 0};
    case 3:
      if (std::isfinite(iscIl) && iscIl > 0) return {LimitStandard::Ieee519Current, iscIl};
      break;
    default: break;
  }
  return {};
}

std::string StandardName(LimitStandard standard) {
  switch (standard) {
    case LimitStandard::En50160: return "en50160";
    case LimitStandard::Ieee519Voltage:
    case LimitStandard::Ieee519Current: return "ieee519";
    case LimitStandard::None: break;
  }
  return "none";
}

std::string ChoiceTitle(const LimitChoice& choice) {
  switch (choice.Standard) {
    case LimitStandard::En50160: return "EN 50160";
    case LimitStandard::Ieee519Voltage: return "IEEE 519 voltage";
    case LimitStandard::Ieee519Current: return "IEEE 519 current (ISC/IL " + GeneralNumber(choice.IscIl) + ")";
    case LimitStandard::None: break;
  }
  return "No limits";
}

bool IsCurrentTable(const LimitChoice& choice) { return choice.Standard == LimitStandard::Ieee519Current; }

LimitTable LimitsOf(const LimitChoice& choice) {
  switch (choice.Standard) {
    case LimitStandard::En50160: return En50160();
    case LimitStandard::Ieee519Voltage: return Ieee519Voltage();
    case LimitStandard::Ieee519Current: return Ieee519Current(choice.IscIl);
    case LimitStandard::None: break;
  }
  return {};
}

LimitVerdict JudgeFigures(const HarmonicFigures& figures, const LimitChoice& choice) {
  const LimitTable table = LimitsOf(choice);
  LimitVerdict verdict;
  verdict.Choice = choice;
  for (int h = 2; h <= HighestOrder; ++h) {
    OrderVerdict& order = verdict.Orders[At(h)];
    order.Text = figures.OrdText[At(h)];
    order.Limit = table.Order[At(h)];
    order.Pass = Judge(order.Text, order.Limit);
    if (order.Pass == false) verdict.Pass = false;
  }
  verdict.ThdText = figures.ThdFText[HighestOrder];
  verdict.ThdLimit = table.Thd;
  verdict.ThdPass = Judge(verdict.ThdText, verdict.ThdLimit);
  if (verdict.ThdPass == false) verdict.Pass = false;
  return verdict;
}

std::string PassWord(std::optional<bool> pass) {
  if (!pass) return "-";
  return *pass ? "pass" : "fail";
}

std::string LimitText(std::optional<double> limit) { return limit ? FormatPattern(*limit, "0.0") : "-"; }

}  // namespace qelt
