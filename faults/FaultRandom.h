#pragma once

#include <cstdint>
#include <random>

// The one generator every random choice of the fault layer draws from. The Mersenne Twister's output
// is fixed by the C++ standard, and the draws below use only that output, so a seed gives the same
// choices on every build.
class CFaultRandom {
 public:
  static constexpr uint64_t kDefaultSeed = 1;

  explicit CFaultRandom(uint64_t seed = kDefaultSeed) { Seed(seed); }
  void Seed(uint64_t seed) { m_engine.seed(seed); }
  // A whole number from 0 to n-1 (0 when n is 0).
  [[nodiscard]] uint64_t Below(uint64_t n) { return n == 0 ? 0 : m_engine() % n; }
  // A number from 0 up to, not including, 1.
  [[nodiscard]] double Unit() { return static_cast<double>(m_engine() >> 11) * 0x1.0p-53; }

 private:
  std::mt19937_64 m_engine;
};
