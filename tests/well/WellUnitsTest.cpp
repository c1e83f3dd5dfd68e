#include <gtest/gtest.h>

#include <random>

#include "well/WellUnits.h"

namespace {

using namespace vorn::well;

TEST(WellUnits, EveryQuantityComesBackFromSi) {
  std::mt19937_64 random(3);
  std::uniform_real_distribution<double> value(-1.0e4, 1.0e4);
  for (int q = 0; q <= static_cast<int>(Quantity::Angle); ++q) {
    for (const UnitSystem system : {UnitSystem::Metric, UnitSystem::Us}) {
      for (int i = 0; i < 100; ++i) {
        const double x = value(random);
        const auto quantity = static_cast<Quantity>(q);
        EXPECT_NEAR(FromSi(quantity, system, ToSi(quantity, system, x)), x, 1e-9 * std::abs(x) + 1e-9);
      }
    }
  }
}

TEST(WellUnits, TheFieldUnitsAreTheirSiValues) {
  EXPECT_DOUBLE_EQ(ToSi(Quantity::Length, UnitSystem::Us, 1.0), 0.3048);
  EXPECT_DOUBLE_EQ(ToSi(Quantity::Force, UnitSystem::Metric, 1.0), 1.0e4);  // kdaN
  EXPECT_NEAR(ToSi(Quantity::Force, UnitSystem::Us, 1.0), 4448.2216, 1e-4);
  EXPECT_NEAR(ToSi(Quantity::Pressure, UnitSystem::Us, 1.0), 6894.757, 1e-3);
  EXPECT_NEAR(ToSi(Quantity::Density, UnitSystem::Us, 1.0), 119.8264, 1e-4);
  EXPECT_NEAR(ToSi(Quantity::Volume, UnitSystem::Us, 1.0), 0.158987, 1e-6);
  EXPECT_NEAR(ToSi(Quantity::Flow, UnitSystem::Metric, 60.0), 1.0e-3, 1e-15);
  EXPECT_NEAR(ToSi(Quantity::Temperature, UnitSystem::Us, 212.0), 100.0, 1e-12);
  EXPECT_NEAR(ToSi(Quantity::Torque, UnitSystem::Us, 1.0), 1355.818, 1e-3);
  EXPECT_EQ(UnitName(Quantity::Force, UnitSystem::Metric), "kdaN");
  EXPECT_EQ(UnitName(Quantity::Density, UnitSystem::Us), "ppg");
}

}  // namespace
