#pragma once

#include <cstdint>
#include <string>

#include <rapidjson/document.h>

#include "engine/RigMode.h"

// The tunable simulation parameters. Field names are also the members of the JSON object "Settings",
// written in declaration order. Lengths share the unit of the depth channels, speeds are length per
// hour, durations and intervals are seconds.
class CSimSettings {
 public:
  CSimSettings() = default;

  void SetDefaults() { *this = CSimSettings(); }

  // Empty when every setting lies in its range (SimSettingRanges.h) and the settings hold together,
  // otherwise the reason shown to the user.
  [[nodiscard]] std::string Validate() const;

  // The members of the JSON object "Settings", in field order.
  void ToJson(rapidjson::Value& object, rapidjson::Document::AllocatorType& allocator) const;
  void FromJson(const rapidjson::Value& object);

  int32_t m_mode = Drill;                          // activity mode (RigMode)
  double m_fCalcOutputInterval = 1.0;              // between two evaluations of the output items
  double m_fWriteFileInterval = 10.0;              // between two CSV rows
  bool m_bRequiresPing = false;                    // frames only in answer to the receiver
  double m_fWitsOutInterval = 2.0;                 // between two WITS frames
  double m_fTimeToWaitForReleasingSlips_sec = 30.0;
  double m_fTimeToTurnOnPumps_sec = 30.0;
  double m_fTimeToTurnOffPumps_sec = 30.0;
  double m_fTimeToPauseAfterPumpsOff_sec = 30.0;
  double m_fTimeToPauseAfterPumpsOn_sec = 30.0;
  double m_fTimeToWaitForSettingsSlips_sec = 30.0;
  double m_fDepthToPickUpOffBottom = 3.0;          // lift off bottom before a drilling connection
  double m_fDepthToSlide = 50.0;                   // drilled sliding at the start of each stand
  double m_fStandLength = 100.0;
  double fPipeSpeed_Wipe = 400.0;                  // back to bottom after a connection
  double fPipeSpeed_PickingUp = 1000.0;            // lifting off bottom
  double fPipeSpeed_ConnectionUp = 8000.0;         // block travel with the pipe in the slips
  double fPipeSpeed_Drill_Slide = 100.0;           // rate of penetration sliding
  double fPipeSpeed_Drill_Rotating = 200.0;        // rate of penetration rotating
  double fPipeSpeed_Trip = 2000.0;                 // running a stand in or pulling it out
  double m_fFlowRate = 400.0;
  double m_fPump1SPM = 60.0;
  double m_fPump2SPM = 80.0;
  double m_fWOB = 40.0;
  double m_fTorq = 200.0;
  double m_fRPM = 75.0;
  double m_fHookLoad = 100.0;                      // off bottom and out of the slips
  double m_fSPP = 4000.0;
  int32_t m_nFlowSPPGain = 100;                    // percent applied to flow and standpipe pressure
};
