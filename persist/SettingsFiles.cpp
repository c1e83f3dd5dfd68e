#include "persist/SettingsFiles.h"

#include <rapidjson/prettywriter.h>
#include <rapidjson/stringbuffer.h>

#include "engine/RigSim.h"
#include "engine/SimSettingRanges.h"
#include "persist/AtomicFile.h"
#include "persist/JsonMembers.h"
#include "support/DataRoot.h"
#include "support/DepthLimitedJson.h"
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

// A document that did not parse (nested too deep among other things), or whose top level is not an
// object, reads as an empty object.
// The reader keeps its default flags: its full-precision number path turns some long decimals and
// zeros with large exponents into garbage; the default one may miss a long number by a unit or two in
// the last place.
void ParseObject(rapidjson::Document& document, std::string_view text) {
  const std::string narrow = vorn::WideToNarrow(text);
  if (!vorn::ParseJsonWithinDepth(document, narrow) || !document.IsObject()) document.SetObject();
}

// The object member, or null when it is absent or not an object.
const rapidjson::Value* Object(const rapidjson::Value& parent, const char* key) {
  const rapidjson::Value* member = Member(parent, key);
  return member != nullptr && member->IsObject() ? member : nullptr;
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

std::string SimSettingsPath(const std::string& root) { return vorn::SettingsFolder(root) + "/SimSettings.json"; }
std::string SimStatePath(const std::string& root) { return vorn::SettingsFolder(root) + "/SimState.json"; }
std::string WitsCommSettingsPath(const std::string& root) {
  return vorn::SettingsFolder(root) + "/WitsCommSettings.json";
}

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
  // Only a chosen well is written, so a root without one keeps its file as it was.
  if (!engine.m_strWellFile.empty()) AddText(content, "WellFile", engine.m_strWellFile, allocator);
  document.AddMember("SimSettings", content, allocator);
  return Print(document);
}

void ApplySimSettingsText(CRigSim& engine, std::string_view text) {
  if (text.empty()) return;
  rapidjson::Document document;
  ParseObject(document, text);
  if (Integer(document, "Version") != kVersion) return;
  const rapidjson::Value* content = Object(document, "SimSettings");
  if (content == nullptr) return;
  if (const rapidjson::Value* settings = Object(*content, "Settings")) {
    const CSimSettings before = engine.m_settings;
    engine.m_settings.FromJson(*settings);
    KeepOnlyInRange(engine.m_settings, before);  // a value out of its range counts as absent
  }
  engine.m_strWellFile = Text(*content, "WellFile").value_or(std::string());
  // A list present replaces the list; an absent one keeps it. An element has no item of its own to
  // keep, so its absent members take the defaults of a new item.
  const rapidjson::Value* items = Member(*content, "OutputItems");
  if (items == nullptr || !items->IsArray()) return;
  engine.m_outputItems.clear();
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
  const rapidjson::Value* content = Object(document, "SimState");
  if (content == nullptr) return;
  CSimState state = engine.GetSimState();
  IfPresent(state.m_fDepth, *content, "m_fDepth", Number);
  IfPresent(state.m_fHoleDepth, *content, "m_fHoleDepth", Number);
  IfPresent(state.m_fBlockHeight_, *content, "m_fBlockHeight_", Number);
  IfPresent(state.m_state_, *content, "m_state_", Integer);
  IfPresent(state.m_statePrev_, *content, "m_statePrev_", Integer);
  IfPresent(state.nTimeInState, *content, "nTimeInState", Integer);
  IfPresent(state.m_fDepthStartState, *content, "m_fDepthStartState", Number);
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
  const rapidjson::Value* content = Object(document, "WitsCommSettings");
  if (content == nullptr) return;
  CWitsCommSettings settings = engine.m_witsLink.m_settings;
  settings.FromJson(*content);
  engine.SetCommSettings(settings);
}

void LoadWitsCommSettings(CRigSim& engine) { Load(WitsCommSettingsPath(engine.m_strDataRoot), engine, ApplyWitsCommSettingsText); }
void LoadSimSettings(CRigSim& engine) { Load(SimSettingsPath(engine.m_strDataRoot), engine, ApplySimSettingsText); }
void LoadSimState(CRigSim& engine) { Load(SimStatePath(engine.m_strDataRoot), engine, ApplySimStateText); }

bool SaveWitsCommSettings(const CRigSim& engine) {
  return vorn::WriteTextFileAtomically(WitsCommSettingsPath(engine.m_strDataRoot), WitsCommSettingsText(engine));
}
bool SaveSimSettings(const CRigSim& engine) {
  return vorn::WriteTextFileAtomically(SimSettingsPath(engine.m_strDataRoot), SimSettingsText(engine));
}
bool SaveSimState(const CRigSim& engine) {
  return vorn::WriteTextFileAtomically(SimStatePath(engine.m_strDataRoot), SimStateText(engine));
}
