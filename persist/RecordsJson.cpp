// The JSON forms of the three stored records: members in field order, read by the rules of the
// settings files ("always" members read as 0 when absent, "if present" members keep the field).
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
  m_fCalcOutputInterval = NumberOr0(o, "m_fCalcOutputInterval");
  IfPresent(m_fWriteFileInterval, o, "m_fWriteFileInterval", Number);
  IfPresent(m_bRequiresPing, o, "m_bRequiresPing", Flag);
  IfPresent(m_fWitsOutInterval, o, "m_fWitsOutInterval", Number);
  m_fTimeToWaitForReleasingSlips_sec = NumberOr0(o, "m_fTimeToWaitForReleasingSlips_sec");
  m_fTimeToTurnOnPumps_sec = NumberOr0(o, "m_fTimeToTurnOnPumps_sec");
  m_fTimeToTurnOffPumps_sec = NumberOr0(o, "m_fTimeToTurnOffPumps_sec");
  m_fTimeToPauseAfterPumpsOff_sec = NumberOr0(o, "m_fTimeToPauseAfterPumpsOff_sec");
  m_fTimeToPauseAfterPumpsOn_sec = NumberOr0(o, "m_fTimeToPauseAfterPumpsOn_sec");
  m_fTimeToWaitForSettingsSlips_sec = NumberOr0(o, "m_fTimeToWaitForSettingsSlips_sec");
  m_fDepthToPickUpOffBottom = NumberOr0(o, "m_fDepthToPickUpOffBottom");
  m_fDepthToSlide = NumberOr0(o, "m_fDepthToSlide");
  m_fStandLength = NumberOr0(o, "m_fStandLength");
  fPipeSpeed_Wipe = NumberOr0(o, "fPipeSpeed_Wipe");
  fPipeSpeed_PickingUp = NumberOr0(o, "fPipeSpeed_PickingUp");
  fPipeSpeed_ConnectionUp = NumberOr0(o, "fPipeSpeed_ConnectionUp");
  fPipeSpeed_Drill_Slide = NumberOr0(o, "fPipeSpeed_Drill_Slide");
  fPipeSpeed_Drill_Rotating = NumberOr0(o, "fPipeSpeed_Drill_Rotating");
  IfPresent(fPipeSpeed_Trip, o, "fPipeSpeed_Trip", Number);
  m_fFlowRate = NumberOr0(o, "m_fFlowRate");
  m_fPump1SPM = NumberOr0(o, "m_fPump1SPM");
  m_fPump2SPM = NumberOr0(o, "m_fPump2SPM");
  m_fWOB = NumberOr0(o, "m_fWOB");
  IfPresent(m_fTorq, o, "m_fTorq", Number);
  m_fRPM = NumberOr0(o, "m_fRPM");
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
  m_bReadOnly = FlagOrFalse(o, "m_bReadOnly");
  m_bEnable = FlagOrFalse(o, "m_bEnable");
  m_strMnem = TextOrEmpty(o, "m_strMnem");
  m_fSampleRateDepth = NumberOr0(o, "m_fSampleRateDepth");
  m_type = IntegerOr0(o, "m_type");
  m_fA = NumberOr0(o, "m_fA");
  m_fB = NumberOr0(o, "m_fB");
  m_fC = NumberOr0(o, "m_fC");
  IfPresent(m_strD, o, "m_strD", Text);
  m_slidingRotating = IntegerOr0(o, "m_slidingRotating");
  m_bFlowOnOnly = FlagOrFalse(o, "m_bFlowOnOnly");
  m_nWitsRecord = IntegerOr0(o, "m_nWitsRecord");
  m_nWitsChannel = IntegerOr0(o, "m_nWitsChannel");
}

void CWitsCommSettings::ToJson(rapidjson::Value& o, Allocator& a) const {
  AddInteger(o, "commType", commType, a);
  AddInteger(o, "nCommPort", nCommPort, a);
  AddInteger(o, "nBaudRate", nBaudRate, a);
  AddInteger(o, "tcpIpType", tcpIpType, a);
  AddInteger(o, "nTcpIpPort", nTcpIpPort, a);
  AddText(o, "strIpAddress", strIpAddress, a);
}

void CWitsCommSettings::FromJson(const rapidjson::Value& o) {
  commType = IntegerOr0(o, "commType");
  nCommPort = IntegerOr0(o, "nCommPort");
  nBaudRate = IntegerOr0(o, "nBaudRate");
  tcpIpType = IntegerOr0(o, "tcpIpType");
  nTcpIpPort = IntegerOr0(o, "nTcpIpPort");
  strIpAddress = TextOrEmpty(o, "strIpAddress");
}
