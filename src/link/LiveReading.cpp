#include "link/LiveReading.hpp"

namespace qelt {

std::string& LiveReading::ByIndex(int i) { return this->*Quantities.at(static_cast<std::size_t>(i)).Member; }
const std::string& LiveReading::ByIndex(int i) const {
  return this->*Quantities.at(static_cast<std::size_t>(i)).Member;
}

}  // namespace qelt
