#pragma once

#include <vector>

#include "engine/OutputItem.h"

// The read-only output items (the built-in channel copies) stay for every issuer of a command, as in
// the output grid, which locks their cells and whose "-" passes them by.

// Whether an item may be removed from the list.
[[nodiscard]] inline bool IsRemovable(const COutputItem& item) { return !item.m_bReadOnly; }

// The list an edit gives, with the read-only items of `current` kept, unchanged and in their order:
// an edit changes, adds, removes and reorders only the other items. Each item of `edited` marked
// read-only stands for the next read-only item of `current` and takes its place, so a list read,
// edited and given back keeps every item where it was; the read-only items it lacks follow its last
// read-only one, or lead the list when it has none. An edit cannot make an item read-only.
[[nodiscard]] std::vector<COutputItem> KeepReadOnlyItems(const std::vector<COutputItem>& current,
                                                         std::vector<COutputItem> edited);
