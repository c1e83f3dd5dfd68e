#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "engine/ReplaySource.h"
#include "replay/FrameReader.h"
#include "replay/MnemonicMap.h"
#include "replay/ReplayClock.h"
#include "replay/ReplayOptions.h"
#include "replay/RowReader.h"
#include "replay/RowSeekIndex.h"

enum class ReplayState { Ready, Playing, Paused, Ended };
enum class ReplayEvent { Started, Looped, Ended, Problem };

// One curve of the file and what becomes of it.
struct ReplayCurveMapping {
  std::string mnemonic;
  std::string unit;
  std::optional<WitsItemKey> key;  // nothing: not sent
  std::string sentUnit;            // the unit it is sent in
  std::string note;                // why it is not sent or not converted
};

struct ReplayPositionInfo {
  ReplayState state = ReplayState::Ready;
  uint64_t row = 0;            // the current row (frame) number, from 1; 0 before the first
  double index = 0.0;          // its index: seconds, depth or row
  std::string indexText;       // the index as the file would write it
  double playedSeconds = 0.0;  // playback time since the start or the last loop
  double speed = 1.0;
  uint64_t loops = 0;
  uint64_t badRows = 0;
  uint64_t totalRows = 0;      // once the seek index is built; 0 before
};

// Plays a recorded file against the engine's clock: LAS and CSV rows become the values of the
// channels their curves map to, WITS logs and captures give whole frames. Time-indexed rows come at the
// file's own pace times the speed, depth-indexed ones at the set rate of penetration or one row per
// output interval, frames at their logged moments, their pace item or a fixed interval.
class CReplayPlayer : public CReplaySourceIF {
 public:
  using EventListener = std::function<void(ReplayEvent, const std::string&)>;

  // Empty with the reason (file name, line) when the file, its map or an option does not read.
  // `outputIntervalSeconds`: the WITS output interval, the pace of files without a time index.
  [[nodiscard]] static std::unique_ptr<CReplayPlayer> Open(const ReplayOptions& options,
                                                           double outputIntervalSeconds, std::string& error,
                                                           const std::vector<ReplayChannel>& engineItems = {});
  ~CReplayPlayer() override = default;

  void SetEventListener(EventListener listener) { m_listener = std::move(listener); }

  // CReplaySourceIF
  [[nodiscard]] const std::vector<ReplayChannel>& Channels() const override { return m_channels; }
  void Advance(uint32_t nowMs) override;
  [[nodiscard]] const std::vector<std::string>& Values() const override { return m_values; }
  [[nodiscard]] bool SendsFrames() const override { return m_frames != nullptr; }
  void TakeDueFrames(std::vector<std::string>& frames) override;

  void Pause(uint32_t nowMs);
  void Resume(uint32_t nowMs);
  // False with the reason when the speed is outside 0.1 to 1000.
  [[nodiscard]] bool SetSpeed(uint32_t nowMs, double speed, std::string& error);
  // Moves to a time, a depth or "row:N"; false with the reason when the text reads as none or lies
  // outside the file.
  [[nodiscard]] bool Seek(uint32_t nowMs, const std::string& where, std::string& error);

  [[nodiscard]] ReplayPositionInfo Position(uint32_t nowMs);
  [[nodiscard]] const ReplayOptions& Options() const { return m_options; }
  [[nodiscard]] const std::vector<ReplayCurveMapping>& Mapping() const { return m_mapping; }
  // The file's header (rows files); the frame files give a header with their name and format only.
  [[nodiscard]] const ReplayHeader& Header() const { return m_header; }
  // "<name>: LAS 3.0, time-indexed, 12 curves, 10 sent" and the like.
  [[nodiscard]] std::string Summary() const;
  // The unmapped curves' line: "Not sent: A, B (no WITS item)".
  [[nodiscard]] std::string UnmappedLine() const;

 private:
  CReplayPlayer() = default;
  bool OpenRows(std::string& error, const std::vector<ReplayChannel>& engineItems);
  bool OpenFrames(std::string& error);
  void StartFrom(uint32_t nowMs);
  // The playback time at which a row is due.
  [[nodiscard]] double PlayedAt(const ReplayRow& row) const;
  void TakeRow(const ReplayRow& row);
  bool ReadAhead();
  void AtEnd(uint32_t nowMs);
  void SayProblems();
  void Tell(ReplayEvent event, const std::string& text);
  bool SeekRows(const std::string& where, std::string& error);
  bool SeekFrames(const std::string& where, std::string& error);
  [[nodiscard]] std::string IndexText(double index) const;

  ReplayOptions m_options;
  double m_outputInterval = 2.0;
  EventListener m_listener;
  ReplayHeader m_header;
  std::vector<ReplayCurveMapping> m_mapping;
  std::vector<ReplayChannel> m_channels;
  std::vector<int> m_curveChannel;   // per curve: its channel, or -1
  std::vector<std::string> m_sendUnit;  // per curve: the unit to convert to, empty: none
  std::vector<std::string> m_values;

  std::unique_ptr<CRowReader> m_rows;
  CRowSeekIndex m_seekIndex;
  std::optional<ReplayRow> m_ahead;  // the next row, read ahead
  ReplayPosition m_aheadPosition;    // where it starts
  ReplayRow m_current;
  bool m_hasCurrent = false;
  ReplayPosition m_startPosition;  // where a loop starts again
  double m_originIndex = 0.0;      // the index at playback time 0
  std::optional<double> m_startIndex;  // the file's first row's index
  uint64_t m_originRow = 0;        // the row number at playback time 0, less one

  std::unique_ptr<CFrameReader> m_frames;
  std::optional<ReplayFrame> m_aheadFrame;
  std::vector<std::string> m_dueFrames;
  std::optional<double> m_frameOrigin;  // the first frame's moment
  uint64_t m_frameNumber = 0;
  uint64_t m_originFrame = 0;
  double m_lastFrameAt = 0.0;  // the playback time of the last frame taken

  CReplayClock m_clock;
  ReplayState m_state = ReplayState::Ready;
  uint64_t m_loops = 0;
  bool m_saidBadRow = false;
  bool m_saidIndex = false;
  std::string m_startWhere;
};

[[nodiscard]] const char* ReplayStateName(ReplayState state);
