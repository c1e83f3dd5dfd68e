// The read-only items of a list stay through any edit of it, for every issuer.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "command/ReadOnlyItems.h"

namespace {

using Items = std::vector<COutputItem>;

COutputItem Item(const std::string& mnem, bool readOnly) {
  COutputItem item;
  item.m_strMnem = mnem;
  item.m_bReadOnly = readOnly;
  return item;
}

std::vector<std::string> Mnemonics(const Items& items, bool readOnly) {
  std::vector<std::string> names;
  for (const COutputItem& item : items) {
    if (item.m_bReadOnly == readOnly) names.push_back(item.m_strMnem);
  }
  return names;
}

Items RandomList(std::mt19937_64& draw, const std::string& prefix) {
  Items items(draw() % 9);
  for (size_t i = 0; i < items.size(); ++i) items[i] = Item(prefix + std::to_string(i), draw() % 3 == 0);
  return items;
}

// Over random lists and edits: the read-only items come out as the list held them, in its order;
// the others as the edit gave them, in its order; and each read-only item of the edit is where a kept
// one stands, as long as the list has one for it.
TEST(KeepReadOnlyItems, KeepsTheListsReadOnlyItemsAndTakesTheRestOfTheEdit) {
  std::mt19937_64 draw(7);
  for (int round = 0; round < 500; ++round) {
    const Items current = RandomList(draw, "c");
    const Items edited = RandomList(draw, "e");
    const Items result = KeepReadOnlyItems(current, edited);
    ASSERT_EQ(Mnemonics(result, true), Mnemonics(current, true)) << round;
    ASSERT_EQ(Mnemonics(result, false), Mnemonics(edited, false)) << round;
    const size_t kept = Mnemonics(current, true).size();
    size_t places = 0;
    for (size_t i = 0; i < edited.size() && places < kept; ++i) {
      if (!edited[i].m_bReadOnly) continue;
      ASSERT_TRUE(result[i].m_bReadOnly) << round << " at " << i;
      ++places;
    }
  }
}

TEST(KeepReadOnlyItems, AListGivenBackAsItWasIsTheSameAndOneWithoutThemHasThemFirst) {
  const Items current = {Item("DEPTH", true), Item("HOLE_DEPTH", true), Item("INC", false), Item("GAM", false)};
  EXPECT_EQ(Mnemonics(KeepReadOnlyItems(current, current), true), (std::vector<std::string>{"DEPTH", "HOLE_DEPTH"}));
  const Items same = KeepReadOnlyItems(current, current);
  for (size_t i = 0; i < current.size(); ++i) EXPECT_TRUE(same[i].SameStoredFields(current[i])) << i;

  // A read-only item the edit changed is the list's own again; one it made read-only is left out.
  Items edited = {Item("BENCH", false), Item("MADE", true), Item("DEPTH", true), Item("MADE", true)};
  edited[1].m_bEnable = false;
  const Items result = KeepReadOnlyItems(current, edited);
  ASSERT_EQ(result.size(), 3u);
  EXPECT_EQ(result[0].m_strMnem, "BENCH");
  EXPECT_EQ(result[1].m_strMnem, "DEPTH");
  EXPECT_TRUE(result[1].m_bEnable);
  EXPECT_EQ(result[2].m_strMnem, "HOLE_DEPTH");

  const Items bench = KeepReadOnlyItems(current, {Item("BENCH", false)});
  EXPECT_EQ(Mnemonics(bench, true), (std::vector<std::string>{"DEPTH", "HOLE_DEPTH"}));
  EXPECT_EQ(bench.back().m_strMnem, "BENCH");
}

}  // namespace
