// The sub-state machines of the three active modes. Exactly the current sub-state acts on a tick: it
// moves bit, block and hole bottom, sets its flags, and may name the sub-state that acts from the
// next tick. Nothing is clamped: a target is overshot by up to one tick's distance.
#include "engine/RigSim.h"

void CRigSim::StepDrill(const TickTimes& times) {
  const CSimSettings& s = m_settings;
  int32_t& state = m_subState[Drill];
  const auto deepenHole = [this] {
    if (m_fDepth > m_fHoleDepth) m_fHoleDepth = m_fDepth;
  };
  const auto drill = [&](double speed) {
    if (m_well) speed = m_well->DrillingRop();  // the rock, not the settings, sets the pace
    const double d = times.dtH * speed;
    m_fBlockHeight_ -= d;
    m_fDepth += d;
    deepenHole();
    m_fROP = speed;
    m_bPumpsOn = true;
  };

  switch (state) {
    case DrillIdle:
      state = PickingUpOffBottom;
      break;
    case PickingUpOffBottom: {
      const double d = times.dtH * s.fPipeSpeed_PickingUp;
      m_fBlockHeight_ += d;
      m_fDepth -= d;
      m_bPumpsOn = true;
      if (m_fDepthStartState - m_fDepth >= s.m_fDepthToPickUpOffBottom) state = TurningPumpsOff;
      break;
    }
    case TurningPumpsOff:
      if (times.tState >= s.m_fTimeToTurnOffPumps_sec) state = PausingAfterPumpsOff;
      break;
    case PausingAfterPumpsOff:
      if (times.tState >= s.m_fTimeToPauseAfterPumpsOff_sec) state = SettingSlips;
      break;
    case SettingSlips:
      m_bInSlips = true;
      if (times.tState >= s.m_fTimeToWaitForSettingsSlips_sec) state = ConnectionUp;
      break;
    case ConnectionUp:
      m_fBlockHeight_ += times.dtH * s.fPipeSpeed_ConnectionUp;
      m_bInSlips = true;
      if (m_fBlockHeight_ >= s.m_fStandLength + s.m_fDepthToPickUpOffBottom) state = DrillReleasingSlips;
      break;
    case DrillReleasingSlips:
      if (times.tState >= s.m_fTimeToWaitForReleasingSlips_sec) state = TurningPumpsOn;
      break;
    case TurningPumpsOn:
      m_bPumpsOn = true;
      if (times.tState >= s.m_fTimeToTurnOnPumps_sec) state = PausingAfterPumpsOn;
      break;
    case PausingAfterPumpsOn:
      m_bPumpsOn = true;
      if (times.tState >= s.m_fTimeToPauseAfterPumpsOn_sec) state = WipingIn;
      break;
    case WipingIn: {
      const double d = times.dtH * s.fPipeSpeed_Wipe;
      m_fBlockHeight_ -= d;
      m_fDepth += d;
      m_bPumpsOn = true;
      if (m_fDepth > m_fHoleDepth) {
        m_fHoleDepth = m_fDepth;
        state = DrillingSliding;
      }
      break;
    }
    case DrillingSliding:
      drill(s.fPipeSpeed_Drill_Slide);
      if (m_fDepth - m_fDepthStartState >= s.m_fDepthToSlide) state = DrillingRotating;
      break;
    case DrillingRotating:
      drill(s.fPipeSpeed_Drill_Rotating);
      m_bRotating = true;
      if (m_fBlockHeight_ <= 0.0) state = PickingUpOffBottom;
      break;
    default:
      break;  // a sub-state outside the table does nothing and stays
  }
}

void CRigSim::StepTripIn(const TickTimes& times) {
  const CSimSettings& s = m_settings;
  int32_t& state = m_subState[TripIn];
  switch (state) {
    case TripIdle:
      state = TripSettingSlips;
      break;
    case TripSettingSlips:
      m_bInSlips = true;
      if (times.tState >= s.m_fTimeToWaitForSettingsSlips_sec) state = TripConnection;
      break;
    case TripConnection:
      m_fBlockHeight_ += times.dtH * s.fPipeSpeed_ConnectionUp;
      m_bInSlips = true;
      if (m_fBlockHeight_ >= s.m_fStandLength) state = TripReleasingSlips;
      break;
    case TripReleasingSlips:
      if (times.tState >= s.m_fTimeToWaitForReleasingSlips_sec) state = TripPipeMoving;
      break;
    case TripPipeMoving: {
      const double d = times.dtH * s.fPipeSpeed_Trip;
      m_fBlockHeight_ -= d;
      m_fDepth += d;
      if (m_fBlockHeight_ <= 0.0) state = TripSettingSlips;
      if (m_fDepth >= m_fHoleDepth) ChangeModeFromTick(Drill);  // back on bottom: drill on
      break;
    }
    default:
      break;
  }
}

void CRigSim::StepTripOut(const TickTimes& times) {
  const CSimSettings& s = m_settings;
  int32_t& state = m_subState[TripOut];
  switch (state) {
    case TripIdle:
      state = TripSettingSlips;
      break;
    case TripSettingSlips:
      m_bInSlips = true;
      if (times.tState >= s.m_fTimeToWaitForSettingsSlips_sec) state = TripConnection;
      break;
    case TripConnection:
      m_fBlockHeight_ -= times.dtH * s.fPipeSpeed_ConnectionUp;
      m_bInSlips = true;
      if (m_fBlockHeight_ <= 0.0) state = TripReleasingSlips;
      break;
    case TripReleasingSlips:
      if (times.tState >= s.m_fTimeToWaitForReleasingSlips_sec) state = TripPipeMoving;
      break;
    case TripPipeMoving: {
      const double d = times.dtH * s.fPipeSpeed_Trip;
      m_fBlockHeight_ += d;
      m_fDepth -= d;
      if (m_fBlockHeight_ >= s.m_fStandLength) state = TripSettingSlips;
      if (m_fDepth <= 0.0) ChangeModeFromTick(TripIn);  // out of the hole: run back in
      break;
    }
    default:
      break;
  }
}
