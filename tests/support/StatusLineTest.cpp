#include <gtest/gtest.h>

#include <rapidjson/document.h>

#include "support/StatusLine.h"
#include "support/Time.h"

namespace {

using vorn::FormatStatusLine;
using vorn::StatusFormat;

constexpr double kMoment = 850'000'000.25;  // 2026-12-07 23:06:40.250

TEST(FormatStatusLine, TextIsTheStampedLineWithTheFleetRigInFront) {
  EXPECT_EQ(FormatStatusLine(StatusFormat::Text, kMoment, {"mode", 0, "Mode Drill"}),
            vorn::StampedLine(kMoment, "Mode Drill"));
  EXPECT_EQ(FormatStatusLine(StatusFormat::Text, kMoment, {"run", 17, "Failed to Connect: x"}),
            vorn::StampedLine(kMoment, "Rig 17: Failed to Connect: x"));
  EXPECT_EQ(FormatStatusLine(StatusFormat::Text, kMoment, {"fleet", std::nullopt, "Fleet stopped."}),
            vorn::StampedLine(kMoment, "Fleet stopped."));
}

TEST(FormatStatusLine, JsonIsOneObjectALineEvenForTextThatIsNotUtf8) {
  const std::string line =
      FormatStatusLine(StatusFormat::Json, kMoment, {"message", 3, "bad \xff byte \"quoted\"\nnext"});
  EXPECT_EQ(line.find('\n'), std::string::npos);
  rapidjson::Document json;
  ASSERT_FALSE(json.Parse(line.c_str()).HasParseError()) << line;
  EXPECT_STREQ(json["time"].GetString(), "2026-12-07T23:06:40.250");
  EXPECT_STREQ(json["kind"].GetString(), "message");
  EXPECT_EQ(json["rig"].GetInt(), 3);
  EXPECT_EQ(std::string(json["text"].GetString()), "bad \xEF\xBF\xBD byte \"quoted\"\nnext");
  rapidjson::Document fleetWide;
  fleetWide.Parse(FormatStatusLine(StatusFormat::Json, kMoment, {"fleet", std::nullopt, "x"}).c_str());
  EXPECT_TRUE(fleetWide["rig"].IsNull());
}

}  // namespace
