#include "engine/SimSettingRanges.h"

#include <array>
#include <cmath>
#include <limits>
#include <type_traits>
#include <utility>

#include "engine/RigMode.h"
#include "support/Numbers.h"

namespace {

template <auto Field>
double Get(const CSimSettings& settings) {
  return static_cast<double>(settings.*Field);
}

template <auto Field>
void Set(CSimSettings& settings, double value) {
  using T = std::remove_reference_t<decltype(settings.*Field)>;
  settings.*Field = static_cast<T>(value);
}

template <auto Field>
constexpr SimSettingRange Range(const char* key, const char* label, double min, double max, const char* unit = "") {
  using T = std::remove_reference_t<decltype(std::declval<CSimSettings&>().*Field)>;
  return {key, label, min, max, unit, std::is_integral_v<T>, &Get<Field>, &Set<Field>};
}

constexpr const char* kSeconds = "seconds";
constexpr const char* kPerHour = "per hour";
constexpr const char* kPercent = "percent";

// The frames, rows and item values: never below the 100 ms tick (nothing comes faster), at most an
// hour apart. Timed steps of a connection: zero ends the step at once; an hour is far past any real
// step. Lengths: a stand of one to four joints in metres or feet, the lift off bottom and the slide
// within one. Speeds: zero holds the rig in its step; blocks hoist at a few metres a second, far below
// 100000 per hour, and drilling rarely passes 1000 per hour. Surface values: pumps at up to a few
// thousand litres a minute and 200 strokes a minute, standpipe pressure in psi, bar or kPa, loads in
// kilopounds, tonnes or kilonewtons, torque in foot-pounds, a top drive's rotary speed. The gain: a
// skid simulator may raise flow and pressure above their settings.
constexpr auto kRanges = std::to_array<SimSettingRange>({
    Range<&CSimSettings::m_mode>("m_mode", "Mode", 0, kRigModeCount - 1),
    Range<&CSimSettings::m_fCalcOutputInterval>("m_fCalcOutputInterval", "Calculation Interval", 0.1, 3600, kSeconds),
    Range<&CSimSettings::m_fWriteFileInterval>("m_fWriteFileInterval", "Write File Interval", 0.1, 3600, kSeconds),
    Range<&CSimSettings::m_fWitsOutInterval>("m_fWitsOutInterval", "WITS Out Interval", 0.1, 3600, kSeconds),
    Range<&CSimSettings::m_fTimeToWaitForReleasingSlips_sec>("m_fTimeToWaitForReleasingSlips_sec",
                                                             "Time Releasing Slips", 0, 3600, kSeconds),
    Range<&CSimSettings::m_fTimeToTurnOnPumps_sec>("m_fTimeToTurnOnPumps_sec", "Time Turn On Pumps", 0, 3600,
                                                   kSeconds),
    Range<&CSimSettings::m_fTimeToTurnOffPumps_sec>("m_fTimeToTurnOffPumps_sec", "Time Turn Off Pumps", 0, 3600,
                                                    kSeconds),
    Range<&CSimSettings::m_fTimeToPauseAfterPumpsOff_sec>("m_fTimeToPauseAfterPumpsOff_sec",
                                                          "Time Pause After Pumps Off", 0, 3600, kSeconds),
    Range<&CSimSettings::m_fTimeToPauseAfterPumpsOn_sec>("m_fTimeToPauseAfterPumpsOn_sec",
                                                         "Time Pause After Pumps On", 0, 3600, kSeconds),
    Range<&CSimSettings::m_fTimeToWaitForSettingsSlips_sec>("m_fTimeToWaitForSettingsSlips_sec",
                                                            "Time Settings Slips", 0, 3600, kSeconds),
    Range<&CSimSettings::m_fDepthToPickUpOffBottom>("m_fDepthToPickUpOffBottom", "Distance to Pick Up Off Bottom", 0,
                                                    200),
    Range<&CSimSettings::m_fDepthToSlide>("m_fDepthToSlide", "Depth To Slide", 0, 200),
    Range<&CSimSettings::m_fStandLength>("m_fStandLength", "Stand Length", 1, 200),
    Range<&CSimSettings::fPipeSpeed_Wipe>("fPipeSpeed_Wipe", "Pipe Speed Wipe", 0, 100000, kPerHour),
    Range<&CSimSettings::fPipeSpeed_PickingUp>("fPipeSpeed_PickingUp", "Pipe Speed Picking Up", 0, 100000, kPerHour),
    Range<&CSimSettings::fPipeSpeed_ConnectionUp>("fPipeSpeed_ConnectionUp", "Pipe Speed Connection", 0, 100000,
                                                  kPerHour),
    Range<&CSimSettings::fPipeSpeed_Drill_Slide>("fPipeSpeed_Drill_Slide", "Pipe Speed Drill Sliding", 0, 10000,
                                                 kPerHour),
    Range<&CSimSettings::fPipeSpeed_Drill_Rotating>("fPipeSpeed_Drill_Rotating", "Pipe Speed Drill Rotating", 0,
                                                    10000, kPerHour),
    Range<&CSimSettings::fPipeSpeed_Trip>("fPipeSpeed_Trip", "Pipe Speed Trip", 0, 100000, kPerHour),
    Range<&CSimSettings::m_fFlowRate>("m_fFlowRate", "Flow Rate", 0, 20000),
    Range<&CSimSettings::m_fPump1SPM>("m_fPump1SPM", "Pump 1 SPM", 0, 300),
    Range<&CSimSettings::m_fPump2SPM>("m_fPump2SPM", "Pump 2 SPM", 0, 300),
    Range<&CSimSettings::m_fWOB>("m_fWOB", "WOB", 0, 1000),
    Range<&CSimSettings::m_fTorq>("m_fTorq", "TORQ", 0, 100000),
    Range<&CSimSettings::m_fRPM>("m_fRPM", "RPM", 0, 1000),
    Range<&CSimSettings::m_fHookLoad>("m_fHookLoad", "HOOKLOAD OFF BOTTOM", 0, 20000),
    Range<&CSimSettings::m_fSPP>("m_fSPP", "SPP", 0, 100000),
    Range<&CSimSettings::m_nFlowSPPGain>("m_nFlowSPPGain", "Flow SPP Gain", 0, 1000, kPercent),
});

bool Inside(const SimSettingRange& range, double value) { return value >= range.min && value <= range.max; }

// `end` moved outwards (towards `outwards`) by the few units in the last place a reader may miss.
double Widened(double end, double outwards) {
  constexpr int kLastPlaceSlack = 4;
  for (int i = 0; i < kLastPlaceSlack; ++i) end = std::nextafter(end, outwards);
  return end;
}

}  // namespace

std::span<const SimSettingRange> SimSettingRanges() { return kRanges; }

std::string OutOfRangeReason(const CSimSettings& settings) {
  for (const SimSettingRange& range : kRanges) {
    const double value = range.get(settings);
    if (Inside(range, value)) continue;
    const std::string unit = *range.unit != '\0' ? std::string(" ") + range.unit : std::string();
    return std::string("'") + range.label + "' (" + range.key + ") must be from " + vorn::FormatG(range.min) +
           " to " + vorn::FormatG(range.max) + unit + ", not " + vorn::FormatG(value);
  }
  return {};
}

void KeepOnlyInRange(CSimSettings& read, const CSimSettings& before) {
  constexpr double kInfinity = std::numeric_limits<double>::infinity();
  for (const SimSettingRange& range : kRanges) {
    const double value = range.get(read);
    if (Inside(range, value)) continue;
    if (value < range.min && value >= Widened(range.min, -kInfinity)) {
      range.set(read, range.min);
    } else if (value > range.max && value <= Widened(range.max, kInfinity)) {
      range.set(read, range.max);
    } else {
      range.set(read, range.get(before));
    }
  }
}
