#pragma once

#include <cstdint>

namespace vorn::well {

// The one random source of a well's sensors: xoshiro256** seeded by splitmix64, so a seed gives the
// same numbers on every platform.
class WellRandom {
 public:
  explicit WellRandom(uint64_t seed);
  [[nodiscard]] uint64_t Next();
  [[nodiscard]] double Uniform();   // [0, 1)
  [[nodiscard]] double Gaussian();  // mean 0, deviation 1 (Marsaglia's polar method)

 private:
  uint64_t m_s[4];
  double m_spare = 0.0;
  bool m_hasSpare = false;
};

// Coloured noise: a first-order (Ornstein-Uhlenbeck) process sampled exactly, so its deviation is
// `std` and its correlation between two samples dt apart exp(-dt/tau) whatever the step.
class ColouredNoise {
 public:
  [[nodiscard]] double Next(WellRandom& random, double std, double tau, double dt);

 private:
  double m_value = 0.0;
  bool m_started = false;
  double m_lastDt = -1.0, m_lastTau = -1.0;
  double m_a = 0.0, m_b = 0.0;  // value = a value + b std gaussian
};

}  // namespace vorn::well
