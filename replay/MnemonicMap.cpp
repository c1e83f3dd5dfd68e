#include "replay/MnemonicMap.h"

#include <rapidjson/document.h>
#include <rapidjson/error/en.h>

#include "replay/FieldText.h"
#include "replay/LineSource.h"
#include "support/Text.h"
#include "wits/WitsDictionary.h"

namespace vorn::replay {

namespace {

struct CommonEntry {
  const char* code;
  std::vector<const char*> names;
};

// The names drilling files and logging units commonly give each channel, and this program's own
// item mnemonics (its run files' columns).
const std::vector<CommonEntry>& CommonEntries() {
  static const std::vector<CommonEntry> entries = {
      {"0108", {"DEPTH", "DEPT", "BDEP", "BITDEPTH", "BIT_DEPTH", "DBTM", "DEPTH_BIT", "BITD"}},
      {"0109", {"DBTV", "BDEPV"}},
      {"0110", {"HOLE_DEPTH", "HDEP", "HDTH", "DMEA", "HOLEDEPTH", "MDHOLE", "HOLED"}},
      {"0111", {"DVER", "TVD", "HDEPV"}},
      {"0112", {"BLOCK_HEIGHT", "BPOS", "BLKPOS", "BLOCKPOS", "HKHT", "BLOCK", "BLKH"}},
      {"0113", {"ROP", "ROPA", "ROP5", "ROPI", "ROP_AVG"}},
      {"0114", {"HOOKLOAD", "HKLD", "HKLA", "HKL", "HOOK", "HL", "HKLDAV"}},
      {"0115", {"HKLX", "HKLDMX"}},
      {"0116", {"WOB", "WOBA", "SWOB", "WOBAV"}},
      {"0117", {"WOBX", "WOBMX"}},
      {"0118", {"TORQ", "TQA", "TORQUE", "STOR", "RTOR", "TRQ", "TQ", "TORQA"}},
      {"0119", {"TQX", "TORQX"}},
      {"0120", {"RPM", "RPMA", "SRPM", "RPMS", "ROTSPD"}},
      {"0121", {"SPP", "SPPA", "STANDPIPE", "SPPR", "STPP", "PUMP_PRESS"}},
      {"0122", {"CHKP", "CHOKE", "CSGP", "CHOKEP"}},
      {"0123", {"SPM1", "PUMP1", "MP1", "SPM_1", "STK1"}},
      {"0124", {"SPM2", "PUMP2", "MP2", "SPM_2", "STK2"}},
      {"0125", {"SPM3", "PUMP3", "MP3", "SPM_3", "STK3"}},
      {"0126", {"PITS", "PVT", "TVOL", "PIT", "PITV", "ACTIVE_PIT", "TANK", "PITVOL"}},
      {"0127", {"GAIN", "PVTC", "PITGAIN", "PITCHG", "TVOLC"}},
      {"0128", {"FLOWOUT_PCT", "FLOP", "MFOP"}},
      {"0129", {"FLOW_OUT", "FLOWOUT", "FLWO", "MFOUT"}},
      {"0130", {"FLOW", "FLOWIN", "FLOW_IN", "FLWI", "TFLO", "MFIN", "FLWPMPS"}},
      {"0131", {"MWOUT", "MDO", "MW_OUT", "DENSITY_OUT", "MDOUT"}},
      {"0132", {"MWIN", "MDI", "MW", "MUDWEIGHT", "MW_IN", "DENSITY_IN", "MDIN"}},
      {"0133", {"MTO", "TEMPOUT", "MT_OUT", "MTOUT", "TMPO"}},
      {"0134", {"MTI", "TEMPIN", "MT_IN", "MTIN", "TMPI"}},
      {"0137", {"STKC", "TOTSTK", "STROKES", "TSTK", "STKT"}},
      {"0140", {"GAS", "GASA", "TGAS", "TG", "TOTGAS", "GAS_TOTAL"}},
      {"0144", {"ON_BOTTOM"}},
      {"0145", {"SLIPS"}},
      {"0713", {"INC"}},
      {"0714", {"AZM"}},
      {"0715", {"AZMC"}},
      {"0717", {"TF"}},
      {"0722", {"GTOT"}},
      {"0723", {"BTOT"}},
      {"0724", {"DIP"}},
      {"0823", {"GAM"}},
  };
  return entries;
}

// The dictionary's own short mnemonics and units, read from the carried table's rows
// ("record|item|description|long|short|type|length|metric|imperial|...").
void ReadDictionary(std::map<std::string, WitsItemKey>& names,
                    std::map<WitsItemKey, std::pair<std::string, std::string>>& units) {
  CLineSource lines;
  lines.OpenText(WitsDictionaryText());
  std::string_view line;
  std::vector<std::string_view> fields;
  while (lines.Next(line)) {
    if (line.empty() || line.front() == '*') continue;
    SplitFields(line, '|', fields);
    if (fields.size() < 9) continue;
    const auto record = ReadNumber(fields[0]);
    const auto item = ReadNumber(fields[1]);
    if (!record || !item) continue;
    const WitsItemKey key{static_cast<int32_t>(*record), static_cast<int32_t>(*item)};
    units[key] = {std::string(fields[7]), std::string(fields[8])};
    if (fields[2].find("SPARE") != std::string_view::npos) continue;
    names.try_emplace(Upper(fields[4]), key);
  }
}

}  // namespace

std::optional<WitsItemKey> ReadWitsCode(std::string_view code) {
  if (code.size() != 4 || code.find_first_not_of("0123456789") != std::string_view::npos) return std::nullopt;
  return WitsItemKey{(code[0] - '0') * 10 + (code[1] - '0'), (code[2] - '0') * 10 + (code[3] - '0')};
}

std::string WitsCodeText(WitsItemKey key) { return vorn::Sprintf("%02d%02d", key.record, key.item); }

CMnemonicMap::CMnemonicMap() {
  std::map<std::string, WitsItemKey> dictionary;
  ReadDictionary(dictionary, m_units);
  for (const CommonEntry& entry : CommonEntries()) {
    const WitsItemKey key = *ReadWitsCode(entry.code);
    for (const char* name : entry.names) m_defaults.try_emplace(name, key);
  }
  for (const auto& [name, key] : dictionary) m_defaults.try_emplace(name, key);
}

bool CMnemonicMap::LoadFile(const std::string& path, std::string& error) {
  const std::size_t slash = path.find_last_of('/');
  const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
  CLineSource lines;
  std::string reason;
  if (!lines.Open(path, reason)) {
    error = name + ": cannot be read: " + reason;
    return false;
  }
  if (lines.FileBytes() > 1 << 20) {
    error = name + ": a mapping file of more than 1 MiB";
    return false;
  }
  std::string text;
  std::string_view line;
  while (lines.Next(line)) {
    text += line;
    text += '\n';
  }
  return LoadText(text, name, error);
}

bool CMnemonicMap::LoadText(std::string_view text, const std::string& name, std::string& error) {
  rapidjson::Document document;
  document.Parse(text.data(), text.size());
  if (document.HasParseError()) {
    error = vorn::Sprintf("%s: not JSON at byte %zu: %s", name.c_str(), document.GetErrorOffset(),
                          rapidjson::GetParseError_En(document.GetParseError()));
    return false;
  }
  if (!document.IsObject()) {
    error = name + ": a mapping file is a JSON object from mnemonic to a code such as \"0114\"";
    return false;
  }
  std::map<std::string, std::optional<WitsItemKey>> entries;
  for (const auto& member : document.GetObject()) {
    const std::string mnemonic(member.name.GetString(), member.name.GetStringLength());
    const rapidjson::Value& value = member.value;
    if (value.IsNull() || (value.IsString() && value.GetStringLength() == 0)) {
      entries[Upper(Trim(mnemonic))] = std::nullopt;
      continue;
    }
    const auto key = value.IsString() ? ReadWitsCode(std::string_view(value.GetString(), value.GetStringLength()))
                                      : std::nullopt;
    if (!key) {
      error = name + ": \"" + mnemonic.substr(0, 64) +
              "\": the code is not a four-digit record and item such as \"0114\"";
      return false;
    }
    entries[Upper(Trim(mnemonic))] = key;
  }
  for (auto& [mnemonic, key] : entries) m_file[mnemonic] = key;
  return true;
}

void CMnemonicMap::Add(std::string_view mnemonic, WitsItemKey key) { m_defaults[Upper(Trim(mnemonic))] = key; }

WitsTarget CMnemonicMap::Target(WitsItemKey key) const {
  WitsTarget target{key, {}, {}};
  if (const auto it = m_units.find(key); it != m_units.end()) {
    target.metricUnit = it->second.first;
    target.imperialUnit = it->second.second;
  }
  return target;
}

std::optional<WitsTarget> CMnemonicMap::Find(std::string_view mnemonic) const {
  const std::string name = Upper(Trim(mnemonic));
  if (const auto it = m_file.find(name); it != m_file.end()) {
    if (!it->second) return std::nullopt;
    return Target(*it->second);
  }
  if (const auto it = m_defaults.find(name); it != m_defaults.end()) return Target(it->second);
  return std::nullopt;
}

std::vector<std::pair<std::string, std::string>> CMnemonicMap::CommonMnemonics() {
  std::vector<std::pair<std::string, std::string>> list;
  for (const CommonEntry& entry : CommonEntries()) {
    std::string names;
    for (const char* name : entry.names) {
      if (!names.empty()) names += ' ';
      names += name;
    }
    list.emplace_back(entry.code, names);
  }
  return list;
}

}  // namespace vorn::replay
