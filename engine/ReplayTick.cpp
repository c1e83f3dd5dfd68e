// A recorded well as the source of the run's items: the replay's channels become items, its rows
// their values, its whole frames go out as they are.
#include "engine/RigSim.h"
#include "engine/WitsLog.h"
#include "support/Numbers.h"
#include "support/Text.h"
#include "support/TextFile.h"

namespace {

// The state channels a replayed item stands for, by its WITS record and item.
double* ChannelOf(CRigSim& rig, int32_t record, int32_t item) {
  if (record != 1) return nullptr;
  switch (item) {
    case 8: return &rig.m_fDepth;
    case 10: return &rig.m_fHoleDepth;
    case 12: return &rig.m_fBlockHeight_;
    case 13: return &rig.m_fROP;
    case 14: return &rig.m_fHookLoad;
    case 16: return &rig.m_fWOB;
    case 18: return &rig.m_fTorq;
    case 20: return &rig.m_fRPM;
    case 21: return &rig.m_fSPP;
    case 23: return &rig.m_fSPM1;
    case 24: return &rig.m_fSPM2;
    case 30: return &rig.m_fFlow;
    default: return nullptr;
  }
}

// A frame's data lines as record, item and value: four digits and the rest. Other lines cannot be
// handed to a frame sink and stay out.
std::vector<WitsOutLine> FrameLines(const std::string& bytes) {
  std::vector<WitsOutLine> lines;
  std::string_view text = bytes;
  std::size_t at = 0;
  while (at < text.size()) {
    std::size_t end = text.find_first_of("\r\n", at);
    if (end == std::string_view::npos) end = text.size();
    const std::string_view line = text.substr(at, end - at);
    at = end + 1;
    if (line.size() < 4 || line == "&&" || line == "!!") continue;
    if (line.substr(0, 4).find_first_not_of("0123456789") != std::string_view::npos) continue;
    lines.push_back({(line[0] - '0') * 10 + (line[1] - '0'), (line[2] - '0') * 10 + (line[3] - '0'), line.substr(4)});
  }
  return lines;
}

}  // namespace

std::vector<COutputItem>& CRigSim::RunItems() {
  return m_pReplay != nullptr && !m_pReplay->SendsFrames() ? m_replayItems : m_outputItems;
}

void CRigSim::MakeReplayItems() {
  m_replayItems.clear();
  if (m_pReplay == nullptr || m_pReplay->SendsFrames()) return;
  for (const ReplayChannel& channel : m_pReplay->Channels()) {
    COutputItem item;
    item.m_bReadOnly = true;
    item.m_strMnem = channel.mnemonic;
    item.m_type = 18;  // a text: the replay gives it
    item.m_nWitsRecord = channel.record;
    item.m_nWitsChannel = channel.item;
    m_replayItems.push_back(std::move(item));
  }
}

void CRigSim::ApplyReplayValues() {
  const std::vector<std::string>& values = m_pReplay->Values();
  const double t = m_clocks.nowSeconds();
  for (std::size_t i = 0; i < m_replayItems.size() && i < values.size(); ++i) {
    if (values[i].empty()) continue;  // the row has no value: the item keeps its last and sends nothing
    COutputItem& item = m_replayItems[i];
    item.m_strValue = values[i];
    item.m_bSendPending = true;
    item.m_fLastSampleTime = t;
    if (double* channel = ChannelOf(*this, item.m_nWitsRecord, item.m_nWitsChannel)) *channel = vorn::ReadDecimal(values[i]);
  }
}

void CRigSim::SendReplayedFrames() {
  std::vector<std::string> frames;
  m_pReplay->TakeDueFrames(frames);
  for (const std::string& frame : frames) SendReplayedFrame(frame);
}

void CRigSim::SendReplayedFrame(const std::string& bytes) {
  if (m_pFrameSink != nullptr) {
    m_pFrameSink->SendFrame(FrameLines(bytes), FrameGrouping::AsConfigured);
    return;
  }
  const LinkWrite outcome = m_witsLink.Write(std::vector<uint8_t>(bytes.begin(), bytes.end()));
  vorn::AppendTextFile(m_strWitsLogPath, WitsOutEntry(m_clocks.nowSeconds(), vorn::NarrowToWide(bytes), LinkWriteRefusal(outcome)));
  if (m_pTraffic != nullptr) m_pTraffic->OnFrameOut(bytes, outcome);
}
