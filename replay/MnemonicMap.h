#pragma once

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "wits/WitsItemKey.h"

// Which WITS record and item each curve of a recorded file is sent as: the names that drilling files
// and logging units commonly use, this program's own item mnemonics, and the WITS dictionary's own
// short mnemonics, over which a mapping file's entries win.
namespace vorn::replay {

struct WitsTarget {
  WitsItemKey key;
  std::string metricUnit;    // the dictionary's units of the item, "----" or empty when it has none
  std::string imperialUnit;
};

class CMnemonicMap {
 public:
  // The default map, with the dictionary read from the table text the program carries.
  CMnemonicMap();
  // Reads a mapping file: a JSON object from mnemonic to a four-digit record-and-item code
  // ({"HKLD": "0114"}), or null or "" to leave a curve unsent. False with the reason (file name and
  // the entry) when it does not read; nothing of it is taken then.
  [[nodiscard]] bool LoadFile(const std::string& path, std::string& error);
  [[nodiscard]] bool LoadText(std::string_view text, const std::string& name, std::string& error);
  // Adds an entry over the defaults (the engine's own items).
  void Add(std::string_view mnemonic, WitsItemKey key);

  // The target of a curve: the mapping file's, else the default's; nothing when unmapped.
  [[nodiscard]] std::optional<WitsTarget> Find(std::string_view mnemonic) const;
  // The default entries, "mnemonic code" each, for the documentation and the dialog.
  [[nodiscard]] static std::vector<std::pair<std::string, std::string>> CommonMnemonics();

 private:
  [[nodiscard]] WitsTarget Target(WitsItemKey key) const;

  std::map<std::string, WitsItemKey> m_defaults;  // upper-case mnemonic
  std::map<std::string, std::optional<WitsItemKey>> m_file;  // nothing: left unsent
  std::map<WitsItemKey, std::pair<std::string, std::string>> m_units;  // the dictionary's, per item
};

// "0114" as record 1, item 14.
[[nodiscard]] std::optional<WitsItemKey> ReadWitsCode(std::string_view code);
[[nodiscard]] std::string WitsCodeText(WitsItemKey key);

}  // namespace vorn::replay
