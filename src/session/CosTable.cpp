#include "session/CosTable.hpp"

#include <cmath>

namespace qelt {

void FillCosTable(CosTableArray& table) {
  constexpr double pi = 3.14159265358979;
  for (std::size_t i = 0; i < table.size(); ++i)
    table[i] = static_cast<float>(std::cos(static_cast<double>(i) / 10.0 / 180.0 * pi));
}

}  // namespace qelt
