#pragma once
// A small seeded generator (splitmix64) for the simulator's noise, drift and
// fault decisions. Its own, so a seed gives the same run on every platform.
#include <cstdint>

namespace qelt {

class SimRandom {
 public:
  explicit SimRandom(std::uint64_t seed = 1) : state_(seed) {}

  std::uint64_t Next() {
    std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
  }
  // Uniform in [0, 1).
  double Unit() { return static_cast<double>(Next() >> 11) * (1.0 / 9007199254740992.0); }
  // Uniform in [-1, 1).
  double Symmetric() { return 2.0 * Unit() - 1.0; }
  // True with the given probability (0..1).
  bool Chance(double probability) { return probability > 0.0 && Unit() < probability; }
  // Uniform integer in [0, n); n > 0.
  std::uint64_t Below(std::uint64_t n) { return Next() % n; }

 private:
  std::uint64_t state_;
};

}  // namespace qelt
