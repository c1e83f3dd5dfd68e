#pragma once

#include <map>
#include <string>

#include "wits/WitsItemKey.h"

// One received WITS item, as the "Wits In" grid shows it.
struct CWitsInItem {
  std::string description;
  std::string valueText;
  double timeReceived = 0.0;  // seconds since 2000-01-01 local time
};

using WitsInItems = std::map<WitsItemKey, CWitsInItem>;
