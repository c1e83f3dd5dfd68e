#include "wits/WitsDictionary.h"

#include <new>
#include <vector>

#include "support/Numbers.h"
#include "support/Text.h"

void ParseWitsDictionary(std::string_view text, WitsDictionary& dictionary) {
  dictionary.clear();
  std::vector<std::string> sections;
  vorn::SplitText(text, "*", sections);
  std::vector<std::string> lines;
  std::vector<std::string> fields;
  for (size_t s = 1; s < sections.size(); ++s) {  // what stands before the first "*" is ignored
    vorn::SplitText(sections[s], "\r\n", lines);
    if (lines.size() < 2) continue;
    vorn::SplitText(lines[0], "|", fields);
    if (fields.size() != 2) continue;  // a header is exactly "record|name"
    const int32_t record = vorn::ReadInteger(fields[0]);
    for (size_t l = 1; l < lines.size(); ++l) {
      vorn::SplitText(lines[l], "|", fields);
      if (fields.size() < 11) continue;  // also drops the empty pieces between CR and LF
      dictionary[WitsItemKey{record, vorn::ReadInteger(fields[1])}] = fields[2];
    }
  }
}

bool LoadWitsDictionary(WitsDictionary& dictionary, const WitsDictionarySource& source) {
  dictionary.clear();
  try {
    ParseWitsDictionary(vorn::NarrowToWide(source()), dictionary);
  } catch (const std::bad_alloc&) {
    dictionary.clear();
    return false;
  }
  return true;
}

std::shared_ptr<const WitsDictionary> SharedWitsDictionary(const WitsDictionarySource& source, bool& failed) {
  static std::weak_ptr<const WitsDictionary> carriedTable;
  const auto* function = source.target<std::string_view (*)()>();
  const bool carried = function != nullptr && *function == &WitsDictionaryText;
  failed = false;
  if (carried) {
    if (auto shared = carriedTable.lock()) return shared;
  }
  auto dictionary = std::make_shared<WitsDictionary>();
  failed = !LoadWitsDictionary(*dictionary, source);
  if (carried && !failed) carriedTable = dictionary;
  return dictionary;
}

std::string FindWitsDescription(const WitsDictionary& dictionary, int record, int item) {
  const auto it = dictionary.find(WitsItemKey{record, item});
  return it == dictionary.end() ? std::string() : it->second;
}
