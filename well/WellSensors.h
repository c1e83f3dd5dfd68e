#pragma once

#include <array>

#include "well/SensorNoise.h"
#include "well/WellDescription.h"

namespace vorn::well {

// Between the physics and every measured channel: coloured noise, stroke ripple on the standpipe,
// slosh on the pit, rare spikes, the reading's resolution and its physical range. Off ("none"), a
// reading is the true value.
class WellSensors {
 public:
  WellSensors(const Sensors& settings, uint64_t seed);

  // The readings of one tick from the true values. strokePhase is the pumps' phase in radians (for
  // the ripple), seconds the model's time (for the slosh), flowShare the flow over the paddle's scale.
  void Read(const ChannelValues& truth, ChannelValues& measured, double dt, double strokePhase, double seconds,
            double flowShare);
  // A survey's reading: inclination and azimuth with the survey's noise.
  void Survey(double& inclination, double& azimuth);

 private:
  Sensors m_settings;
  WellRandom m_random;
  std::array<ColouredNoise, kChannelCount> m_noise;
};

}  // namespace vorn::well
