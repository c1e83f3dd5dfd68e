#pragma once

#include <string>

#include "support/JsonText.h"

namespace vorn::control {

// A record's members as its file holds them (CSimSettings, CWitsCommSettings, COutputItem), as JSON.
template <typename Record>
[[nodiscard]] std::string RecordJson(const Record& record);

}  // namespace vorn::control
