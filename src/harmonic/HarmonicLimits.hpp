#pragma once
// The harmonic limits of EN 50160 (low voltage) and IEEE 519-2022 (a bus
// voltage up to 1 kV, or a current by its ISC/IL ratio), in percent of the
// fundamental, and the figures held against them. A figure is judged as the
// figures table shows it: its two-decimal text, not the value behind it.
#include <array>
#include <optional>
#include <string>

#include "harmonic/Figures.hpp"
#include "text/Result.hpp"

namespace qelt {

enum class LimitStandard { None, En50160, Ieee519Voltage, Ieee519Current };

struct LimitChoice {
  LimitStandard Standard = LimitStandard::None;
  double IscIl = 0;  // Ieee519Current only: the short-circuit to load current ratio, above 0
};

// name: "none", "en50160" or "ieee519"; iscIl given makes ieee519 the current
// table. An unknown name, a ratio with another standard, or a ratio that is
// not above 0 fails with the reason.
Result<LimitChoice> ParseLimitChoice(const std::string& name, std::optional<double> iscIl);

// The analysis view's "Limits" choice, kept in the settings: the item (0 none,
// 1 EN 50160, 2 IEEE 519 voltage, 3 IEEE 519 current) and the ISC/IL ratio
// the current table takes.
struct HarmonicLimitSetting {
  int Item = 0;
  double IscIl = 20;
};

// The analysis view's item as a choice; an item
// out of range or a ratio not above 0 for the current table give no limits.
LimitChoice ChoiceOfItem(int item, double iscIl);

// "en50160", "ieee519" or "none", as the command line names them.
std::string StandardName(LimitStandard standard);
// "EN 50160", "IEEE 519 voltage", "IEEE 519 current (ISC/IL 20)", "No limits".
std::string ChoiceTitle(const LimitChoice& choice);
bool IsCurrentTable(const LimitChoice& choice);

struct LimitTable {
  std::array<std::optional<double>, 32> Order{};  // 2..31; unset: no limit for that order
  std::optional<double> Thd;                      // THD-F (TDD for a current), unset for None
};
LimitTable LimitsOf(const LimitChoice& choice);

struct OrderVerdict {
  std::string Text;             // ORD% as the table shows it
  std::optional<double> Limit;  // percent
  std::optional<bool> Pass;     // unset without a limit; false for a figure that is not a number
};

struct LimitVerdict {
  LimitChoice Choice;
  std::array<OrderVerdict, 32> Orders{};  // 2..31
  std::string ThdText;                    // THD-F% of the table's last row
  std::optional<double> ThdLimit;
  std::optional<bool> ThdPass;
  bool Pass = true;  // the THD and every order with a limit pass
};

LimitVerdict JudgeFigures(const HarmonicFigures& figures, const LimitChoice& choice);

// "pass" / "fail" / "-" (no limit).
std::string PassWord(std::optional<bool> pass);
// A limit as a text: one decimal ("0.5", "3.5"), "-" when there is none.
std::string LimitText(std::optional<double> limit);

}  // namespace qelt
