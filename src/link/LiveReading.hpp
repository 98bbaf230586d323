#pragma once
// The 28 quantities and the latest decoded reading: one value text per
// quantity, exactly as DecodeValue made it; empty before the first poll.
#include <array>
#include <string>
#include <string_view>

namespace qelt {

inline constexpr int QuantityCount = 28;

struct LiveReading {
  std::string TKVA, TKW, TKVAR, TPF, Hz, I4, TTheta;
  std::string KW1, KVAR1, KVA1, PF1, Theta1, V1, I1;
  std::string KW2, KVAR2, KVA2, PF2, Theta2, V2, I2;
  std::string KW3, KVAR3, KVA3, PF3, Theta3, V3, I3;

  // The member with the given QuantityIndex (0..27).
  std::string& ByIndex(int quantityIndex);
  const std::string& ByIndex(int quantityIndex) const;
};

struct Quantity {
  const char* Name;  // "KW1": record title, label name after "Lbl", JSON key
  int Decimals;      // 3 for the power factors, else 1
  std::string LiveReading::*Member;
};

// The one table of the quantities, in measurement-record order: index i is
// column i + 3 of a record table. Frame decoding, the value labels, the
// record header and the sample line all take their order from it.
inline constexpr std::array<Quantity, QuantityCount> Quantities = {{
    {"KW1", 1, &LiveReading::KW1},       {"KVAR1", 1, &LiveReading::KVAR1},   {"KVA1", 1, &LiveReading::KVA1},
    {"PF1", 3, &LiveReading::PF1},       {"Theta1", 1, &LiveReading::Theta1}, {"V1", 1, &LiveReading::V1},
    {"I1", 1, &LiveReading::I1},         {"KW2", 1, &LiveReading::KW2},       {"KVAR2", 1, &LiveReading::KVAR2},
    {"KVA2", 1, &LiveReading::KVA2},     {"PF2", 3, &LiveReading::PF2},       {"Theta2", 1, &LiveReading::Theta2},
    {"V2", 1, &LiveReading::V2},         {"I2", 1, &LiveReading::I2},         {"KW3", 1, &LiveReading::KW3},
    {"KVAR3", 1, &LiveReading::KVAR3},   {"KVA3", 1, &LiveReading::KVA3},     {"PF3", 3, &LiveReading::PF3},
    {"Theta3", 1, &LiveReading::Theta3}, {"V3", 1, &LiveReading::V3},         {"I3", 1, &LiveReading::I3},
    {"Hz", 1, &LiveReading::Hz},         {"I4", 1, &LiveReading::I4},         {"TKW", 1, &LiveReading::TKW},
    {"TKVAR", 1, &LiveReading::TKVAR},   {"TKVA", 1, &LiveReading::TKVA},     {"TPF", 3, &LiveReading::TPF},
    {"TTheta", 1, &LiveReading::TTheta},
}};

// The names alone, in the same order.
inline constexpr std::array<const char*, QuantityCount> QuantityNames = [] {
  std::array<const char*, QuantityCount> names{};
  for (std::size_t i = 0; i < names.size(); ++i) names[i] = Quantities[i].Name;
  return names;
}();

// Power factors carry three decimals.
constexpr bool IsThreeDecimal(int quantityIndex) {
  return Quantities[static_cast<std::size_t>(quantityIndex)].Decimals == 3;
}

// Index of a quantity name, or -1.
constexpr int QuantityIndexOf(std::string_view name) {
  for (int i = 0; i < QuantityCount; ++i)
    if (name == Quantities[static_cast<std::size_t>(i)].Name) return i;
  return -1;
}

// The unit of a quantity ("kW", "kvar", "kVA", "V", "A", "Hz", "°"; "" for
// the power factors).
const char* QuantityUnit(int quantityIndex);
// A quantity's full name with its unit, "Phase 1 active power (kW)"; "" for a
// name that is not a quantity.
std::string QuantityTitle(std::string_view name);

}  // namespace qelt
