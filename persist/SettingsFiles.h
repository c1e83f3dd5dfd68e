#pragma once

#include <string>
#include <string_view>

class CRigSim;

// The three settings files in <data root>/Settings, the engine's own root (m_strDataRoot). Loads are silent: a missing, unreadable, broken or
// wrong-version file changes nothing, and a record, list or member that a file lacks keeps its current
// value; so does a setting outside its range (SimSettingRanges.h). Saves replace the file atomically; false when it could not be written (the old file then stays
// as it was).
void LoadWitsCommSettings(CRigSim& engine);
bool SaveWitsCommSettings(const CRigSim& engine);
void LoadSimSettings(CRigSim& engine);
bool SaveSimSettings(const CRigSim& engine);
void LoadSimState(CRigSim& engine);
bool SaveSimState(const CRigSim& engine);

// The files of a data root; an empty root is the program's.
[[nodiscard]] std::string SimSettingsPath(const std::string& root = {});
[[nodiscard]] std::string SimStatePath(const std::string& root = {});
[[nodiscard]] std::string WitsCommSettingsPath(const std::string& root = {});

// The same, on texts: what a save writes (LF line ends), and how a load applies the text it read.
[[nodiscard]] std::string SimSettingsText(const CRigSim& engine);
[[nodiscard]] std::string SimStateText(const CRigSim& engine);
[[nodiscard]] std::string WitsCommSettingsText(const CRigSim& engine);
void ApplySimSettingsText(CRigSim& engine, std::string_view text);
void ApplySimStateText(CRigSim& engine, std::string_view text);
void ApplyWitsCommSettingsText(CRigSim& engine, std::string_view text);
