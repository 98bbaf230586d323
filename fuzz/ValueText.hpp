#pragma once
// The forms a decoded value takes: "230.5", "-0.998", "OL", "-OL".
#include <string>
#include <string_view>

namespace qelt::fuzz {

inline bool IsValueText(const std::string& t, bool threeDecimals) {
  std::string_view v = t;
  if (!v.empty() && v[0] == '-') v.remove_prefix(1);
  if (v == "OL") return true;
  const std::size_t point = threeDecimals ? 1 : 3;
  if (v.size() != 5 || v[point] != '.') return false;
  for (std::size_t i = 0; i < v.size(); ++i)
    if (i != point && (v[i] < '0' || v[i] > '9')) return false;
  return true;
}

}  // namespace qelt::fuzz
