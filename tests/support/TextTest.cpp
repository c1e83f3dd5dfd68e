#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "support/Text.h"
#include "support/TextFile.h"
#include "tests/common/TestEnvironment.h"

namespace {

using Pieces = std::vector<std::string>;

TEST(Text, ExtractBetweenFindsTheFirstStartAndTheNextEnd) {
  struct Case {
    std::string text, start, end, expected;
  };
  const Case cases[] = {
      {"ab[12]cd", "[", "]", "12"},  {"ab[12]cd", "[", "", "12]cd"}, {"abc", "x", "", ""},
      {"a=1;b=2", "=", ";", "1"},    {"ab[12cd", "[", "]", ""},      {"xyz", "", "y", "x"},
      {"]a[b]", "[", "]", "b"},
  };
  for (const Case& c : cases) EXPECT_EQ(vorn::ExtractBetween(c.text, c.start, c.end), c.expected) << c.text;
}

TEST(Text, SplitKeepsEmptyPiecesExceptForTheSingleSpace) {
  Pieces pieces{"left over"};
  EXPECT_EQ(vorn::SplitText("a,,b", ",", pieces), (Pieces{"a", "", "b"}));
  EXPECT_EQ(vorn::SplitText("a\r\nb", "\r\n", pieces), (Pieces{"a", "", "b"}));
  EXPECT_EQ(vorn::SplitText("a  b", " ", pieces), (Pieces{"a", "b"}));
  EXPECT_EQ(vorn::SplitText("", ",", pieces), (Pieces{""}));
  EXPECT_EQ(vorn::SplitText("", " ", pieces), Pieces{});
  EXPECT_EQ(vorn::SplitText("1,2,", ",", pieces), (Pieces{"1", "2", ""}));
  EXPECT_EQ(vorn::SplitText("a|b;c", "|;", pieces), (Pieces{"a", "b", "c"}));
}

TEST(Text, JoinAndParentFolder) {
  EXPECT_EQ(vorn::JoinText({}, ","), "");
  EXPECT_EQ(vorn::JoinText({"TIME", "DEPTH", ""}, ","), "TIME,DEPTH,");
  EXPECT_EQ(vorn::ParentFolder("/home/u/Vorn_Rig_Sim/OutputFiles"), "/home/u/Vorn_Rig_Sim");
  EXPECT_EQ(vorn::ParentFolder("/a/b/"), "/a/b");
  EXPECT_EQ(vorn::ParentFolder("file.csv"), "");
}

TEST(Text, SprintfFormatsTextsAndIntegers) {
  EXPECT_EQ(vorn::Sprintf("Failed to Connect: %s", "x"), "Failed to Connect: x");
  EXPECT_EQ(vorn::Sprintf("%02d%02d%s", 1, 8, "1000"), "01081000");
  EXPECT_EQ(vorn::Sprintf("%02d%02d", 150, -3), "150-3");
  EXPECT_EQ(vorn::Sprintf("%s", std::string(5000, 'a').c_str()).size(), 5000u);
}

std::string RawBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

TEST(TextFile, LineFeedsAreCrLfOnDiskAndComeBackAsLineFeeds) {
  const std::string path = vorn::test::MakeScratchFolder("textfile") + "/a.txt";
  ASSERT_TRUE(vorn::WriteTextFile(path, "one\ntwo\n"));
  EXPECT_EQ(RawBytes(path), "one\r\ntwo\r\n");
  EXPECT_EQ(vorn::ReadTextFile(path), "one\ntwo\n");
  ASSERT_TRUE(vorn::AppendTextFile(path, "three\n"));
  EXPECT_EQ(RawBytes(path), "one\r\ntwo\r\nthree\r\n");
  ASSERT_TRUE(vorn::WriteTextFile(path, "new"));
  EXPECT_EQ(RawBytes(path), "new");
}

TEST(TextFile, AppendCreatesAMissingFileAndUnopenablePathsFail) {
  const std::string folder = vorn::test::MakeScratchFolder("append");
  ASSERT_TRUE(vorn::AppendTextFile(folder + "/new.txt", "x\n"));
  EXPECT_EQ(RawBytes(folder + "/new.txt"), "x\r\n");
  EXPECT_FALSE(vorn::WriteTextFile(folder + "/missing/folder/f.txt", "x"));
  EXPECT_FALSE(vorn::AppendTextFile(folder + "/missing/folder/f.txt", "x"));
  EXPECT_FALSE(std::filesystem::exists(folder + "/missing"));
  EXPECT_EQ(vorn::ReadTextFile(folder + "/nothing.txt"), "");
}

TEST(TextFile, ReadingDropsEveryByteOrderMarkAndKeepsLoneCarriageReturns) {
  const std::string path = vorn::test::MakeScratchFolder("bom") + "/b.json";
  {
    std::ofstream out(path, std::ios::binary);
    out << "\xEF\xBB\xBF{}\r\n\xEF\xBB\xBF" "a\rb";
  }
  EXPECT_EQ(vorn::ReadTextFile(path), "{}\na\rb");
}

}  // namespace
