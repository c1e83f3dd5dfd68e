#include <gtest/gtest.h>

#include <string>

#include "control/RequestDecoding.h"

namespace {

using namespace vorn::control;

TEST(CommandBodyTest, SimpleCommandsTakeTheirOneMember) {
  EXPECT_EQ(DecodeRunning(R"({"running": true})").value, true);
  EXPECT_EQ(DecodeRunning(R"({"running": false})").value, false);
  EXPECT_EQ(DecodeTenTimes(R"({"on": true})").value, true);
  EXPECT_EQ(DecodeDepth(R"({"depth": 5000})").value, 5000.0);
  EXPECT_EQ(DecodeDepth(R"({"depth": -12.5e1})").value, -125.0);
  EXPECT_EQ(DecodeGain(R"({"percent": 0})").value, 0);
  EXPECT_EQ(DecodeGain(R"({"percent": 100})").value, 100);
  EXPECT_TRUE(DecodeNoArguments("").Ok());
  EXPECT_TRUE(DecodeNoArguments(" {} ").Ok());
}

TEST(CommandBodyTest, ModeByNameInAnyCaseOrByIndex) {
  EXPECT_EQ(DecodeMode(R"({"mode": "Trip Out"})").value, 3);
  EXPECT_EQ(DecodeMode(R"({"mode": "trip in"})").value, 2);
  EXPECT_EQ(DecodeMode(R"({"mode": 0})").value, 0);
  for (const char* body : {R"({"mode": 4})", R"({"mode": -1})", R"({"mode": 1.0})", R"({"mode": "TripOut"})",
                           R"({"mode": null})", R"({"mode": ["Idle"]})"}) {
    const auto decoded = DecodeMode(body);
    EXPECT_FALSE(decoded.Ok()) << body;
    EXPECT_NE(decoded.error.find("\"Trip Out\""), std::string::npos) << decoded.error;
  }
}

// Each refusal says what is wrong, so a test bench's author can mend the request.
TEST(CommandBodyTest, BadBodiesAreRefusedWithTheReason) {
  struct Case {
    const char* body;
    const char* reason;
  };
  for (const Case& c : {
           Case{"", "the body is empty"}, Case{"{\"running\": tru}", "malformed JSON"},
           Case{"{\"running\": true} x", "malformed JSON"}, Case{"[true]", "must be a JSON object"},
           Case{"{}", "missing member 'running'"}, Case{"{\"running\": 1}", "'running' must be true or false"},
           Case{"{\"running\": true, \"extra\": 1}", "unknown member 'extra'"},
           Case{"{\"running\": true, \"running\": false}", "'running' is given twice"},
           Case{"{\"running\": \"\xff\"}", "malformed JSON"},  // not UTF-8
       }) {
    const auto decoded = DecodeRunning(c.body);
    EXPECT_FALSE(decoded.Ok()) << c.body;
    EXPECT_NE(decoded.error.find(c.reason), std::string::npos) << c.body << " -> " << decoded.error;
  }
  EXPECT_NE(DecodeDepth(R"({"depth": 1e400})").error.find("Number too big"), std::string::npos);
  EXPECT_NE(DecodeDepth(R"({"depth": NaN})").error.find("malformed JSON"), std::string::npos);
  EXPECT_EQ(DecodeDepth(R"({"depth": "5000"})").error, "'depth' must be a finite number");
  for (const char* body :
       {R"({"percent": 101})", R"({"percent": -1})", R"({"percent": 50.5})", R"({"percent": 4294967346})"}) {
    EXPECT_EQ(DecodeGain(body).error, "'percent' must be a whole number from 0 to 100") << body;
  }
  EXPECT_NE(DecodeNoArguments(R"({"now": true})").error.find("unknown member 'now'"), std::string::npos);
}

// A body nested far deeper than any stack frame budget is refused, not followed.
TEST(CommandBodyTest, DeepNestingIsRefusedWithoutRecursion) {
  const std::string deep = std::string(60000, '[') + std::string(60000, ']');
  EXPECT_FALSE(DecodeItems(deep).Ok());
  EXPECT_FALSE(DecodeSettings("{\"m_fWOB\":" + deep + "}", CSimSettings()).Ok());
  // Refused as malformed at the bracket past 64 levels; 64 levels still read (and the member is
  // then refused for its type).
  const auto nested = [](int levels) {
    return "{\"m_fWOB\":" + std::string(static_cast<size_t>(levels), '[') + std::string(static_cast<size_t>(levels), ']') +
           "}";
  };
  EXPECT_EQ(DecodeSettings(nested(64), CSimSettings()).error,
            "malformed JSON: Arrays and objects nested deeper than 64 levels. (at byte " + std::to_string(10 + 63) + ")");
  EXPECT_EQ(DecodeSettings(nested(63), CSimSettings()).error.find("malformed JSON"), std::string::npos);
  EXPECT_EQ(DecodeItems(deep).error,
            "malformed JSON: Arrays and objects nested deeper than 64 levels. (at byte 64)");
}

TEST(SettingsBodyTest, PartialRecordKeepsTheOtherMembers) {
  CSimSettings current;
  current.m_fTorq = 321.0;
  current.m_mode = TripIn;
  const auto decoded = DecodeSettings(R"({"m_fWOB": 12, "m_bRequiresPing": true, "m_nFlowSPPGain": 55})", current);
  ASSERT_TRUE(decoded.Ok()) << decoded.error;
  EXPECT_EQ(decoded.value->m_fWOB, 12.0);
  EXPECT_TRUE(decoded.value->m_bRequiresPing);
  EXPECT_EQ(decoded.value->m_nFlowSPPGain, 55);
  EXPECT_EQ(decoded.value->m_fTorq, 321.0);
  EXPECT_EQ(decoded.value->m_mode, TripIn);
  // An empty object changes nothing.
  EXPECT_EQ(DecodeSettings("{}", current).value->m_fTorq, 321.0);
}

TEST(SettingsBodyTest, EveryMemberIsCheckedForItsTypeAndRange) {
  struct Case {
    const char* body;
    const char* error;
  };
  for (const Case& c : {
           Case{R"({"m_fWOB": "40"})", "'m_fWOB' must be a finite number"},
           Case{R"({"m_bRequiresPing": 1})", "'m_bRequiresPing' must be true or false"},
           Case{R"({"m_mode": 4})", "'m_mode' must be a whole number from 0 to 3"},
           Case{R"({"m_mode": 1.5})", "'m_mode' must be a whole number from 0 to 3"},
           Case{R"({"m_nFlowSPPGain": 101})", "'m_nFlowSPPGain' must be a whole number from 0 to 100"},
           Case{R"({"m_fWOB": 1, "m_fWob": 2})", "unknown member 'm_fWob'"},
           Case{R"({"Settings": {}})", "unknown member 'Settings'"},
       }) {
    const auto decoded = DecodeSettings(c.body, CSimSettings());
    EXPECT_FALSE(decoded.Ok()) << c.body;
    EXPECT_EQ(decoded.error, c.error) << c.body;
  }
}

TEST(LinkBodyTest, PartialRecordWithCheckedMembers) {
  CWitsCommSettings current;
  current.nTcpIpPort = 4321;
  const auto decoded = DecodeLinkSettings(R"({"tcpIpType": 1, "strIpAddress": "10.0.0.7"})", current);
  ASSERT_TRUE(decoded.Ok()) << decoded.error;
  EXPECT_EQ(decoded.value->tcpIpType, Slave);
  EXPECT_EQ(decoded.value->strIpAddress, "10.0.0.7");
  EXPECT_EQ(decoded.value->nTcpIpPort, 4321);

  for (const char* body : {R"({"commType": 2})", R"({"nTcpIpPort": 0})", R"({"nTcpIpPort": 65536})",
                           R"({"nBaudRate": 0})", R"({"strIpAddress": "localhost"})", R"({"strIpAddress": 7})",
                           R"({"nCommPort": "COM3"})", R"({"WitsCommSettings": {}})"}) {
    EXPECT_FALSE(DecodeLinkSettings(body, current).Ok()) << body;
  }
}

TEST(LinkBodyTest, TheServersClientsAndListenAddressAreChecked) {
  const auto decoded = DecodeLinkSettings(R"({"nMaxClients": 64, "strListenAddress": "127.0.0.1"})", {});
  ASSERT_TRUE(decoded.Ok()) << decoded.error;
  EXPECT_EQ(decoded.value->nMaxClients, 64);
  EXPECT_EQ(decoded.value->strListenAddress, "127.0.0.1");
  CWitsCommSettings local;
  local.strListenAddress = "127.0.0.1";
  const auto everywhere = DecodeLinkSettings(R"({"strListenAddress": ""})", local);
  ASSERT_TRUE(everywhere.Ok()) << everywhere.error;
  EXPECT_EQ(everywhere.value->strListenAddress, "");

  EXPECT_EQ(DecodeLinkSettings(R"({"nMaxClients": 0})", {}).error, "'nMaxClients' must be a whole number from 1 to 64");
  EXPECT_EQ(DecodeLinkSettings(R"({"nMaxClients": 65})", {}).error, "'nMaxClients' must be a whole number from 1 to 64");
  EXPECT_EQ(DecodeLinkSettings(R"({"strListenAddress": "rig-server"})", {}).error,
            "'strListenAddress' must be an IP address, or empty for every address");
  EXPECT_FALSE(DecodeLinkSettings(R"({"strListenAddress": 1})", {}).Ok());
}

TEST(ItemsBodyTest, ListOfItemsWithDefaultsForAbsentMembers) {
  const auto decoded = DecodeItems(R"([
      {"m_strMnem": "X", "m_type": 14, "m_fA": 7.5, "m_nWitsRecord": 1, "m_nWitsChannel": 99,
       "valueText": "-999.25", "sendPending": false},
      {}])");
  ASSERT_TRUE(decoded.Ok()) << decoded.error;
  ASSERT_EQ(decoded.value->size(), 2u);
  const COutputItem& first = decoded.value->front();
  EXPECT_EQ(first.m_strMnem, "X");
  EXPECT_EQ(first.m_type, ItemConstant);
  EXPECT_EQ(first.m_fA, 7.5);
  EXPECT_EQ(first.m_nWitsChannel, 99);
  EXPECT_TRUE(first.m_bEnable);  // a new item's default
  EXPECT_EQ(first.m_strValue, kNoValueText);
  EXPECT_TRUE(DecodeItems("[]").value->empty());
}

TEST(ItemsBodyTest, RefusalNamesTheItemAndMember) {
  struct Case {
    const char* body;
    const char* error;
  };
  for (const Case& c : {
           Case{R"({"items": []})", "the body must be a JSON array"},
           Case{R"([{}, 3])", "item 1: must be a JSON object"},
           Case{R"([{"m_type": 20}])", "item 0: 'm_type' must be a whole number from 0 to 19"},
           Case{R"([{"m_slidingRotating": 3}])", "item 0: 'm_slidingRotating' must be a whole number from 0 to 2"},
           Case{R"([{}, {"m_nWitsRecord": 2147483648}])",
                "item 1: 'm_nWitsRecord' must be a whole number that fits in 32 bits"},
           Case{R"([{"m_strD": "a\r\nb"}])", "item 0: 'm_strD' must not hold control characters"},
           Case{R"([{"m_strMnem": "a\u0000"}])", "item 0: 'm_strMnem' must not hold control characters"},
           Case{R"([{"m_bEnable": "yes"}])", "item 0: 'm_bEnable' must be true or false"},
           Case{R"([{"description": "x"}])", "item 0: unknown member 'description'"},
       }) {
    const auto decoded = DecodeItems(c.body);
    EXPECT_FALSE(decoded.Ok()) << c.body;
    EXPECT_EQ(decoded.error, c.error) << c.body;
  }
}

}  // namespace
