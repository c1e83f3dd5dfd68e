#include "command/ReplayCommands.h"

namespace {

CommandResult NothingLoaded() { return CommandResult::Refused("No replay is loaded."); }

}  // namespace

CReplayCommands::~CReplayCommands() {
  if (m_engine.m_pReplay == m_player.get()) m_engine.m_pReplay = nullptr;
}

CommandResult CReplayCommands::Load(const ReplayOptions& options, bool running) {
  if (running) return CommandResult::Refused("Loading a replay while a run is active");
  // The engine's own items map their mnemonics too, so its run files replay onto the same items.
  std::vector<ReplayChannel> items;
  for (const COutputItem& item : m_engine.m_outputItems) {
    if (item.m_nWitsRecord >= 0 && item.m_nWitsChannel >= 0) {
      items.push_back({item.m_strMnem, item.m_nWitsRecord, item.m_nWitsChannel});
    }
  }
  std::string error;
  std::unique_ptr<CReplayPlayer> player =
      CReplayPlayer::Open(options, m_engine.m_settings.m_fWitsOutInterval, error, items);
  if (!player) return CommandResult::Invalid(error);
  m_player = std::move(player);
  m_player->SetEventListener([this](ReplayEvent event, const std::string& line) {
    if (m_listener) m_listener(event, line);
  });
  m_engine.m_pReplay = m_player.get();
  if (m_listener) {
    if (const std::string unmapped = m_player->UnmappedLine(); !unmapped.empty()) m_listener(ReplayEvent::Problem, unmapped);
  }
  return CommandResult::Done();
}

CommandResult CReplayCommands::Unload(bool running) {
  if (running) return CommandResult::Refused("Ending a replay while a run is active");
  if (m_engine.m_pReplay == m_player.get()) m_engine.m_pReplay = nullptr;
  m_player.reset();
  return CommandResult::Done();
}

CommandResult CReplayCommands::Pause() {
  if (!m_player) return NothingLoaded();
  m_player->Pause(m_engine.Clocks().milliseconds());
  return CommandResult::Done();
}

CommandResult CReplayCommands::Resume() {
  if (!m_player) return NothingLoaded();
  m_player->Resume(m_engine.Clocks().milliseconds());
  return CommandResult::Done();
}

CommandResult CReplayCommands::Seek(const std::string& where) {
  if (!m_player) return NothingLoaded();
  std::string error;
  if (!m_player->Seek(m_engine.Clocks().milliseconds(), where, error)) return CommandResult::Invalid(error);
  return CommandResult::Done();
}

CommandResult CReplayCommands::SetSpeed(double speed) {
  if (!m_player) return NothingLoaded();
  std::string error;
  if (!m_player->SetSpeed(m_engine.Clocks().milliseconds(), speed, error)) return CommandResult::Invalid(error);
  return CommandResult::Done();
}

std::optional<ReplayPositionInfo> CReplayCommands::Position() const {
  if (!m_player) return std::nullopt;
  return m_player->Position(m_engine.Clocks().milliseconds());
}
