#include "link/LiveReading.hpp"

namespace qelt {
namespace {
using Member = std::string LiveReading::*;
constexpr std::array<Member, QuantityCount> ByQuantity = {
    &LiveReading::KW1,   &LiveReading::KVAR1,  &LiveReading::KVA1,  &LiveReading::PF1,    &LiveReading::Theta1,
    &LiveReading::V1,    &LiveReading::I1,     &LiveReading::KW2,   &LiveReading::KVAR2,  &LiveReading::KVA2,
    &LiveReading::PF2,   &LiveReading::Theta2, &LiveReading::V2,    &LiveReading::I2,     &LiveReading::KW3,
    &LiveReading::KVAR3, &LiveReading::KVA3,   &LiveReading::PF3,   &LiveReading::Theta3, &LiveReading::V3,
    &LiveReading::I3,    &LiveReading::Hz,     &LiveReading::I4,    &LiveReading::TKW,    &LiveReading::TKVAR,
    &LiveReading::TKVA,  &LiveReading::TPF,    &LiveReading::TTheta};
}  // namespace

std::string& LiveReading::ByIndex(int i) { return this->*ByQuantity.at(static_cast<std::size_t>(i)); }
const std::string& LiveReading::ByIndex(int i) const { return this->*ByQuantity.at(static_cast<std::size_t>(i)); }

int QuantityIndexOf(const std::string& name) {
  for (int i = 0; i < QuantityCount; ++i)
    if (name == QuantityNames[static_cast<std::size_t>(i)]) return i;
  return -1;
}

}  // namespace qelt
