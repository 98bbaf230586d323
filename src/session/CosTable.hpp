#pragma once
// Cosines of 0.0 to 90.0 degrees in steps of 0.1, read by the logger record decoding.
#include <array>

namespace qelt {

using CosTableArray = std::array<float, 901>;

// Entry i = cos(i / 10 / 180 * pi), pi taken as 3.14159265358979, in single precision.
void FillCosTable(CosTableArray& table);

}  // namespace qelt
