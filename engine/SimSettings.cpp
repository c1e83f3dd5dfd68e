#include "engine/SimSettings.h"

std::string CSimSettings::Validate() const {
  if (m_fDepthToSlide > m_fStandLength) return "'Stand Length' is less than 'Depth to Slide'";
  return {};
}
