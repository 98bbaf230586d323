#pragma once
// Raw logger records and set entries built field by field.
#include <array>
#include <cstdint>
#include <string>

namespace qelt::test {

struct RawRecord {
  std::uint8_t A = 0, B = 0;
  int Hz = 500;
  std::array<int, 3> V{}, I{}, KW{};
  int I4 = 0;

  std::string Bytes() const {
    std::string b;
    auto pair = [&](int v) {
      b.push_back(static_cast<char>(v / 256));
      b.push_back(static_cast<char>(v % 256));
    };
    b.push_back(static_cast<char>(A));
    b.push_back(static_cast<char>(B));
    pair(Hz);
    for (int p = 0; p < 3; ++p) {
      pair(V[static_cast<std::size_t>(p)]);
      pair(I[static_cast<std::size_t>(p)]);
      pair(KW[static_cast<std::size_t>(p)]);
    }
    pair(I4);
    return b;
  }
};

// count, BCD date and time, wiring byte, interval.
inline std::string Entry(int count, std::array<std::uint8_t, 6> when, std::uint8_t wiring, std::uint8_t interval) {
  std::string e;
  e.push_back(static_cast<char>(count / 256));
  e.push_back(static_cast<char>(count % 256));
  for (std::uint8_t b : when) e.push_back(static_cast<char>(b));
  e.push_back(static_cast<char>(wiring));
  e.push_back(static_cast<char>(interval));
  return e;
}

}  // namespace qelt::test
