#pragma once

#include <map>
#include <string>

#include "wits/WitsItemKey.h"

// Description of every WITS (record, item) the program knows.
using WitsDictionary = std::map<WitsItemKey, std::string>;

// Fills the dictionary from the table text carried inside the program. Returns false when that text
// cannot be read (the dictionary is then left empty).
bool LoadWitsDictionary(WitsDictionary& dictionary);

// The description of (record, item), empty when the dictionary has none.
[[nodiscard]] std::string FindWitsDescription(const WitsDictionary& dictionary, int record, int item);
