#pragma once

#include <cstdint>

// The engine state kept between runs and program starts (the JSON object "SimState").
struct CSimState {
  double m_fDepth = 0.0;
  double m_fHoleDepth = 0.0;
  double m_fBlockHeight_ = 0.0;
  int32_t m_state_ = 0;       // drilling sub-state
  int32_t m_statePrev_ = 0;   // drilling sub-state whose start was last recorded
  int32_t nTimeInState = 0;   // milliseconds already spent in the sub-state
  double m_fDepthStartState = 0.0;
};
