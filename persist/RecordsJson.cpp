// The JSON forms of the three stored records: members in field order. Reading takes a member only when
// it is present and of its type; any other leaves the field as it is, so a file that lacks a member
// never turns a setting into 0.
#include "comms/WitsCommSettings.h"
#include "engine/OutputItem.h"
#include "engine/SimSettings.h"
#include "persist/JsonMembers.h"

using namespace vorn::json;

void CSimSettings::ToJson(rapidjson::Value& o, Allocator& a) const {
  AddInteger(o, "m_mode", m_mode, a);
  AddNumber(o, "m_fCalcOutputInterval", m_fCalcOutputInterval, a);
  AddNumber(o, "m_fWriteFileInterval", m_fWriteFileInterval, a);
  AddFlag(o, "m_bRequiresPing", m_bRequiresPing, a);
  AddNumber(o, "m_fWitsOutInterval", m_fWitsOutInterval, a);
  AddNumber(o, "m_fTimeToWaitForReleasingSlips_sec", m_fTimeToWaitForReleasingSlips_sec, a);
  AddNumber(o, "m_fTimeToTurnOnPumps_sec", m_fTimeToTurnOnPumps_sec, a);
  AddNumber(o, "m_fTimeToTurnOffPumps_sec", m_fTimeToTurnOffPumps_sec, a);
  AddNumber(o, "m_fTimeToPauseAfterPumpsOff_sec", m_fTimeToPauseAfterPumpsOff_sec, a);
  AddNumber(o, "m_fTimeToPauseAfterPumpsOn_sec", m_fTimeToPauseAfterPumpsOn_sec, a);
  AddNumber(o, "m_fTimeToWaitForSettingsSlips_sec", m_fTimeToWaitForSettingsSlips_sec, a);
  AddNumber(o, "m_fDepthToPickUpOffBottom", m_fDepthToPickUpOffBottom, a);
  AddNumber(o, "m_fDepthToSlide", m_fDepthToSlide, a);
  AddNumber(o, "m_fStandLength", m_fStandLength, a);
  AddNumber(o, "fPipeSpeed_Wipe", fPipeSpeed_Wipe, a);
  AddNumber(o, "fPipeSpeed_PickingUp", fPipeSpeed_PickingUp, a);
  AddNumber(o, "fPipeSpeed_ConnectionUp", fPipeSpeed_ConnectionUp, a);
  AddNumber(o, "fPipeSpeed_Drill_Slide", fPipeSpeed_Drill_Slide, a);
  AddNumber(o, "fPipeSpeed_Drill_Rotating", fPipeSpeed_Drill_Rotating, a);
  AddNumber(o, "fPipeSpeed_Trip", fPipeSpeed_Trip, a);
  AddNumber(o, "m_fFlowRate", m_fFlowRate, a);
  AddNumber(o, "m_fPump1SPM", m_fPump1SPM, a);
  AddNumber(o, "m_fPump2SPM", m_fPump2SPM, a);
  AddNumber(o, "m_fWOB", m_fWOB, a);
  AddNumber(o, "m_fTorq", m_fTorq, a);
  AddNumber(o, "m_fRPM", m_fRPM, a);
  AddNumber(o, "m_fHookLoad", m_fHookLoad, a);
  AddNumber(o, "m_fSPP", m_fSPP, a);
  AddInteger(o, "m_nFlowSPPGain", m_nFlowSPPGain, a);
}

void CSimSettings::FromJson(const rapidjson::Value& o) {
  IfPresent(m_mode, o, "m_mode", Integer);
  IfPresent(m_fCalcOutputInterval, o, "m_fCalcOutputInterval", Number);
  IfPresent(m_fWriteFileInterval, o, "m_fWriteFileInterval", Number);
  IfPresent(m_bRequiresPing, o, "m_bRequiresPing", Flag);
  IfPresent(m_fWitsOutInterval, o, "m_fWitsOutInterval", Number);
  IfPresent(m_fTimeToWaitForReleasingSlips_sec, o, "m_fTimeToWaitForReleasingSlips_sec", Number);
  IfPresent(m_fTimeToTurnOnPumps_sec, o, "m_fTimeToTurnOnPumps_sec", Number);
  IfPresent(m_fTimeToTurnOffPumps_sec, o, "m_fTimeToTurnOffPumps_sec", Number);
  IfPresent(m_fTimeToPauseAfterPumpsOff_sec, o, "m_fTimeToPauseAfterPumpsOff_sec", Number);
  IfPresent(m_fTimeToPauseAfterPumpsOn_sec, o, "m_fTimeToPauseAfterPumpsOn_sec", Number);
  IfPresent(m_fTimeToWaitForSettingsSlips_sec, o, "m_fTimeToWaitForSettingsSlips_sec", Number);
  IfPresent(m_fDepthToPickUpOffBottom, o, "m_fDepthToPickUpOffBottom", Number);
  IfPresent(m_fDepthToSlide, o, "m_fDepthToSlide", Number);
  IfPresent(m_fStandLength, o, "m_fStandLength", Number);
  IfPresent(fPipeSpeed_Wipe, o, "fPipeSpeed_Wipe", Number);
  IfPresent(fPipeSpeed_PickingUp, o, "fPipeSpeed_PickingUp", Number);
  IfPresent(fPipeSpeed_ConnectionUp, o, "fPipeSpeed_ConnectionUp", Number);
  IfPresent(fPipeSpeed_Drill_Slide, o, "fPipeSpeed_Drill_Slide", Number);
  IfPresent(fPipeSpeed_Drill_Rotating, o, "fPipeSpeed_Drill_Rotating", Number);
  IfPresent(fPipeSpeed_Trip, o, "fPipeSpeed_Trip", Number);
  IfPresent(m_fFlowRate, o, "m_fFlowRate", Number);
  IfPresent(m_fPump1SPM, o, "m_fPump1SPM", Number);
  IfPresent(m_fPump2SPM, o, "m_fPump2SPM", Number);
  IfPresent(m_fWOB, o, "m_fWOB", Number);
  IfPresent(m_fTorq, o, "m_fTorq", Number);
  IfPresent(m_fRPM, o, "m_fRPM", Number);
  IfPresent(m_fHookLoad, o, "m_fHookLoad", Number);
  IfPresent(m_fSPP, o, "m_fSPP", Number);
  IfPresent(m_nFlowSPPGain, o, "m_nFlowSPPGain", Integer);
}

void COutputItem::ToJson(rapidjson::Value& o, Allocator& a) const {
  AddFlag(o, "m_bReadOnly", m_bReadOnly, a);
  AddFlag(o, "m_bEnable", m_bEnable, a);
  AddText(o, "m_strMnem", m_strMnem, a);
  AddNumber(o, "m_fSampleRateDepth", m_fSampleRateDepth, a);
  AddInteger(o, "m_type", m_type, a);
  AddNumber(o, "m_fA", m_fA, a);
  AddNumber(o, "m_fB", m_fB, a);
  AddNumber(o, "m_fC", m_fC, a);
  AddText(o, "m_strD", m_strD, a);
  AddInteger(o, "m_slidingRotating", m_slidingRotating, a);
  AddFlag(o, "m_bFlowOnOnly", m_bFlowOnOnly, a);
  AddInteger(o, "m_nWitsRecord", m_nWitsRecord, a);
  AddInteger(o, "m_nWitsChannel", m_nWitsChannel, a);
}

void COutputItem::FromJson(const rapidjson::Value& o) {
  IfPresent(m_bReadOnly, o, "m_bReadOnly", Flag);
  IfPresent(m_bEnable, o, "m_bEnable", Flag);
  IfPresent(m_strMnem, o, "m_strMnem", Text);
  IfPresent(m_fSampleRateDepth, o, "m_fSampleRateDepth", Number);
  IfPresent(m_type, o, "m_type", Integer);
  IfPresent(m_fA, o, "m_fA", Number);
  IfPresent(m_fB, o, "m_fB", Number);
  IfPresent(m_fC, o, "m_fC", Number);
  IfPresent(m_strD, o, "m_strD", Text);
  IfPresent(m_slidingRotating, o, "m_slidingRotating", Integer);
  IfPresent(m_bFlowOnOnly, o, "m_bFlowOnOnly", Flag);
  IfPresent(m_nWitsRecord, o, "m_nWitsRecord", Integer);
  IfPresent(m_nWitsChannel, o, "m_nWitsChannel", Integer);
}

void CWitsCommSettings::ToJson(rapidjson::Value& o, Allocator& a) const {
  AddInteger(o, "commType", commType, a);
  AddInteger(o, "nCommPort", nCommPort, a);
  AddInteger(o, "nBaudRate", nBaudRate, a);
  AddInteger(o, "tcpIpType", tcpIpType, a);
  AddInteger(o, "nTcpIpPort", nTcpIpPort, a);
  AddText(o, "strIpAddress", strIpAddress, a);
  // The wire profile's members only when they differ from their defaults.
  const CWitsCommSettings defaults;
  if (fKeepAliveInterval != defaults.fKeepAliveInterval) AddNumber(o, "fKeepAliveInterval", fKeepAliveInterval, a);
  if (strKeepAliveText != defaults.strKeepAliveText) AddText(o, "strKeepAliveText", strKeepAliveText, a);
  if (answerMode != defaults.answerMode) AddInteger(o, "answerMode", answerMode, a);
  if (lineEnd != defaults.lineEnd) AddInteger(o, "lineEnd", lineEnd, a);
  if (frameGrouping != defaults.frameGrouping) AddInteger(o, "frameGrouping", frameGrouping, a);
}

void CWitsCommSettings::FromJson(const rapidjson::Value& o) {
  IfPresent(commType, o, "commType", Integer);
  IfPresent(nCommPort, o, "nCommPort", Integer);
  IfPresent(nBaudRate, o, "nBaudRate", Integer);
  IfPresent(tcpIpType, o, "tcpIpType", Integer);
  IfPresent(nTcpIpPort, o, "nTcpIpPort", Integer);
  IfPresent(strIpAddress, o, "strIpAddress", Text);
  IfPresent(fKeepAliveInterval, o, "fKeepAliveInterval", Number);
  IfPresent(strKeepAliveText, o, "strKeepAliveText", Text);
  IfPresent(answerMode, o, "answerMode", Integer);
  IfPresent(lineEnd, o, "lineEnd", Integer);
  IfPresent(frameGrouping, o, "frameGrouping", Integer);
}
