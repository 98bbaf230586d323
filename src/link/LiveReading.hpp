#pragma once
// The latest decoded reading: one value text per quantity, exactly as
// DecodeValue made it; empty before the first successful poll.
#include <array>
#include <string>

namespace qelt {

inline constexpr int QuantityCount = 28;

// The quantities in measurement-record order (column i + 3 of a record table).
// clang-format off
inline constexpr std::array<const char*, QuantityCount> QuantityNames = {
    "KW1", "KVAR1", "KVA1", "PF1", "Theta1", "V1",  "I1",   "KW2",  "KVAR2", "KVA2",
    "PF2", "Theta2", "V2",  "I2",  "KW3",    "KVAR3", "KVA3", "PF3", "Theta3", "V3",
    "I3",  "Hz",    "I4",   "TKW", "TKVAR",  "TKVA",  "TPF",  "TTheta"};
// clang-format on

// Power factors carry three decimals.
constexpr bool IsThreeDecimal(int quantityIndex) {
  return quantityIndex == 3 || quantityIndex == 10 || quantityIndex == 17 || quantityIndex == 26;
}

struct LiveReading {
  std::string TKVA, TKW, TKVAR, TPF, Hz, I4, TTheta;
  std::string KW1, KVAR1, KVA1, PF1, Theta1, V1, I1;
  std::string KW2, KVAR2, KVA2, PF2, Theta2, V2, I2;
  std::string KW3, KVAR3, KVA3, PF3, Theta3, V3, I3;

  // The member with the given QuantityIndex (0..27).
  std::string& ByIndex(int quantityIndex);
  const std::string& ByIndex(int quantityIndex) const;
};

// Index of a quantity name, or -1.
int QuantityIndexOf(const std::string& name);

}  // namespace qelt
