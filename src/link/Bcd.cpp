#include "link/Bcd.hpp"

namespace qelt {

std::uint8_t ToBcd(int value) {
  value %= 100;
  if (value < 0) value += 100;
  return static_cast<std::uint8_t>(value / 10 * 16 + value % 10);
}

int FromBcd(std::uint8_t bcd) { return bcd / 16 * 10 + bcd % 16; }

bool IsBcd(std::uint8_t byte) { return byte / 16 <= 9 && byte % 16 <= 9; }

}  // namespace qelt
