#include <gtest/gtest.h>

#include <rapidjson/document.h>

#include "faults/FaultOrder.h"

namespace {

FaultOrder Read(std::string_view text) {
  const Parsed<FaultOrder> parsed = ParseFaultText(text);
  EXPECT_TRUE(parsed.ok()) << parsed.error;
  return parsed.value.value_or(FaultOrder{});
}

std::string ErrorOf(std::string_view text) {
  const Parsed<FaultOrder> parsed = ParseFaultText(text);
  EXPECT_FALSE(parsed.ok()) << text;
  return parsed.error;
}

TEST(ParseFaultText, EveryFaultReadsWithItsDefaultsAndWritesBackInFull) {
  EXPECT_EQ(FaultText(Read("silence")), "silence:seconds=31");
  EXPECT_EQ(FaultText(Read("split")), "split:pieces=2,gap_ms=100");
  EXPECT_EQ(FaultText(Read("pace")), "pace:bps=100");
  EXPECT_EQ(FaultText(Read("line-ends")), "line-ends:style=lf");
  EXPECT_EQ(FaultText(Read("drop-end")), "drop-end");
  EXPECT_EQ(FaultText(Read("drop-start:every=3")), "drop-start:every=3");
  EXPECT_EQ(FaultText(Read("garbage")), "garbage:bytes=16");
  EXPECT_EQ(FaultText(Read("bad-value")), "bad-value:kind=text");
  EXPECT_EQ(FaultText(Read("bad-line:kind=id")), "bad-line:kind=id");
  EXPECT_EQ(FaultText(Read("oversize:what=frame")), "oversize:what=frame");
  EXPECT_EQ(FaultText(Read("duplicate:p=0.25")), "duplicate:p=0.25");
  EXPECT_EQ(FaultText(Read("swap")), "swap");
  EXPECT_EQ(FaultText(Read("disconnect:seconds=2.5")), "disconnect:seconds=2.5");
}

TEST(ParseFaultText, ParametersAndTriggersAreTypedAndTheTextReadsBackTheSame) {
  const FaultOrder split = Read("split:gap_ms=7,pieces=40,every=12");
  EXPECT_EQ(split.kind, FaultKind::Split);
  EXPECT_EQ(split.pieces, 40);
  EXPECT_EQ(split.gapMs, 7);
  EXPECT_EQ(split.every, 12);
  EXPECT_EQ(Read(FaultText(split)), split);
  const FaultOrder pace = Read("pace:bps=12.5,p=0.1");
  EXPECT_EQ(pace.bps, 12.5);
  EXPECT_EQ(pace.p, 0.1);
  EXPECT_EQ(Read(FaultText(pace)), pace);
}

TEST(ParseFaultText, BadTextNamesTheFaultAndTheParameter) {
  EXPECT_EQ(ErrorOf("sILence"), "Unknown fault 'sILence' (the faults: silence, split, pace, line-ends, drop-end, "
                                "drop-start, garbage, bad-value, bad-line, oversize, duplicate, swap, disconnect).");
  EXPECT_EQ(ErrorOf("split:size=3"),
            "Fault 'split': unknown parameter 'size' (its parameters: pieces, gap_ms, every, p).");
  EXPECT_EQ(ErrorOf("split:pieces=1"),
            "Fault 'split': parameter 'pieces' must be a whole number from 2 to 1000, not '1'.");
  EXPECT_EQ(ErrorOf("split:pieces=2.5"),
            "Fault 'split': parameter 'pieces' must be a whole number from 2 to 1000, not '2.5'.");
  EXPECT_EQ(ErrorOf("silence:seconds=0"),
            "Fault 'silence': parameter 'seconds' must be a number above 0 and at most 86400, not '0'.");
  EXPECT_EQ(ErrorOf("silence:seconds=nan"),
            "Fault 'silence': parameter 'seconds' must be a number above 0 and at most 86400, not 'nan'.");
  EXPECT_EQ(ErrorOf("line-ends:style=crlf"),
            "Fault 'line-ends': parameter 'style' must be one of lf, cr, none, not 'crlf'.");
  EXPECT_EQ(ErrorOf("swap:every=2,p=0.5"), "Fault 'swap': give 'every' or 'p', not both.");
  EXPECT_EQ(ErrorOf("swap:p=1.5"), "Fault 'swap': parameter 'p' must be a number above 0 and at most 1, not '1.5'.");
  EXPECT_EQ(ErrorOf("garbage:bytes=3,bytes=4"), "Fault 'garbage': parameter 'bytes' is given twice.");
  EXPECT_EQ(ErrorOf("garbage:bytes"), "Fault 'garbage': 'bytes' is no KEY=VALUE pair.");
  EXPECT_EQ(ErrorOf("silence:at=3"),
            "Fault 'silence': unknown parameter 'at' (its parameters: seconds, every, p).");
  EXPECT_FALSE(ParseFaultText("").ok());
  EXPECT_FALSE(ParseFaultText("split:pieces= 3").ok());
}

TEST(ParseFaultJson, MembersAreTheTextsKeysWithJsonTypes) {
  rapidjson::Document document;
  document.Parse(R"({"fault": "bad-value", "kind": "null", "every": 4})");
  const Parsed<FaultOrder> fault = ParseFaultJson(document);
  ASSERT_TRUE(fault.ok()) << fault.error;
  EXPECT_EQ(FaultText(*fault.value), "bad-value:kind=null,every=4");

  // A value of the wrong JSON type says which type was expected.
  const std::vector<std::pair<std::string, std::string>> wrongTypes = {
      {R"({"fault": "split", "pieces": "3"})",
       "Fault 'split': parameter 'pieces' must be a JSON number, a whole number from 2 to 1000, not the string '3'."},
      {R"({"fault": "pace", "bps": true})",
       "Fault 'pace': parameter 'bps' must be a JSON number, a number above 0 and at most 10000000, not true."},
      {R"({"fault": "swap", "every": [2]})",
       "Fault 'swap': parameter 'every' must be a JSON number, a whole number from 1 to 1000000000, not an array."},
      {R"({"fault": "line-ends", "style": 1})",
       "Fault 'line-ends': parameter 'style' must be a JSON string, one of lf, cr, none, not the number 1."},
      {R"({"fault": "silence", "seconds": null})",
       "Fault 'silence': parameter 'seconds' must be a JSON number, a number above 0 and at most 86400, not null."},
  };
  for (const auto& [json, error] : wrongTypes) {
    document.Parse(json.c_str());
    EXPECT_EQ(ParseFaultJson(document).error, error) << json;
  }
  // Of the right type but out of range: the range alone, as before.
  document.Parse(R"({"fault": "split", "pieces": 1})");
  EXPECT_EQ(ParseFaultJson(document).error,
            "Fault 'split': parameter 'pieces' must be a whole number from 2 to 1000, not 1.");
  document.Parse(R"({"pieces": 3})");
  EXPECT_EQ(ParseFaultJson(document).error.rfind("A fault needs the member \"fault\"", 0), 0u);
}

TEST(ParseFaultPlan, AListOrAnObjectWithASeedReadsWhole) {
  const Parsed<FaultPlan> list = ParseFaultPlan(R"([{"at": 30, "fault": "silence", "seconds": 31},
                                                    {"fault": "garbage", "bytes": 4, "p": 0.5}])");
  ASSERT_TRUE(list.ok()) << list.error;
  ASSERT_EQ(list.value->entries.size(), 2u);
  EXPECT_EQ(FaultText(list.value->entries[0]), "silence:seconds=31,at=30");
  EXPECT_EQ(FaultText(list.value->entries[1]), "garbage:bytes=4,p=0.5");
  EXPECT_FALSE(list.value->seed);

  const Parsed<FaultPlan> seeded =
      ParseFaultPlan(R"({"seed": 18446744073709551615, "faults": [{"fault": "swap", "at": 0.5}]})");
  ASSERT_TRUE(seeded.ok()) << seeded.error;
  EXPECT_EQ(seeded.value->seed, 18446744073709551615ull);
  EXPECT_EQ(FaultText(seeded.value->entries[0]), "swap:at=0.5");
}

TEST(ParseFaultPlan, OneBadEntryRefusesThePlanAndSaysWhere) {
  EXPECT_EQ(ParseFaultPlan(R"([{"fault": "swap"}, {"fault": "pace", "bps": -1}])").error,
            "Fault plan, entry 2: Fault 'pace': parameter 'bps' must be a number above 0 and at most 10000000, not -1.");
  EXPECT_EQ(ParseFaultPlan(R"([{"fault": "swap", "at": -1}])").error,
            "Fault plan, entry 1: Fault 'swap': parameter 'at' must be a number of seconds from 0 to 2000000, not -1.");
  EXPECT_EQ(ParseFaultPlan("[{\"fault\": ").error.rfind("Fault plan: not JSON at offset 11: ", 0), 0u);
  EXPECT_EQ(ParseFaultPlan(R"({"faults": [], "speed": 1})").error,
            "Fault plan: unknown member 'speed' (a plan has \"seed\" and \"faults\").");
  EXPECT_EQ(ParseFaultPlan(R"({"seed": -1, "faults": []})").error,
            "Fault plan: \"seed\" must be a whole number from 0 to 2^64-1.");
  EXPECT_EQ(ParseFaultPlan("42").error, "Fault plan: a list of faults (a JSON array) is expected.");
}

// Nesting beyond the JSON depth limit is refused as any plan that is not JSON, whatever the size.
TEST(ParseFaultPlan, APlanNestedBeyondTheJsonDepthLimitIsNotJson) {
  const std::string entry = R"({"fault": "swap", "x": )";
  const auto nested = [&](int levels) {
    return "[" + entry + std::string(static_cast<size_t>(levels), '[') + std::string(static_cast<size_t>(levels), ']') +
           "}]";
  };
  EXPECT_EQ(ParseFaultPlan(nested(62)).error.rfind("Fault plan, entry 1: Fault 'swap': unknown parameter 'x'", 0), 0U);
  EXPECT_EQ(ParseFaultPlan(nested(63)).error,
            "Fault plan: not JSON at offset " + std::to_string(1 + entry.size() + 62) +
                ": Arrays and objects nested deeper than 64 levels.");
  EXPECT_EQ(ParseFaultPlan(std::string(140000, '[')).error,
            "Fault plan: not JSON at offset 64: Arrays and objects nested deeper than 64 levels.");
}

TEST(ParseSeed, TakesTheWholeUnsigned64BitRangeAndNothingElse) {
  EXPECT_EQ(ParseSeed("0"), 0u);
  EXPECT_EQ(ParseSeed("18446744073709551615"), 18446744073709551615ull);
  EXPECT_FALSE(ParseSeed("18446744073709551616"));
  EXPECT_FALSE(ParseSeed("-1"));
  EXPECT_FALSE(ParseSeed("12x"));
  EXPECT_FALSE(ParseSeed(""));
}

}  // namespace
