#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "command/CommandResult.h"
#include "engine/RigSim.h"
#include "replay/ReplayPlayer.h"

// The replay commands of one rig: load a recorded file (its map and options) for the next run, drop
// it, and steer its playback. A file is loaded or dropped only while no run is active, since the run's
// CSV columns and items are fixed when it starts; pause, resume, seek and speed act during the run.
// Each start, loop, end and problem of the playback comes to the listener as one line.
class CReplayCommands {
 public:
  using LineListener = std::function<void(ReplayEvent, const std::string&)>;

  explicit CReplayCommands(CRigSim& engine) : m_engine(engine) {}
  ~CReplayCommands();
  CReplayCommands(const CReplayCommands&) = delete;
  CReplayCommands& operator=(const CReplayCommands&) = delete;

  void SetListener(LineListener listener) { m_listener = std::move(listener); }

  // Invalid with the reader's message (file name and line) when the file, its map or an option does not
  // read; Refused during a run. The unmapped curves are told once, as a Problem line.
  CommandResult Load(const ReplayOptions& options, bool running);
  CommandResult Unload(bool running);
  CommandResult Pause();
  CommandResult Resume();
  CommandResult Seek(const std::string& where);
  CommandResult SetSpeed(double speed);

  [[nodiscard]] bool Loaded() const { return m_player != nullptr; }
  // The player, or none; for the views.
  [[nodiscard]] CReplayPlayer* Player() const { return m_player.get(); }
  [[nodiscard]] std::optional<ReplayPositionInfo> Position() const;

 private:
  CRigSim& m_engine;
  std::unique_ptr<CReplayPlayer> m_player;
  LineListener m_listener;
};
