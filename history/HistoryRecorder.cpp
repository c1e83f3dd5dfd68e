#include "history/HistoryRecorder.h"

#include <algorithm>
#include <cstdio>

#include "engine/OutputItem.h"
#include "engine/RigMode.h"
#include "engine/RigSim.h"
#include "support/Numbers.h"
#include "support/Text.h"

namespace {

// The number a value text holds, or NaN.
double Number(const std::string& text) {
  if (text == kNoValueText || !vorn::IsWholeDecimal(text)) return std::numeric_limits<double>::quiet_NaN();
  return vorn::ReadDecimal(text);
}

}  // namespace

CHistoryRecorder::CHistoryRecorder(const CRigSim& engine, CHistoryStore::Limits limits)
    : m_engine(engine), m_store(limits) {
  for (const std::string& name : ChannelSeries()) m_channels.push_back(m_store.SeriesIndex(name));
}

const std::vector<std::string>& CHistoryRecorder::ChannelSeries() {
  static const std::vector<std::string> names{"DEPTH", "HOLE_DEPTH", "BLOCK_HEIGHT", "ROP", "HOOKLOAD",
                                              "SLIPS", "ON_BOTTOM", "RPM",  "FLOW", "SPP",
                                              "SPM1",  "SPM2",      "WOB",          "TORQ"};
  return names;
}

std::string CHistoryRecorder::ItemSeries(const std::string& mnemonic) {
  std::string name = "Item ";
  name.append(mnemonic);
  return name;
}

std::string CHistoryRecorder::WitsSeries(int record, int item) {
  char text[32];
  std::snprintf(text, sizeof text, "WITS %02d%02d", record, item);
  return text;
}

double CHistoryRecorder::Now() const {
  if (!m_begun) return 0.0;
  // Unsigned difference: right across the 32-bit wrap, and for a run of up to 49 days.
  return static_cast<double>(static_cast<uint32_t>(m_engine.Clocks().milliseconds() - m_startMs)) / 1000.0;
}

void CHistoryRecorder::Begin() {
  m_store.Clear();
  m_startMs = m_engine.Clocks().milliseconds();
  m_startWall = m_engine.Clocks().nowSeconds();
  m_begun = true;
  m_store.AddMark(0.0, vorn::NameAt(RigModeNames(), m_engine.m_settings.m_mode));
}

void CHistoryRecorder::OnRunChanged(bool running) {
  if (running) Begin();
}

void CHistoryRecorder::OnModeChanged(int mode, bool) {
  if (m_begun) m_store.AddMark(Now(), vorn::NameAt(RigModeNames(), mode));
}

void CHistoryRecorder::OnSubStateChanged(int subState) {
  if (m_begun) m_store.AddMark(Now(), vorn::NameAt(m_engine.GetSubStateNames(), subState));
}

void CHistoryRecorder::OnAfterTick() { Sample(); }

void CHistoryRecorder::Sample() {
  if (!m_begun) Begin();
  const double t = Now();
  const CRigSim& e = m_engine;
  const double values[] = {e.m_fDepth, e.m_fHoleDepth, e.m_fBlockHeight_, e.m_fROP,  e.m_fHookLoad,
                           e.m_bInSlips ? 1.0 : 0.0,   e.m_bOnBottom ? 1.0 : 0.0, e.m_fRPM,
                           e.m_fFlow,  e.m_fSPP,       e.m_fSPM1,          e.m_fSPM2, e.m_fWOB, e.m_fTorq};
  for (size_t i = 0; i < m_channels.size(); ++i) m_store.Add(m_channels[i], t, values[i]);
  if (const CWellModelIF* well = e.WellModel()) SampleWell(*well, t);
  for (const COutputItem& item : e.m_outputItems) {
    const double value = Number(item.m_strValue);
    if (value == value) m_store.Add(m_store.SeriesIndex(ItemSeries(item.m_strMnem)), t, value);
  }
  for (const auto& [key, received] : e.m_witsInItems) {
    const double value = Number(received.valueText);
    if (value == value) m_store.Add(m_store.SeriesIndex(WitsSeries(key.record, key.item)), t, value);
  }
  if (m_onSampled) m_onSampled();
}

std::string CHistoryRecorder::TrueSeries(std::string_view channel) {
  std::string name(channel);
  name.append(" (true)");
  return name;
}

void CHistoryRecorder::SampleWell(const CWellModelIF& well, double t) {
  if (m_wellSeen != &well || m_wellSeries.size() != well.ChannelCount()) {
    m_wellSeen = &well;
    m_wellSeries.clear();
    const std::vector<std::string>& added = WellChannelNames();
    for (size_t i = 0; i < well.ChannelCount(); ++i) {
      const CWellChannel channel = well.Channel(i);
      const bool isAdded = std::find(added.begin(), added.end(), channel.name) != added.end();
      m_wellSeries.push_back({isAdded ? m_store.SeriesIndex(std::string(channel.name)) : kNoSeries,
                              m_store.SeriesIndex(TrueSeries(channel.name))});
    }
  }
  for (size_t i = 0; i < m_wellSeries.size(); ++i) {
    const CWellChannel channel = well.Channel(i);
    if (m_wellSeries[i].reading != kNoSeries) m_store.Add(m_wellSeries[i].reading, t, channel.value);
    m_store.Add(m_wellSeries[i].truth, t, channel.trueValue);
  }
}
