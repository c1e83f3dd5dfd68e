#include "well/WellDescription.h"

namespace vorn::well {

std::array<SensorSpec, kChannelCount> Sensors::DefaultSensorSpecs() {
  std::array<SensorSpec, kChannelCount> specs{};
  const auto set = [&specs](Channel channel, SensorSpec spec) { specs[Index(channel)] = spec; };
  // Resolution only: depths from the drawworks encoder, computed channels.
  set(Channel::BitDepth, {0.0, 1.0, 0.01, 0.0});
  set(Channel::HoleDepth, {0.0, 1.0, 0.01, 0.0});
  set(Channel::BlockHeight, {0.0, 1.0, 0.01, 0.0});
  set(Channel::Rop, {0.3 / 3600.0, 10.0, 0.01 / 3600.0, 0.0});
  set(Channel::Hookload, {2000.0, 2.0, 100.0, 0.5});
  set(Channel::Rpm, {0.8, 0.5, 0.1, 0.2});
  set(Channel::Flow, {5.0e-3 / 60.0, 1.0, 1.0e-3 / 60.0, 0.0});
  set(Channel::Spp, {30.0e3, 0.5, 1.0e3, 0.5});
  set(Channel::Spm1, {0.1, 1.0, 0.1, 0.0});
  set(Channel::Spm2, {0.1, 1.0, 0.1, 0.0});
  set(Channel::Wob, {1500.0, 2.0, 100.0, 0.5});
  set(Channel::Torque, {150.0, 1.0, 10.0, 0.5});
  set(Channel::CasingPressure, {5.0e3, 1.0, 1.0e3, 0.0});
  set(Channel::PitVolume, {0.05, 5.0, 0.01, 0.2});
  set(Channel::FlowOutPercent, {1.5, 3.0, 0.1, 0.2});
  set(Channel::FlowOut, {15.0e-3 / 60.0, 3.0, 1.0e-3 / 60.0, 0.2});
  set(Channel::DensityIn, {3.0, 10.0, 1.0, 0.0});
  set(Channel::DensityOut, {3.0, 10.0, 1.0, 0.0});
  set(Channel::TempIn, {0.2, 10.0, 0.1, 0.0});
  set(Channel::TempOut, {0.2, 10.0, 0.1, 0.0});
  set(Channel::Gas, {0.05, 5.0, 0.01, 0.1});
  set(Channel::Ecd, {0.0, 1.0, 1.0, 0.0});
  set(Channel::TripTank, {0.02, 5.0, 0.01, 0.0});
  set(Channel::BitTvd, {0.0, 1.0, 0.01, 0.0});
  set(Channel::HoleTvd, {0.0, 1.0, 0.01, 0.0});
  return specs;
}

const Formation& Well::FormationAt(double depth) const {
  std::size_t at = 0;
  for (std::size_t i = 1; i < formations.size() && formations[i].top <= depth; ++i) at = i;
  return formations[at];
}

}  // namespace vorn::well
