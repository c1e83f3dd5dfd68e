#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "tests/engine/ManualClocks.h"
#include "tests/engine/SettingSamples.h"
#include "engine/RigSim.h"
#include "persist/SettingsFiles.h"
#include "persist/Startup.h"
#include "support/DataRoot.h"
#include "support/TextFile.h"

namespace {

namespace fs = std::filesystem;

class SettingsFilesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    fs::remove_all(vorn::SettingsFolder());
    vorn::CreateDataFolders();
  }

  static void WriteFile(const std::string& path, const std::string& text) { vorn::WriteTextFile(path, text); }
  static std::string DiskBytes(const std::string& path) {
    std::string bytes;
    if (FILE* file = std::fopen(path.c_str(), "rb")) {
      char buffer[4096];
      size_t n;
      while ((n = std::fread(buffer, 1, sizeof buffer, file)) > 0) bytes.append(buffer, n);
      std::fclose(file);
    }
    return bytes;
  }
  // A settings file whose "Settings" object holds exactly `members`, with one item.
  static std::string SettingsFile(const std::string& members, const std::string& items = "[{}]") {
    return R"({"Version": 1, "SimSettings": {"Settings": {)" + members + R"(}, "OutputItems": )" + items + "}}";
  }

  // The text of a saved "WitsCommSettings.json" of the default link, with `more` members after the six
  // it always has.
  static std::string LinkFileText(const std::vector<std::string>& more = {}) {
    std::string text =
        "{\n"
        "    \"WitsCommSettings\": {\n"
        "        \"commType\": 1,\n"
        "        \"nCommPort\": 3,\n"
        "        \"nBaudRate\": 9600,\n"
        "        \"tcpIpType\": 0,\n"
        "        \"nTcpIpPort\": 1234,\n"
        "        \"strIpAddress\": \"127.0.0.1\"";
    for (const std::string& member : more) text += ",\n        " + member;
    return text + "\n    }\n}";
  }

  vorn::test::ManualClocks clocks;
  CRigSim engine{clocks.Make()};
};

TEST_F(SettingsFilesTest, LinkSettingsFileHasTheExactTextAndDiskForm) {
  SaveWitsCommSettings(engine);
  const std::string expected = LinkFileText();
  EXPECT_EQ(WitsCommSettingsText(engine), expected);
  EXPECT_EQ(DiskBytes(WitsCommSettingsPath()), vorn::ToDiskText(expected));
}

TEST_F(SettingsFilesTest, TheWireProfileIsSavedOnlyAwayFromItsDefaultsAndReadBack) {
  CWitsCommSettings link = engine.m_witsLink.m_settings;
  link.fKeepAliveInterval = 25.5;
  link.lineEnd = LineEndCr;
  engine.SetCommSettings(link);
  SaveWitsCommSettings(engine);
  const std::string expected = LinkFileText({"\"fKeepAliveInterval\": 25.5", "\"lineEnd\": 2"});
  EXPECT_EQ(WitsCommSettingsText(engine), expected);

  CRigSim other{clocks.Make()};
  LoadWitsCommSettings(other);
  EXPECT_EQ(other.m_witsLink.m_settings, link);
  EXPECT_EQ(other.m_skidLink.m_settings.lineEnd, LineEndCr);  // read in the skid link's copy too

  // Every member of the profile, away from its default, and back.
  link.strKeepAliveText = "KA\r\n";
  link.answerMode = AnswerValidPerRecord;
  link.frameGrouping = GroupPerRecord;
  engine.SetCommSettings(link);
  SaveWitsCommSettings(engine);
  LoadWitsCommSettings(other);
  EXPECT_EQ(other.m_witsLink.m_settings, link);
  // Back at the defaults, the file is today's again, byte for byte.
  CWitsCommSettings plain;
  plain.nTcpIpPort = 1234;
  engine.SetCommSettings(plain);
  SaveWitsCommSettings(engine);
  EXPECT_EQ(WitsCommSettingsText(engine).find("fKeepAlive"), std::string::npos);
}

TEST_F(SettingsFilesTest, TheServerMembersAreSavedOnlyAwayFromTheirDefaultsAndReadBack) {
  CWitsCommSettings link = engine.m_witsLink.m_settings;
  link.nMaxClients = 3;
  link.strListenAddress = "127.0.0.1";
  engine.SetCommSettings(link);
  SaveWitsCommSettings(engine);
  const std::string expected = LinkFileText({"\"nMaxClients\": 3", "\"strListenAddress\": \"127.0.0.1\""});
  EXPECT_EQ(WitsCommSettingsText(engine), expected);
  CRigSim other{clocks.Make()};
  LoadWitsCommSettings(other);
  EXPECT_EQ(other.m_witsLink.m_settings, link);
  EXPECT_EQ(other.m_skidLink.m_settings.nMaxClients, 3);

  // Back at their defaults, the file is the plain one again, byte for byte; a file without them
  // leaves a link with one receiver on every address.
  CWitsCommSettings plain;
  plain.nTcpIpPort = 1234;
  engine.SetCommSettings(plain);
  SaveWitsCommSettings(engine);
  const std::string saved = WitsCommSettingsText(engine);
  EXPECT_EQ(saved.find("nMaxClients"), std::string::npos);
  EXPECT_EQ(saved.find("strListenAddress"), std::string::npos);
  CRigSim fresh{clocks.Make()};
  LoadWitsCommSettings(fresh);
  EXPECT_EQ(fresh.m_witsLink.m_settings, plain);
}

TEST_F(SettingsFilesTest, DefaultSettingsFileMatchesTheReferenceText) {
  engine.BuildDefaultItems();
  SaveSimSettings(engine);
  const std::string reference = vorn::ReadTextFile(std::string(VORN_PERSIST_TEST_DATA) + "/DefaultSimSettings.json");
  ASSERT_FALSE(reference.empty());
  EXPECT_EQ(SimSettingsText(engine), reference);
  const std::string disk = DiskBytes(SimSettingsPath());
  EXPECT_EQ(disk, vorn::ToDiskText(reference));
  EXPECT_NE(disk.back(), '\n');  // no line end after the final brace
  EXPECT_NE(disk.substr(0, 3), "\xEF\xBB\xBF");
}

TEST_F(SettingsFilesTest, SettingsItemsAndStateSurviveANewEngine) {
  CSimSettings& s = engine.m_settings;
  s.m_mode = TripOut;
  s.m_fCalcOutputInterval = 0.25;
  s.m_fWriteFileInterval = 3.5;
  s.m_bRequiresPing = true;
  s.m_fWitsOutInterval = 7.0;
  s.m_fTimeToWaitForReleasingSlips_sec = 1.1;
  s.m_fTimeToTurnOnPumps_sec = 1.2;
  s.m_fTimeToTurnOffPumps_sec = 1.3;
  s.m_fTimeToPauseAfterPumpsOff_sec = 1.4;
  s.m_fTimeToPauseAfterPumpsOn_sec = 1.5;
  s.m_fTimeToWaitForSettingsSlips_sec = 1.6;
  s.m_fDepthToPickUpOffBottom = 2.5;
  s.m_fDepthToSlide = 12.75;
  s.m_fStandLength = 93.3;
  s.fPipeSpeed_Wipe = 401;
  s.fPipeSpeed_PickingUp = 1001;
  s.fPipeSpeed_ConnectionUp = 8001;
  s.fPipeSpeed_Drill_Slide = 101;
  s.fPipeSpeed_Drill_Rotating = 201;
  s.fPipeSpeed_Trip = 2001;
  s.m_fFlowRate = 1e-7;
  s.m_fPump1SPM = 61;
  s.m_fPump2SPM = 81;
  s.m_fWOB = 41;
  s.m_fTorq = 201;
  s.m_fRPM = 76;
  s.m_fHookLoad = 1.0 / 3.0;  // needs every digit to read back the same
  s.m_fSPP = 4001;
  s.m_nFlowSPPGain = 37;
  engine.m_outputItems = {
      COutputItem(true, false, "A,\"quoted\"\tmnem", 2.5, ItemText, -1.5, 2.25, 1e300, "text \\ \xC3\xA9", FilterSliding,
                  true, 150, 3),
      COutputItem(false, true, "", 0, ItemRamp, 0, 0, 0, "", FilterRotating, false, -1, 99)};
  engine.SetSimState(CSimState{1234.5, 2345.25, 17.5, 3, 2, 0, 1200.0});
  clocks.Advance(100);
  engine.OnTick();  // the time in the sub-state comes from the last tick
  SaveSimSettings(engine);
  SaveSimState(engine);
  const CSimState saved = engine.GetSimState();

  vorn::test::ManualClocks laterClocks;
  laterClocks.ms = 90'000;
  CRigSim restored(laterClocks.Make());
  LoadEngineAtStartup(restored);
  const CSimSettings& r = restored.m_settings;
  EXPECT_EQ(r.m_mode, TripOut);
  EXPECT_EQ(r.m_bRequiresPing, true);
  EXPECT_EQ(r.m_fHookLoad, 1.0 / 3.0);
  EXPECT_EQ(r.m_nFlowSPPGain, 37);
  EXPECT_EQ(r.m_fFlowRate, 1e-7);
  EXPECT_EQ(SimSettingsText(restored), SimSettingsText(engine));
  ASSERT_EQ(restored.m_outputItems.size(), 2u);
  EXPECT_EQ(restored.m_outputItems[0].m_strMnem, "A,\"quoted\"\tmnem");
  EXPECT_EQ(restored.m_outputItems[0].m_strD, "text \\ \xC3\xA9");
  EXPECT_EQ(restored.m_outputItems[0].m_fC, 1e300);
  EXPECT_EQ(restored.m_outputItems[1].m_nWitsRecord, -1);

  // The state resumes with the time already spent in the sub-state.
  const CSimState back = restored.GetSimState();
  EXPECT_EQ(back.m_fDepth, 1234.5);
  EXPECT_EQ(back.m_fHoleDepth, saved.m_fHoleDepth);
  EXPECT_EQ(back.m_state_, saved.m_state_);
  EXPECT_EQ(back.m_statePrev_, saved.m_statePrev_);
  EXPECT_EQ(back.m_fDepthStartState, saved.m_fDepthStartState);
  restored.OnTick();
  EXPECT_EQ(restored.GetSimState().nTimeInState, saved.nTimeInState);
}

TEST_F(SettingsFilesTest, FilesThatMustBeIgnoredChangeNothing) {
  engine.BuildDefaultItems();
  const std::string before = SimSettingsText(engine);
  for (const std::string& text :
       {std::string(), std::string(R"({"Version": 2, "SimSettings": {"Settings": {}, "OutputItems": []}})"), std::string("{\"SimSettings\": {}}"),
        std::string("{\"Version\": \"1\", \"SimSettings\": {}}"), std::string("{\"Version\": 1.0, \"SimSettings\": {}}"),
        std::string("not json"), std::string("[1, 2]"), std::string("\xEF\xBB\xBF")}) {
    WriteFile(SimSettingsPath(), text);
    LoadSimSettings(engine);
    EXPECT_EQ(SimSettingsText(engine), before) << text;
  }
  const std::string state = SimStateText(engine);
  WriteFile(SimStatePath(), "{\"Version\": 2, \"SimState\": {\"m_fDepth\": 5}}");
  LoadSimState(engine);
  EXPECT_EQ(SimStateText(engine), state);
}

TEST_F(SettingsFilesTest, AMemberIsTakenOnlyWhenPresentAndOfItsType) {
  engine.m_settings.m_fTorq = 321;
  engine.m_settings.m_nFlowSPPGain = 55;
  engine.m_settings.m_fDepthToSlide = 7;
  engine.m_settings.m_fWOB = 41;
  engine.m_settings.m_fCalcOutputInterval = 0.5;
  engine.BuildDefaultItems();
  // A byte-order mark (two of them, even) is no part of the text.
  WriteFile(SimSettingsPath(), "\xEF\xBB\xBF" "\xEF\xBB\xBF" +
                                   SettingsFile(R"("m_fDepthToSlide": 50, "m_bRequiresPing": 1, "m_mode": 2.5)",
                                                R"([{"m_strMnem": "X", "m_nWitsRecord": 1}, 7, {}])"));
  LoadSimSettings(engine);
  const CSimSettings& s = engine.m_settings;
  EXPECT_EQ(s.m_fTorq, 321);  // absent: kept
  EXPECT_EQ(s.m_nFlowSPPGain, 55);
  EXPECT_EQ(s.m_fWOB, 41);
  EXPECT_EQ(s.m_fCalcOutputInterval, 0.5);
  EXPECT_EQ(s.m_fDepthToSlide, 50.0);  // a whole number reads as the same double
  EXPECT_FALSE(s.m_bRequiresPing);     // only the literal true is true
  EXPECT_EQ(s.m_mode, Drill);          // a fraction is no integer: absent, kept
  ASSERT_EQ(engine.m_outputItems.size(), 2u);  // the list element that is no object is left out
  // A list element's absent members take the defaults of a new item.
  EXPECT_EQ(engine.m_outputItems[0].m_strMnem, "X");
  EXPECT_EQ(engine.m_outputItems[0].m_strD, "");
  EXPECT_TRUE(engine.m_outputItems[0].m_bEnable);
  EXPECT_EQ(engine.m_outputItems[0].m_nWitsRecord, 1);
  EXPECT_EQ(engine.m_outputItems[1].m_nWitsRecord, 0);

  WriteFile(SimSettingsPath(), SettingsFile(R"("m_fWOB": "40", "m_fTorq": true, "m_nFlowSPPGain": 5000000000)", "[]"));
  LoadSimSettings(engine);
  EXPECT_EQ(s.m_fWOB, 41);
  EXPECT_EQ(s.m_fTorq, 321);
  EXPECT_EQ(s.m_nFlowSPPGain, 55);  // beyond 32 bits: absent
  EXPECT_TRUE(engine.m_outputItems.empty());  // a present empty list empties the list
}

// A value outside its setting's range is taken as absent, as a value of another type is: a real
// file, loaded over settings that differ from the defaults.
TEST_F(SettingsFilesTest, AValueOutsideItsRangeIsTakenAsAbsent) {
  CSimSettings& s = engine.m_settings;
  for (const vorn::test::SettingSample& sample : vorn::test::SettingSamples(41, 4)) {
    CSimSettings current;
    current.m_fWOB = 12.5;
    current.m_mode = TripIn;
    current.m_nFlowSPPGain = 60;
    s = current;
    const std::string member = std::string("\"") + sample.range->key + "\": " + vorn::test::ExactText(sample.value);
    WriteFile(SimSettingsPath(), SettingsFile(member + R"(, "m_fTorq": 222)"));
    LoadSimSettings(engine);
    const double expected = sample.inside ? sample.value : sample.range->get(current);
    // The reader may miss a long number by a unit in the last place.
    EXPECT_DOUBLE_EQ(sample.range->get(s), expected) << member;
    if (sample.range->key != std::string("m_fTorq")) {
      EXPECT_EQ(s.m_fTorq, 222.0) << member;  // the rest is read
    }
  }
}

// {"Version": 1} alone once zeroed every setting (every timed step one tick long) and deleted every
// item, and the next save made the loss permanent.
TEST_F(SettingsFilesTest, AMissingRecordOrListKeepsWhatTheEngineHolds) {
  engine.m_settings.m_fStandLength = 93.5;
  engine.m_outputItems.resize(3);
  const std::string before = SimSettingsText(engine);
  for (const std::string& text :
       {std::string(R"({"Version": 1})"), std::string(R"({"Version": 1, "SimSettings": {}})"),
        std::string(R"({"Version": 1, "SimSettings": []})"),
        std::string(R"({"Version": 1, "SimSettings": {"Settings": [], "OutputItems": {"a": 1}}})"),
        std::string(R"({"Version": 1, "SimSettings": {"Settings": {}, "OutputItems": null}})")}) {
    WriteFile(SimSettingsPath(), text);
    LoadSimSettings(engine);
    EXPECT_EQ(SimSettingsText(engine), before) << text;
  }
  WriteFile(SimSettingsPath(), R"({"Version": 1, "SimSettings": {"OutputItems": [{"m_type": 14}]}})");
  LoadSimSettings(engine);
  EXPECT_EQ(engine.m_settings.m_fStandLength, 93.5);
  ASSERT_EQ(engine.m_outputItems.size(), 1u);
  EXPECT_EQ(engine.m_outputItems[0].m_type, ItemConstant);
}

TEST_F(SettingsFilesTest, StateLoadsNegativeTimeAsNowAndKeepsAbsentValues) {
  EXPECT_NE(SimStateText(engine).find("\"nTimeInState\": 0,"), std::string::npos);
  engine.SetSimState(CSimState{1500.0, 2500.0, 12.5, 3, 2, 0, 1400.0});
  WriteFile(SimStatePath(), R"({"Version": 1, "SimState": {"m_fDepth": 10, "m_state_": 4, "nTimeInState": -500}})");
  LoadSimState(engine);
  engine.OnTick();
  const CSimState state = engine.GetSimState();
  EXPECT_EQ(state.m_fDepth, 10.0);
  EXPECT_EQ(state.m_state_, 4);
  EXPECT_EQ(state.nTimeInState, 0);
  EXPECT_EQ(state.m_fHoleDepth, 2500.0);
  EXPECT_EQ(state.m_fBlockHeight_, 12.5);
  EXPECT_EQ(state.m_statePrev_, 2);
  EXPECT_EQ(state.m_fDepthStartState, 1400.0);

  const std::string kept = SimStateText(engine);
  for (const std::string& text : {std::string(R"({"Version": 1})"), std::string(R"({"Version": 1, "SimState": 5})"),
                                  std::string(R"({"Version": 1, "SimState": {"m_fDepth": "7"}})")}) {
    WriteFile(SimStatePath(), text);
    LoadSimState(engine);
    EXPECT_EQ(SimStateText(engine), kept) << text;
  }
}

TEST_F(SettingsFilesTest, LinkSettingsAreReadOverTheCurrentOnes) {
  WriteFile(WitsCommSettingsPath(),
            R"({"WitsCommSettings": {"commType": 0, "nCommPort": 7, "nBaudRate": 19200, "tcpIpType": 1,)"
            R"( "nTcpIpPort": 4000, "strIpAddress": "10.1.2.3"}})");
  LoadWitsCommSettings(engine);
  const CWitsCommSettings full{0, 7, 19200, 1, 4000, "10.1.2.3"};
  EXPECT_EQ(engine.m_witsLink.m_settings, full);
  EXPECT_EQ(engine.m_skidLink.m_settings.nTcpIpPort, 4001);

  // Once these applied zeros: serial port 0 at 0 baud.
  for (const std::string& text : {std::string("{}"), std::string("{\"WitsCommSettings\": {\"nTcpIpPort\": \"4000\""),
                                  std::string("not json"), std::string(R"({"WitsCommSettings": [1]})")}) {
    WriteFile(WitsCommSettingsPath(), text);
    LoadWitsCommSettings(engine);
    EXPECT_EQ(engine.m_witsLink.m_settings, full) << text;
    EXPECT_EQ(engine.m_skidLink.m_settings.nTcpIpPort, 4001) << text;
  }

  // The members present change; the others keep the link's values, not the record's defaults.
  WriteFile(WitsCommSettingsPath(), R"({"WitsCommSettings": {"nBaudRate": 2400, "nCommPort": 3.5}})");
  LoadWitsCommSettings(engine);
  EXPECT_EQ(engine.m_witsLink.m_settings, (CWitsCommSettings{0, 7, 2400, 1, 4000, "10.1.2.3"}));
}

// Long decimals and zeros with large exponents once read as garbage (0.0625, 1.45e+281).
TEST_F(SettingsFilesTest, LongDecimalsAndZerosWithLargeExponentsReadAsTheirValues) {
  WriteFile(SimSettingsPath(),
            SettingsFile(R"("m_fRPM": 0.184467440737095516159, "m_fWOB": 0e40, "m_fTorq": 0e300,)"
                         R"( "m_fSPP": 0.0000000000000000000000000, "m_fHookLoad": -0e300, "m_fFlowRate": 1e-400)"));
  LoadSimSettings(engine);
  const CSimSettings& s = engine.m_settings;
  EXPECT_DOUBLE_EQ(s.m_fRPM, 0.184467440737095516159);
  EXPECT_EQ(s.m_fWOB, 0.0);
  EXPECT_EQ(s.m_fTorq, 0.0);
  EXPECT_EQ(s.m_fSPP, 0.0);
  EXPECT_EQ(s.m_fHookLoad, 0.0);
  EXPECT_EQ(s.m_fFlowRate, 0.0);
  SaveSimSettings(engine);
  const std::string saved = vorn::ReadTextFile(SimSettingsPath());
  EXPECT_NE(saved.find("\"m_fRPM\": 0.1844674407370955"), std::string::npos) << saved;
  EXPECT_NE(saved.find("\"m_fWOB\": 0.0,"), std::string::npos) << saved;

  // The reader's default number path may bring a long number back a unit or two in the last place off
  // ("0.30000000000000007", written for 0.1 + 0.2, reads as 0.3000000000000001); never further.
  engine.m_settings.m_fRPM = 0.1 + 0.2;
  SaveSimSettings(engine);
  LoadSimSettings(engine);
  EXPECT_DOUBLE_EQ(s.m_fRPM, 0.1 + 0.2);
}

TEST_F(SettingsFilesTest, ANonFiniteNumberIsSavedAsZero) {
  engine.m_settings.m_fWOB = std::numeric_limits<double>::infinity();
  engine.m_settings.m_fTorq = std::numeric_limits<double>::quiet_NaN();
  SaveSimSettings(engine);
  CRigSim other(clocks.Make());
  LoadSimSettings(other);
  EXPECT_EQ(other.m_settings.m_fWOB, 0.0);
  EXPECT_EQ(other.m_settings.m_fTorq, 0.0);
  EXPECT_EQ(other.m_settings.m_fSPP, engine.m_settings.m_fSPP);  // the file went on past them
}

// A file nested deeper than outside JSON may be reads as a broken file (the current values stay),
// down to the last level allowed; a file of nothing but opening brackets is no crash.
TEST_F(SettingsFilesTest, AFileNestedBeyondTheJsonDepthLimitLeavesTheCurrentValues) {
  const auto withNesting = [](int levels) {
    return R"({"Version": 1, "Extra": )" + std::string(static_cast<size_t>(levels), '[') +
           std::string(static_cast<size_t>(levels), ']') + R"(, "SimSettings": {"Settings": {"m_fWOB": 12.5}}})";
  };
  engine.m_settings.m_fWOB = 40.0;
  ApplySimSettingsText(engine, withNesting(63));  // 64 levels with the file's own object
  EXPECT_EQ(engine.m_settings.m_fWOB, 12.5);
  engine.m_settings.m_fWOB = 40.0;
  ApplySimSettingsText(engine, withNesting(64));
  EXPECT_EQ(engine.m_settings.m_fWOB, 40.0);

  WriteFile(SimSettingsPath(), std::string(140000, '['));
  LoadSimSettings(engine);
  EXPECT_EQ(engine.m_settings.m_fWOB, 40.0);
  ApplySimStateText(engine, std::string(140000, '{'));
  ApplyWitsCommSettingsText(engine, "{\"x\":" + std::string(140000, '['));
}

}  // namespace
