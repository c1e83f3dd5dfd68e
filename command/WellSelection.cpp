#include "command/WellSelection.h"

#include <filesystem>
#include <memory>

#include "engine/RigSim.h"
#include "persist/SettingsFiles.h"
#include "support/TextFile.h"
#include "well/WellFile.h"
#include "well/WellRig.h"

namespace {

bool Exists(const std::string& path) {
  std::error_code error;
  return std::filesystem::exists(path, error);
}

// The item copying a channel: by its type among the engine's or the well's channels.
COutputItem ChannelItem(const std::string& mnemonic, int32_t type, int32_t record, int32_t item) {
  return COutputItem(true, true, mnemonic, 0.0, type, 0.0, 0.0, 0.0, "", FilterBoth, false, record, item);
}

int32_t WellType(const std::string& name) {
  const auto& names = WellChannelNames();
  for (std::size_t i = 0; i < names.size(); ++i) {
    if (names[i] == name) return ItemFirstWellChannel + static_cast<int32_t>(i);
  }
  return -1;
}

}  // namespace

void BuildWellDefaultItems(CRigSim& engine) {
  struct Standard {
    const char* mnemonic;
    int32_t type;  // an engine channel's type, or -1 for the well channel of that name
    int32_t item;
  };
  static const Standard kRecord1[] = {
      {"DEPTH", ItemDepth, 8},          {"HOLE_DEPTH", ItemHoleDepth, 10}, {"BLOCK_HEIGHT", ItemBlockHeight, 12},
      {"ROP", ItemRop, 13},             {"HOOKLOAD", ItemHookload, 14},    {"HOOKLOAD_MAX", -1, 15},
      {"WOB", ItemWob, 16},             {"WOB_MAX", -1, 17},               {"TORQ", ItemTorq, 18},
      {"TORQ_MAX", -1, 19},             {"RPM", ItemRpm, 20},              {"SPP", ItemSpp, 21},
      {"CASING_PRESSURE", -1, 22},      {"SPM1", ItemSpm1, 23},            {"SPM2", ItemSpm2, 24},
      {"PIT_VOLUME", -1, 26},           {"PIT_CHANGE", -1, 27},            {"FLOW_OUT_PCT", -1, 28},
      {"FLOW_OUT", -1, 29},             {"FLOW", ItemFlow, 30},            {"MUD_DENSITY_OUT", -1, 31},
      {"MUD_DENSITY_IN", -1, 32},       {"MUD_TEMP_OUT", -1, 33},          {"MUD_TEMP_IN", -1, 34},
      {"STROKES_TOTAL", -1, 37},        {"LAG_STROKES", -1, 38},           {"LAG_DEPTH", -1, 39},
      {"GAS", -1, 40}};
  engine.m_outputItems.clear();
  for (const Standard& s : kRecord1) {
    const int32_t type = s.type >= 0 ? s.type : WellType(s.mnemonic);
    engine.m_outputItems.push_back(ChannelItem(s.mnemonic, type, 1, s.item));
  }
}

CommandResult UseWellText(CRigSim& engine, std::string_view text, const std::string& path, uint64_t rigSeed) {
  const vorn::well::WellRead read = vorn::well::ReadWell(text);
  if (!read.ok()) return CommandResult::Invalid("Well file" + (path.empty() ? std::string() : " " + path) + ": " +
                                                read.error);
  // Asked before anything is saved: a root that has kept nothing yet starts as the well says.
  const bool savedState = Exists(SimStatePath(engine.m_strDataRoot));
  const bool savedItems = Exists(SimSettingsPath(engine.m_strDataRoot));
  auto rig = std::make_unique<vorn::well::CWellRig>(*read.well, rigSeed);
  const double start = rig->StartDepth();
  engine.SetWellModel(std::move(rig));
  engine.m_strWellFile = path;
  engine.m_strWellText.assign(text);
  if (!savedState) {
    engine.SetHoleDepth(start);
    engine.SetBitDepth(start);
  }
  if (!savedItems) BuildWellDefaultItems(engine);
  (void)SaveSimSettings(engine);
  return CommandResult::Done();
}

CommandResult UseWellFile(CRigSim& engine, const std::string& path, uint64_t rigSeed) {
  std::error_code error;
  const auto size = std::filesystem::file_size(path, error);
  if (error) return CommandResult::Invalid("Well file " + path + ": cannot be read (" + error.message() + ")");
  if (size > vorn::well::kMaxWellFileBytes) {
    return CommandResult::Invalid("Well file " + path + ": larger than " +
                                  std::to_string(vorn::well::kMaxWellFileBytes / 1024) + " KiB");
  }
  const std::string absolute = std::filesystem::absolute(path, error).string();
  return UseWellText(engine, vorn::ReadTextFile(path), error ? path : absolute, rigSeed);
}

void ClearWell(CRigSim& engine) {
  engine.SetWellModel(nullptr);
  engine.m_strWellFile.clear();
  engine.m_strWellText.clear();
  (void)SaveSimSettings(engine);
}

std::string RestoreWell(CRigSim& engine, uint64_t rigSeed) {
  if (engine.m_strWellFile.empty()) return {};
  const std::string path = engine.m_strWellFile;
  const CommandResult result = UseWellFile(engine, path, rigSeed);
  if (result.IsDone()) return {};
  engine.m_strWellFile.clear();  // forgotten in memory only: the file may come back
  return result.message;
}
