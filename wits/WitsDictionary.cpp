// PROVISIONAL placeholder: the dictionary joins with the output-items work.
#include "wits/WitsDictionary.h"

bool LoadWitsDictionary(WitsDictionary& dictionary) {
  dictionary.clear();
  return true;
}

std::string FindWitsDescription(const WitsDictionary& dictionary, int record, int item) {
  const auto it = dictionary.find(WitsItemKey{record, item});
  return it == dictionary.end() ? std::string() : it->second;
}
