#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "command/RigViewIF.h"
#include "history/HistoryStore.h"
#include "wits/WitsItemKey.h"

class CRigSim;
class CWellModelIF;

// A view of the rig controller that keeps the run's history: after every tick that stepped the rig
// it samples the fourteen channels, every output item that holds a number and every received WITS
// item that reads as one, and it marks each mode and sub-state change. A run start begins a new history; a stop
// keeps it until the next start. Time is counted on the engine's millisecond clock from the start.
//
// Series names: the channel names ("DEPTH", "SLIPS" as 0 or 1, ...), "Item <mnemonic>" for an output
// item, "WITS <record><item>" (four digits) for a received item.
//
// A run records at most kMaxReceivedSeries received items and kMaxItemSeries output items, the first
// that hold a number; the others are not recorded (said once a run on the console), so that a day of
// history stays within its memory whatever a peer sends.
class CHistoryRecorder : public CRigViewIF {
 public:
  static constexpr size_t kMaxReceivedSeries = 256;
  static constexpr size_t kMaxItemSeries = 256;

  explicit CHistoryRecorder(const CRigSim& engine, CHistoryStore::Limits limits = {});

  [[nodiscard]] const CHistoryStore& Store() const { return m_store; }
  // The wall-clock time (seconds since 2000-01-01 local) at which the history began.
  [[nodiscard]] double StartWallSeconds() const { return m_startWall; }
  // The history's time now: seconds since it began, on the engine's clock.
  [[nodiscard]] double Now() const;
  // How many received items and output items that held a number this run did not record; and the
  // same as a sentence, empty when everything was recorded.
  [[nodiscard]] size_t UnrecordedReceived() const { return m_unrecordedReceived; }
  [[nodiscard]] size_t UnrecordedItems() const { return m_unrecordedItems; }
  [[nodiscard]] std::string UnrecordedNote() const;
  // Called after each sampling (after each tick); the plots refresh from it.
  void SetOnSampled(std::function<void()> onSampled) { m_onSampled = std::move(onSampled); }

  // The fourteen channels' series names, in the channel grid's order.
  [[nodiscard]] static const std::vector<std::string>& ChannelSeries();
  [[nodiscard]] static std::string ItemSeries(const std::string& mnemonic);
  [[nodiscard]] static std::string WitsSeries(int record, int item);
  // A well's channel before its sensor: "<channel> (true)". The readings of the channels a well adds
  // are series under their own names.
  [[nodiscard]] static std::string TrueSeries(std::string_view channel);

  void OnRunChanged(bool running) override;
  void OnModeChanged(int mode, bool byEngine) override;
  void OnSubStateChanged(int subState) override;
  void OnAfterTick() override;

  // One sampling at the history's time now, as after a tick.
  void Sample();

 private:
  void Begin();
  void SampleItems(double t);
  void SampleReceived(double t);
  void NoteUnrecorded(size_t& most, size_t now, size_t limit, const char* what);
  void SampleWell(const CWellModelIF& well, double t);

  const CRigSim& m_engine;
  CHistoryStore m_store;
  std::vector<size_t> m_channels;
  // The series of the items and received items recorded in this run, by mnemonic and by key.
  std::map<std::string, size_t, std::less<>> m_itemSeries;
  std::map<WitsItemKey, size_t> m_receivedSeries;
  size_t m_unrecordedItems = 0;
  size_t m_unrecordedReceived = 0;
  static constexpr size_t kNoSeries = static_cast<size_t>(-1);
  struct WellSeries {
    size_t reading;  // kNoSeries for the engine's own channels, sampled above
    size_t truth;
  };
  const CWellModelIF* m_wellSeen = nullptr;
  std::vector<WellSeries> m_wellSeries;
  uint32_t m_startMs = 0;
  double m_startWall = 0.0;
  bool m_begun = false;
  std::function<void()> m_onSampled;
};
