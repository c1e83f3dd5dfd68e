#pragma once

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>

#include "wits/WitsItemKey.h"

// Description of every WITS (record, item) the program knows.
using WitsDictionary = std::map<WitsItemKey, std::string>;

// The dictionary table carried inside the program.
[[nodiscard]] std::string_view WitsDictionaryText();

// Fills the dictionary from a table text: sections start at "*" with a "record|name" header; each
// row "record|item|description|..." is kept under the section's record. Malformed sections and rows
// are skipped; a later row for the same key wins.
void ParseWitsDictionary(std::string_view text, WitsDictionary& dictionary);

// Where the table text comes from: the program passes the one it carries; a source that cannot
// give its text (memory runs out copying it) throws std::bad_alloc.
using WitsDictionarySource = std::function<std::string_view()>;

// Fills the dictionary from the table text of the source. False when that text could not be taken in
// (the dictionary is then empty); an absent or empty text is no failure.
bool LoadWitsDictionary(WitsDictionary& dictionary, const WitsDictionarySource& source = WitsDictionaryText);

// The dictionary read from the source, as LoadWitsDictionary reads it (`failed` tells the same). The
// carried table is read once and shared by every engine that holds it, so the rigs of a fleet do not
// each keep a copy; other sources are read every time.
[[nodiscard]] std::shared_ptr<const WitsDictionary> SharedWitsDictionary(const WitsDictionarySource& source,
                                                                         bool& failed);

// The description of (record, item), empty when the dictionary has none.
[[nodiscard]] std::string FindWitsDescription(const WitsDictionary& dictionary, int record, int item);
