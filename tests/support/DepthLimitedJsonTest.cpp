// JSON from outside read within a fixed depth: the parse and the scan agree with each other and with
// a plain parse wherever the text stays within the limit, and refuse at the bracket that goes past it.
#include <gtest/gtest.h>

#include <rapidjson/stringbuffer.h>
#include <rapidjson/writer.h>

#include <random>
#include <string>

#include "support/DepthLimitedJson.h"

namespace {

using vorn::kMaxJsonDepth;

std::string Written(const rapidjson::Value& value) {
  rapidjson::StringBuffer buffer;
  rapidjson::Writer<rapidjson::StringBuffer> writer(buffer);
  value.Accept(writer);
  return buffer.GetString();
}

// A JSON value nested exactly `depth` levels deep, of arrays and objects at random, with strings
// that hold brackets, quotes and backslashes beside each level; `beyond` gets the offset of the
// bracket that opens the first level past the limit.
std::string Nested(std::mt19937& random, int depth, size_t& beyond) {
  static const char* const kStrings[] = {"\"[\"", "\"{[\\\"[\"", "\"\\\\\"", "\"}]\"", "\"\\u005B\""};
  std::string open;
  std::string close;
  for (int level = 0; level < depth; ++level) {
    const bool object = random() % 2 == 0;
    const std::string text = kStrings[random() % 5];
    if (level == kMaxJsonDepth) beyond = open.size();
    if (object) {
      open += "{" + text + ": 1, \"k\": ";
      close = "}" + close;
    } else {
      open += "[" + text + ", ";
      close = "]" + close;
    }
  }
  return open + "7" + close;
}

TEST(ParseJsonWithinDepth, TakesEveryNestingUpToTheLimitAndRefusesTheBracketBeyondIt) {
  std::mt19937 random(64);
  for (int round = 0; round < 400; ++round) {
    const int depth =
        round < 3 ? kMaxJsonDepth + round - 1 : std::uniform_int_distribution<int>(1, 3 * kMaxJsonDepth)(random);
    size_t beyond = 0;
    const std::string text = Nested(random, depth, beyond);
    rapidjson::Document document;
    const vorn::JsonParseResult parsed = vorn::ParseJsonWithinDepth(document, text);
    const size_t scanned = vorn::JsonDepthExceededAt(text);
    if (depth <= kMaxJsonDepth) {
      ASSERT_TRUE(parsed) << parsed.message << " at depth " << depth;
      EXPECT_EQ(scanned, std::string::npos);
      rapidjson::Document plain;
      plain.Parse(text.data(), text.size());
      EXPECT_EQ(Written(document), Written(plain));
    } else {
      ASSERT_FALSE(parsed) << "depth " << depth;
      EXPECT_TRUE(parsed.tooDeep);
      EXPECT_EQ(parsed.message, "Arrays and objects nested deeper than 64 levels.");
      EXPECT_TRUE(document.IsNull());
      // Both stop at the bracket that opens level 65, whatever lies in the strings before it.
      EXPECT_EQ(scanned, beyond);
      EXPECT_GE(parsed.offset, beyond);
      EXPECT_LE(parsed.offset, beyond + 1);
    }
  }
}

TEST(ParseJsonWithinDepth, ATextOfNothingButOpeningBracketsIsRefusedAtTheLimitWithoutRecursing) {
  const std::string deep(140000, '[');
  rapidjson::Document document;
  const vorn::JsonParseResult parsed = vorn::ParseJsonWithinDepth(document, deep);
  EXPECT_FALSE(parsed);
  EXPECT_TRUE(parsed.tooDeep);
  EXPECT_EQ(vorn::JsonDepthExceededAt(deep), static_cast<size_t>(kMaxJsonDepth));
  // Other errors keep RapidJSON's own message and offset.
  const vorn::JsonParseResult broken = vorn::ParseJsonWithinDepth(document, "[1, }");
  EXPECT_FALSE(broken.tooDeep);
  EXPECT_EQ(broken.offset, 4U);
  EXPECT_EQ(broken.message, rapidjson::GetParseError_En(rapidjson::kParseErrorValueInvalid));
}

}  // namespace
