#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

#include "well/SensorNoise.h"

namespace {

using namespace vorn::well;

TEST(ColouredNoise, ItsDeviationAndCorrelationAreTheSettingsAtAnyStep) {
  std::mt19937_64 pick(9);
  auto in = [&pick](double low, double high) { return std::uniform_real_distribution<double>(low, high)(pick); };
  for (int run = 0; run < 12; ++run) {
    const double std = in(0.01, 100.0), tau = in(0.2, 5.0), dt = run % 2 == 0 ? 0.1 : 1.0;
    WellRandom random(pick());
    ColouredNoise noise;
    std::vector<double> x(40000);
    for (double& v : x) v = noise.Next(random, std, tau, dt);
    double mean = 0.0;
    for (const double v : x) mean += v;
    mean /= static_cast<double>(x.size());
    double var = 0.0, cov = 0.0;
    for (std::size_t i = 0; i < x.size(); ++i) {
      var += (x[i] - mean) * (x[i] - mean);
      if (i > 0) cov += (x[i] - mean) * (x[i - 1] - mean);
    }
    EXPECT_NEAR(std::sqrt(var / static_cast<double>(x.size())), std, 0.1 * std) << run;
    EXPECT_NEAR(cov / var, std::exp(-dt / tau), 0.05) << run;
  }
}

TEST(WellRandom, ASeedGivesTheSameNumbers) {
  WellRandom a(42), b(42), c(43);
  bool differ = false;
  for (int i = 0; i < 100; ++i) {
    const uint64_t x = a.Next();
    EXPECT_EQ(x, b.Next());
    differ = differ || x != c.Next();
  }
  EXPECT_TRUE(differ);
}

}  // namespace
