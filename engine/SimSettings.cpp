#include "engine/SimSettings.h"

#include "engine/SimSettingRanges.h"

std::string CSimSettings::Validate() const {
  if (std::string reason = OutOfRangeReason(*this); !reason.empty()) return reason;
  if (m_fDepthToSlide > m_fStandLength) return "'Stand Length' is less than 'Depth to Slide'";
  // The weight on bit is taken off the string's weight: more would leave a negative hookload on bottom.
  if (m_fWOB > m_fHookLoad) return "'HOOKLOAD OFF BOTTOM' is less than 'WOB'";
  return {};
}
