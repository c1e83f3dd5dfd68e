#include "command/ReadOnlyItems.h"

#include <cstddef>
#include <iterator>
#include <utility>

std::vector<COutputItem> KeepReadOnlyItems(const std::vector<COutputItem>& current, std::vector<COutputItem> edited) {
  std::vector<const COutputItem*> kept;
  for (const COutputItem& item : current) {
    if (item.m_bReadOnly) kept.push_back(&item);
  }
  std::vector<COutputItem> result;
  result.reserve(edited.size() + kept.size());
  std::size_t next = 0;        // the next kept item a read-only place takes
  std::size_t restGoTo = 0;    // where the kept items no place took go: after the last such place
  for (COutputItem& item : edited) {
    if (!item.m_bReadOnly) {
      result.push_back(std::move(item));
    } else if (next < kept.size()) {
      result.push_back(*kept[next++]);
      restGoTo = result.size();
    }
  }
  std::vector<COutputItem> rest;
  for (; next < kept.size(); ++next) rest.push_back(*kept[next]);
  result.insert(result.begin() + static_cast<std::ptrdiff_t>(restGoTo), std::make_move_iterator(rest.begin()),
                std::make_move_iterator(rest.end()));
  return result;
}
