#pragma once

#include <array>
#include <cstddef>
#include <string_view>

#include "well/WellUnits.h"

namespace vorn::well {

// The channels the well model answers, in the order the views list them. The first twelve are the
// engine's own numeric channels, answered now by the rig.
enum class Channel : std::size_t {
  BitDepth, HoleDepth, BlockHeight, Rop, Hookload, Rpm, Flow, Spp, Spm1, Spm2, Wob, Torque,
  HookloadMax, WobMax, TorqueMax, CasingPressure, PitVolume, PitChange, FlowOutPercent, FlowOut,
  DensityIn, DensityOut, TempIn, TempOut, StrokesTotal, LagStrokes, LagDepth, Gas, Ecd, Mse, Dxc,
  TripTank, BitTvd, HoleTvd, SurveyDepth, SurveyTvd, SurveyInc, SurveyAzi,
  Count
};
inline constexpr std::size_t kChannelCount = static_cast<std::size_t>(Channel::Count);

struct ChannelInfo {
  std::string_view mnemonic;
  Quantity quantity;
  double minSi;  // the physical range a sensor's reading is held in
  double maxSi;
};

[[nodiscard]] const ChannelInfo& Info(Channel channel);
[[nodiscard]] constexpr std::size_t Index(Channel channel) { return static_cast<std::size_t>(channel); }

// One value per channel, indexed by Channel.
using ChannelValues = std::array<double, kChannelCount>;

}  // namespace vorn::well
