#include "well/WellSensors.h"

#include <algorithm>
#include <cmath>

namespace vorn::well {

namespace {

constexpr double kSloshPeriod = 8.0;   // s, a pit's free surface
constexpr double kSpikeSize = 8.0;     // deviations

}  // namespace

WellSensors::WellSensors(const Sensors& settings, uint64_t seed) : m_settings(settings), m_random(seed) {}

void WellSensors::Read(const ChannelValues& truth, ChannelValues& measured, double dt, double strokePhase,
                       double seconds, double flowShare) {
  if (!m_settings.enabled) {
    measured = truth;
    return;
  }
  for (std::size_t i = 0; i < kChannelCount; ++i) {
    const SensorSpec& spec = m_settings.channel[i];
    double value = truth[i];
    if (spec.std > 0.0) {
      value += m_noise[i].Next(m_random, spec.std, spec.tau, dt);
      if (spec.spikesPerHour > 0.0 && m_random.Uniform() < spec.spikesPerHour * dt / 3600.0) {
        value += (m_random.Uniform() < 0.5 ? -kSpikeSize : kSpikeSize) * spec.std;
      }
    }
    const auto channel = static_cast<Channel>(i);
    if (channel == Channel::Spp) value += m_settings.sppRipple * truth[i] * std::sin(strokePhase);
    if (channel == Channel::PitVolume || channel == Channel::TripTank) {
      const double amplitude = channel == Channel::PitVolume ? m_settings.pitSlosh : m_settings.pitSlosh / 4.0;
      value += amplitude * std::min(flowShare, 1.0) * std::sin(2.0 * M_PI * seconds / kSloshPeriod);
    }
    if (spec.resolution > 0.0) value = std::round(value / spec.resolution) * spec.resolution;
    const ChannelInfo& info = Info(channel);
    measured[i] = std::clamp(value, info.minSi, info.maxSi);
  }
}

void WellSensors::Survey(double& inclination, double& azimuth) {
  if (!m_settings.enabled) return;
  inclination = std::clamp(inclination + m_settings.surveyInclinationStd * m_random.Gaussian(), 0.0, 180.0);
  azimuth = std::fmod(azimuth + m_settings.surveyAzimuthStd * m_random.Gaussian() + 360.0, 360.0);
}

}  // namespace vorn::well
