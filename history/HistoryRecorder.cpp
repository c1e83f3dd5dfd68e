#include "history/HistoryRecorder.h"

#include <algorithm>
#include <cstdio>

#include "engine/OutputItem.h"
#include "engine/RigMode.h"
#include "engine/RigSim.h"
#include "support/Console.h"
#include "support/Numbers.h"
#include "support/Text.h"

namespace {

std::string UnrecordedText(size_t unrecorded, size_t limit, const char* what) {
  if (unrecorded == 0) return {};
  std::string text = "the history records the first ";
  text.append(std::to_string(limit)).append(" ").append(what).append(" of a run, ");
  text.append(std::to_string(unrecorded)).append(" more are not recorded");
  return text;
}

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

std::string CHistoryRecorder::UnrecordedNote() const {
  std::string note = UnrecordedText(m_unrecordedReceived, kMaxReceivedSeries, "received WITS items");
  const std::string items = UnrecordedText(m_unrecordedItems, kMaxItemSeries, "output items");
  if (!note.empty() && !items.empty()) note += "; ";
  return note + items;
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
  m_channels.clear();
  for (const std::string& name : ChannelSeries()) m_channels.push_back(m_store.SeriesIndex(name));
  m_itemSeries.clear();
  m_receivedSeries.clear();
  m_wellSeen = nullptr;  // its series are made anew for this run
  m_wellSeries.clear();
  m_unrecordedItems = 0;
  m_unrecordedReceived = 0;
  m_startMs = m_engine.Clocks().milliseconds();
  m_startWall = m_engine.Clocks().nowSeconds();
  m_begun = true;
  m_store.AddMark(0.0, vorn::NameAt(RigModeNames(), m_engine.m_settings.m_mode), true);
}

void CHistoryRecorder::OnRunChanged(bool running) {
  if (running) Begin();
}

void CHistoryRecorder::OnModeChanged(int mode, bool) {
  if (m_begun) m_store.AddMark(Now(), vorn::NameAt(RigModeNames(), mode), true);
}

void CHistoryRecorder::OnSubStateChanged(int subState) {
  if (m_begun) m_store.AddMark(Now(), vorn::NameAt(m_engine.GetSubStateNames(), subState));
}

// A tick that only took its time leaves the channels as they were before it (at a run's start, the
// settings' values), which no frame or CSV row carried: it is not sampled.
void CHistoryRecorder::OnAfterTick() {
  if (m_engine.LastTickStepped()) Sample();
}

void CHistoryRecorder::Sample() {
  if (!m_begun) Begin();
  const double t = Now();
  const CRigSim& e = m_engine;
  const double values[] = {e.m_fDepth, e.m_fHoleDepth, e.m_fBlockHeight_, e.m_fROP,  e.m_fHookLoad,
                           e.m_bInSlips ? 1.0 : 0.0,   e.m_bOnBottom ? 1.0 : 0.0, e.m_fRPM,
                           e.m_fFlow,  e.m_fSPP,       e.m_fSPM1,          e.m_fSPM2, e.m_fWOB, e.m_fTorq};
  for (size_t i = 0; i < m_channels.size(); ++i) m_store.Add(m_channels[i], t, values[i]);
  if (const CWellModelIF* well = e.WellModel()) SampleWell(*well, t);
  SampleItems(t);
  SampleReceived(t);
  if (m_onSampled) m_onSampled();
}

// Each item holding a number goes to its series, made for it while the run has room for another.
void CHistoryRecorder::SampleItems(double t) {
  size_t unrecorded = 0;
  for (const COutputItem& item : m_engine.m_outputItems) {
    const double value = Number(item.m_strValue);
    if (value != value) continue;
    auto series = m_itemSeries.find(item.m_strMnem);
    if (series == m_itemSeries.end()) {
      if (m_itemSeries.size() >= kMaxItemSeries) {
        ++unrecorded;
        continue;
      }
      series = m_itemSeries.emplace(item.m_strMnem, m_store.SeriesIndex(ItemSeries(item.m_strMnem))).first;
    }
    m_store.Add(series->second, t, value);
  }
  NoteUnrecorded(m_unrecordedItems, unrecorded, kMaxItemSeries, "output items");
}

// The same for the received items. One not recorded is skipped before its value is read: a peer
// may send thousands.
void CHistoryRecorder::SampleReceived(double t) {
  size_t unrecorded = 0;
  for (const auto& [key, received] : m_engine.m_witsInItems) {
    auto series = m_receivedSeries.find(key);
    if (series == m_receivedSeries.end() && m_receivedSeries.size() >= kMaxReceivedSeries) {
      ++unrecorded;
      continue;
    }
    const double value = Number(received.valueText);
    if (value != value) continue;
    if (series == m_receivedSeries.end()) {
      series = m_receivedSeries.emplace(key, m_store.SeriesIndex(WitsSeries(key.record, key.item))).first;
    }
    m_store.Add(series->second, t, value);
  }
  NoteUnrecorded(m_unrecordedReceived, unrecorded, kMaxReceivedSeries, "received WITS items");
}

// The most a sampling left out in this run; the console hears of it when it first happens.
void CHistoryRecorder::NoteUnrecorded(size_t& most, size_t now, size_t limit, const char* what) {
  if (now <= most) return;
  if (most == 0) vorn::Console() << "History: " << UnrecordedText(now, limit, what) << '\n';
  most = now;
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
