#include <gtest/gtest.h>

#include <map>
#include <new>

#include "wits/WitsDictionary.h"

namespace {

std::map<int, int> CountsPerRecord(const WitsDictionary& dictionary) {
  std::map<int, int> counts;
  for (const auto& [key, description] : dictionary) ++counts[key.record];
  return counts;
}

TEST(WitsDictionary, TheCarriedTableHasItsFiveRecords) {
  WitsDictionary dictionary;
  ASSERT_TRUE(LoadWitsDictionary(dictionary));
  EXPECT_EQ(CountsPerRecord(dictionary), (std::map<int, int>{{1, 99}, {7, 98}, {8, 99}, {9, 99}, {42, 99}}));
  const struct {
    int record, item;
    const char* description;
  } rows[] = {
      {1, 8, "Depth Bit (meas)"},        {1, 30, "Mud Flow In (avg)"},       {1, 40, "Gas (avg)"},
      {1, 41, "< SPARE 1>"},             {1, 99, "< SPARE 59>"},             {7, 13, "Svy Inclination"},
      {7, 24, "Total Dip"},              {7, 25, "< SPARE 4>"},              {7, 67, "< SPARE 46>"},
      {7, 69, "< SPARE 47>"},            {7, 83, "< SPARE 62>"},             {7, 87, "< SPARE 67>"},
      {7, 98, "< SPARE 78>"},            {7, 99, "< SPARE 80>"},             {8, 23, "Gamma Ray 1 reading"},
      {8, 46, "Frac Pressure Grad MWD"}, {8, 47, "< SPARE 1>"},              {9, 20, "MWD Tool Alternator Voltage"},
      {9, 21, "< SPARE 1>"},             {42, 13, "SwR Uplink 01"},          {42, 25, "SwR Uplink 13"},
      {42, 26, "< SPARE 1>"},            {42, 84, "< SPARE 59>"},            {42, 85, "< SPARE 38>"},
      {42, 99, "< SPARE 52>"},           {1, 2, "Sidetrack/Hole Sect No."},
  };
  for (const auto& row : rows) {
    EXPECT_EQ(FindWitsDescription(dictionary, row.record, row.item), row.description) << row.record << "/" << row.item;
  }
  EXPECT_EQ(FindWitsDescription(dictionary, 7, 68), "");
  EXPECT_EQ(FindWitsDescription(dictionary, 2, 1), "");
  EXPECT_EQ(FindWitsDescription(dictionary, 1, 100), "");
  EXPECT_EQ(dictionary.size(), 494u);  // a lookup never adds an entry
}

TEST(WitsDictionary, MalformedSectionsAndRowsAreSkipped) {
  WitsDictionary dictionary;
  const std::string row11 = "|a|b|c|d|e|f|g|h";  // with record and item: 11 fields
  ParseWitsDictionary(
      "comment *, before the first star has no effect\r\n"
      "*7|Directional\r\n"
      "8|5|Stored under seven" + row11 + "|\r\n"
      "7|6|Exactly eleven fields" + row11 + "\r\n"
      "7|7|Ten fields|a|b|c|d|e|f|g\r\n"
      "\r\n"
      "7|6|Later row wins" + row11 + "|\r\n"
      "*9|Name|Extra\r\n"
      "9|1|Lost with its section" + row11 + "|\r\n"
      "*12\r\n"
      "12|1|No name in the header" + row11 + "|\r\n"
      "* 3 |Spaces\r\n"
      "x|2|Item read as a number" + row11 + "|\r\n"
      "3|x|Item without digits" + row11 + "|\r\n"
      "*4|Only a header",
      dictionary);
  EXPECT_EQ(FindWitsDescription(dictionary, 7, 5), "Stored under seven");
  EXPECT_EQ(FindWitsDescription(dictionary, 7, 6), "Later row wins");
  EXPECT_EQ(FindWitsDescription(dictionary, 7, 7), "");
  EXPECT_EQ(FindWitsDescription(dictionary, 9, 1), "");
  EXPECT_EQ(FindWitsDescription(dictionary, 12, 1), "");
  EXPECT_EQ(FindWitsDescription(dictionary, 3, 2), "Item read as a number");
  EXPECT_EQ(FindWitsDescription(dictionary, 3, 0), "Item without digits");
  EXPECT_EQ(dictionary.size(), 4u);

  ParseWitsDictionary("", dictionary);
  EXPECT_TRUE(dictionary.empty());
}

}  // namespace

TEST(WitsDictionary, TheCarriedTableIsReadOnceForEveryHolderAndOtherSourcesEveryTime) {
  bool failed = true;
  const auto first = SharedWitsDictionary(WitsDictionaryText, failed);
  EXPECT_FALSE(failed);
  const auto second = SharedWitsDictionary(WitsDictionaryText, failed);
  EXPECT_EQ(first.get(), second.get());
  EXPECT_FALSE(first->empty());

  const WitsDictionarySource own = [] { return std::string_view("*1|Drilling\r\n1|8|Bit Depth|a|b|c|d|e|f|g|h|\r\n"); };
  const auto mine = SharedWitsDictionary(own, failed);
  EXPECT_NE(mine.get(), first.get());
  EXPECT_EQ(FindWitsDescription(*mine, 1, 8), "Bit Depth");
  const WitsDictionarySource broken = []() -> std::string_view { throw std::bad_alloc(); };
  EXPECT_TRUE(SharedWitsDictionary(broken, failed)->empty());
  EXPECT_TRUE(failed);
  EXPECT_EQ(SharedWitsDictionary(WitsDictionaryText, failed).get(), first.get());  // still shared
}
