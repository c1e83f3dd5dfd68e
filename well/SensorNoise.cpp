#include "well/SensorNoise.h"

#include <cmath>

namespace vorn::well {

namespace {

uint64_t SplitMix(uint64_t& x) {
  uint64_t z = (x += 0x9e3779b97f4a7c15ULL);
  z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ULL;
  z = (z ^ (z >> 27)) * 0x94d049bb133111ebULL;
  return z ^ (z >> 31);
}

uint64_t Rotl(uint64_t x, int k) { return (x << k) | (x >> (64 - k)); }

}  // namespace

WellRandom::WellRandom(uint64_t seed) {
  for (uint64_t& s : m_s) s = SplitMix(seed);
}

uint64_t WellRandom::Next() {
  const uint64_t result = Rotl(m_s[1] * 5, 7) * 9;
  const uint64_t t = m_s[1] << 17;
  m_s[2] ^= m_s[0];
  m_s[3] ^= m_s[1];
  m_s[1] ^= m_s[2];
  m_s[0] ^= m_s[3];
  m_s[2] ^= t;
  m_s[3] = Rotl(m_s[3], 45);
  return result;
}

double WellRandom::Uniform() { return static_cast<double>(Next() >> 11) * 0x1.0p-53; }

double WellRandom::Gaussian() {
  if (m_hasSpare) {
    m_hasSpare = false;
    return m_spare;
  }
  double u, v, s;
  do {
    u = 2.0 * Uniform() - 1.0;
    v = 2.0 * Uniform() - 1.0;
    s = u * u + v * v;
  } while (s >= 1.0 || s == 0.0);
  const double factor = std::sqrt(-2.0 * std::log(s) / s);
  m_spare = v * factor;
  m_hasSpare = true;
  return u * factor;
}

double ColouredNoise::Next(WellRandom& random, double std, double tau, double dt) {
  if (!m_started) {  // start from the stationary spread, not from zero
    m_started = true;
    m_value = random.Gaussian();
    return m_value * std;
  }
  if (dt != m_lastDt || tau != m_lastTau) {
    m_lastDt = dt;
    m_lastTau = tau;
    m_a = std::exp(-dt / tau);
    m_b = std::sqrt(1.0 - m_a * m_a);
  }
  m_value = m_a * m_value + m_b * random.Gaussian();
  return m_value * std;
}

}  // namespace vorn::well
