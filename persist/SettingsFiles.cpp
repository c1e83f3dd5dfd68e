#include "persist/SettingsFiles.h"

#include <rapidjson/prettywriter.h>
#include <rapidjson/stringbuffer.h>

#include "engine/RigSim.h"
#include "persist/AtomicFile.h"
#include "persist/JsonMembers.h"
#include "support/DataRoot.h"
#include "support/Text.h"
#include "support/TextFile.h"

using namespace vorn::json;

namespace {

constexpr int kVersion = 1;

std::string Print(const rapidjson::Document& document) {
  rapidjson::StringBuffer buffer;
  rapidjson::PrettyWriter<rapidjson::StringBuffer> writer(buffer);
  writer.SetIndent(' ', 4);
  document.Accept(writer);
  return vorn::NarrowToWide(std::string_view(buffer.GetString(), buffer.GetSize()));
}

// A document that did not parse, or whose top level is not an object, reads as an empty object.
// Numbers are read to full precision: the default reader may miss the written double by one unit in
// the last place, and a saved setting would then come back changed.
void ParseObject(rapidjson::Document& document, std::string_view text) {
  const std::string narrow = vorn::WideToNarrow(text);
  document.Parse<rapidjson::kParseFullPrecisionFlag>(narrow.data(), narrow.size());
  if (document.HasParseError() || !document.IsObject()) document.SetObject();
}

// The content member, or an empty object when it is absent or not an object.
const rapidjson::Value& Content(const rapidjson::Value& document, const char* key) {
  static const rapidjson::Value empty(rapidjson::kObjectType);
  const rapidjson::Value* member = Member(document, key);
  return member != nullptr && member->IsObject() ? *member : empty;
}

rapidjson::Document VersionedDocument() {
  rapidjson::Document document;
  document.SetObject();
  document.AddMember("Version", kVersion, document.GetAllocator());
  return document;
}

void Load(const std::string& path, CRigSim& engine, void (*apply)(CRigSim&, std::string_view)) {
  const std::string text = vorn::ReadTextFile(path);
  if (!text.empty()) apply(engine, text);
}

}  // namespace

std::string SimSettingsPath() { return vorn::SettingsFolder() + "/SimSettings.json"; }
std::string SimStatePath() { return vorn::SettingsFolder() + "/SimState.json"; }
std::string WitsCommSettingsPath() { return vorn::SettingsFolder() + "/WitsCommSettings.json"; }

std::string SimSettingsText(const CRigSim& engine) {
  rapidjson::Document document = VersionedDocument();
  auto& allocator = document.GetAllocator();
  rapidjson::Value settings(rapidjson::kObjectType);
  engine.m_settings.ToJson(settings, allocator);
  rapidjson::Value items(rapidjson::kArrayType);
  for (const COutputItem& item : engine.m_outputItems) {
    rapidjson::Value object(rapidjson::kObjectType);
    item.ToJson(object, allocator);
    items.PushBack(object, allocator);
  }
  rapidjson::Value content(rapidjson::kObjectType);
  content.AddMember("Settings", settings, allocator);
  content.AddMember("OutputItems", items, allocator);
  document.AddMember("SimSettings", content, allocator);
  return Print(document);
}

void ApplySimSettingsText(CRigSim& engine, std::string_view text) {
  if (text.empty()) return;
  rapidjson::Document document;
  ParseObject(document, text);
  if (Integer(document, "Version") != kVersion) return;
  const rapidjson::Value& content = Content(document, "SimSettings");
  engine.m_settings.FromJson(Content(content, "Settings"));
  engine.m_outputItems.clear();
  const rapidjson::Value* items = Member(content, "OutputItems");
  if (items == nullptr || !items->IsArray()) return;
  for (const rapidjson::Value& element : items->GetArray()) {
    if (!element.IsObject()) continue;  // not an item: left out
    COutputItem item;
    item.FromJson(element);
    engine.m_outputItems.push_back(std::move(item));
  }
}

std::string SimStateText(const CRigSim& engine) {
  rapidjson::Document document = VersionedDocument();
  auto& allocator = document.GetAllocator();
  const CSimState state = engine.GetSimState();
  rapidjson::Value content(rapidjson::kObjectType);
  AddNumber(content, "m_fDepth", state.m_fDepth, allocator);
  AddNumber(content, "m_fHoleDepth", state.m_fHoleDepth, allocator);
  AddNumber(content, "m_fBlockHeight_", state.m_fBlockHeight_, allocator);
  AddInteger(content, "m_state_", state.m_state_, allocator);
  AddInteger(content, "m_statePrev_", state.m_statePrev_, allocator);
  AddInteger(content, "nTimeInState", state.nTimeInState, allocator);
  AddNumber(content, "m_fDepthStartState", state.m_fDepthStartState, allocator);
  document.AddMember("SimState", content, allocator);
  return Print(document);
}

void ApplySimStateText(CRigSim& engine, std::string_view text) {
  if (text.empty()) return;
  rapidjson::Document document;
  ParseObject(document, text);
  if (Integer(document, "Version") != kVersion) return;
  const rapidjson::Value& content = Content(document, "SimState");
  CSimState state;
  state.m_fDepth = NumberOr0(content, "m_fDepth");
  state.m_fHoleDepth = NumberOr0(content, "m_fHoleDepth");
  state.m_fBlockHeight_ = NumberOr0(content, "m_fBlockHeight_");
  state.m_state_ = IntegerOr0(content, "m_state_");
  state.m_statePrev_ = IntegerOr0(content, "m_statePrev_");
  state.nTimeInState = IntegerOr0(content, "nTimeInState");
  state.m_fDepthStartState = NumberOr0(content, "m_fDepthStartState");
  engine.SetSimState(state);
}

std::string WitsCommSettingsText(const CRigSim& engine) {
  rapidjson::Document document;
  document.SetObject();
  auto& allocator = document.GetAllocator();
  rapidjson::Value content(rapidjson::kObjectType);
  const CWitsCommSettings settings = engine.m_witsLink.m_settings;
  settings.ToJson(content, allocator);
  document.AddMember("WitsCommSettings", content, allocator);
  return Print(document);
}

void ApplyWitsCommSettingsText(CRigSim& engine, std::string_view text) {
  if (text.empty()) return;
  rapidjson::Document document;
  ParseObject(document, text);
  CWitsCommSettings settings;  // the record's own defaults never survive: every member is read
  settings.FromJson(Content(document, "WitsCommSettings"));
  engine.SetCommSettings(settings);
}

void LoadWitsCommSettings(CRigSim& engine) { Load(WitsCommSettingsPath(), engine, ApplyWitsCommSettingsText); }
void LoadSimSettings(CRigSim& engine) { Load(SimSettingsPath(), engine, ApplySimSettingsText); }
void LoadSimState(CRigSim& engine) { Load(SimStatePath(), engine, ApplySimStateText); }

bool SaveWitsCommSettings(const CRigSim& engine) {
  return vorn::WriteTextFileAtomically(WitsCommSettingsPath(), WitsCommSettingsText(engine));
}
bool SaveSimSettings(const CRigSim& engine) {
  return vorn::WriteTextFileAtomically(SimSettingsPath(), SimSettingsText(engine));
}
bool SaveSimState(const CRigSim& engine) {
  return vorn::WriteTextFileAtomically(SimStatePath(), SimStateText(engine));
}
