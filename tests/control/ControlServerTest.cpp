// The control API in process: real HTTP on loopback, the real controller and engine, real files in
// the test's data root.
#include <gtest/gtest.h>

#include <QTcpSocket>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "command/RigController.h"
#include "control/ControlServer.h"
#include "history/HistoryCsv.h"
#include "history/HistoryRecorder.h"
#include "persist/SettingsFiles.h"
#include "tests/common/EventWait.h"
#include "tests/control/HttpClient.h"
#include "tests/engine/SettingSamples.h"

namespace {

using vorn::control::CControlServer;
using vorn::control::ControlOptions;
using vorn::test::CEventReader;
using vorn::test::CHttpClient;
using vorn::test::HttpAnswer;
using vorn::test::WaitUntil;

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

bool Has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

class ControlServerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::filesystem::remove_all(SimSettingsPath());
    m_controller.LoadAtStartup();
    CWitsCommSettings link;
    link.nTcpIpPort = vorn::test::FreePort();  // a run listens here, never on a port another test uses
    ASSERT_TRUE(m_controller.SetLinkSettings(link).IsDone());
    Start({});
  }
  void TearDown() override {
    m_server.reset();
    m_controller.Close();
  }
  void Start(std::optional<std::string> token) {
    m_server.reset();
    m_server = std::make_unique<CControlServer>([this](int rig) { return rig == 0 ? &m_controller : nullptr; },
                                                ControlOptions{"127.0.0.1", 0, token, 0, {}});
    std::string error;
    ASSERT_TRUE(m_server->Listen(error)) << error;
  }
  uint16_t Port() const { return m_server->Port(); }

  CRigSim m_engine;
  CRigController m_controller{m_engine};
  std::unique_ptr<CControlServer> m_server;
};

TEST_F(ControlServerTest, HistoryComesAsCsvOfTheLastSecondsAskedOrAllOfIt) {
  CHttpClient client(Port());
  EXPECT_EQ(client.Get("/api/v1/history").status, 404);  // no history kept for the rig

  CHistoryRecorder recorder(m_engine);
  m_controller.AddView(recorder);
  m_server->SetHistoryLookup([&recorder](int rig) { return rig == 0 ? &recorder : nullptr; });
  ASSERT_TRUE(m_controller.SetRunning(true).IsDone());
  for (int i = 0; i < 30; ++i) m_controller.TickOnce();
  ASSERT_TRUE(m_controller.SetRunning(false).IsDone());
  const CHistoryStore& store = recorder.Store();

  HttpAnswer all = client.Get("/api/v1/history");
  EXPECT_EQ(all.status, 200);
  EXPECT_EQ(all.headers["content-type"], "text/csv");
  EXPECT_EQ(all.body, HistoryCsv(store, AllSeries(store), 0.0, store.Latest(), recorder.StartWallSeconds()));
  EXPECT_TRUE(all.body.starts_with("Time,Elapsed,DEPTH min,DEPTH max,")) << all.body.substr(0, 200);
  EXPECT_FALSE(all.headers.contains("warning"));  // everything was recorded
  EXPECT_GE(std::count(all.body.begin(), all.body.end(), '\n'), 2);  // the head and at least one tick

  // The engine runs on the real clocks here: a span longer than the run gives all of it.
  const HttpAnswer last = client.Get("/api/v1/history?seconds=1000");
  EXPECT_EQ(last.status, 200);
  EXPECT_EQ(last.body, all.body);

  for (const char* bad : {"abc", "0", "-5", ""}) {
    EXPECT_EQ(client.Get(std::string("/api/v1/history?seconds=") + bad).status, 400) << bad;
  }
  EXPECT_EQ(client.Send("POST", "/api/v1/history").status, 405);
  EXPECT_EQ(client.Get("/api/v1/rigs/1/history").status, 404);
  m_controller.RemoveView(recorder);
}

TEST_F(ControlServerTest, HistorySaysBesideItsCsvThatReceivedItemsBeyondTheLimitAreNotRecorded) {
  CHistoryRecorder recorder(m_engine);
  m_controller.AddView(recorder);
  m_server->SetHistoryLookup([&recorder](int rig) { return rig == 0 ? &recorder : nullptr; });
  ASSERT_TRUE(m_controller.SetRunning(true).IsDone());
  for (int record = 1; record <= 99; ++record) {
    for (int item = 1; item <= 99; ++item) m_engine.m_witsInItems[{record, item}] = {"Item", "1.5", 0.0};
  }
  for (int i = 0; i < 5; ++i) m_controller.TickOnce();
  CHttpClient client(Port());
  HttpAnswer answer = client.Get("/api/v1/history?seconds=60");
  ASSERT_TRUE(m_controller.SetRunning(false).IsDone());
  m_controller.RemoveView(recorder);
  // The run moved the rig on the real clock; the state saved at the end must not move later tests'.
  ASSERT_TRUE(m_controller.SetDefaultStartState().IsDone());
  EXPECT_EQ(answer.status, 200);
  EXPECT_EQ(answer.headers["warning"],
            "199 - \"the history records the first 256 received WITS items of a run, 9545 more are not recorded\"");
  EXPECT_TRUE(Has(answer.body.substr(0, answer.body.find('\n')), "WITS 0358 max"));  // the 256th by key
  EXPECT_FALSE(Has(answer.body.substr(0, answer.body.find('\n')), "WITS 0359"));
}

TEST_F(ControlServerTest, ReadsShowTheRigAsItStands) {
  CHttpClient client(Port());
  HttpAnswer status = client.Get("/api/v1/status");
  EXPECT_EQ(status.status, 200);
  EXPECT_EQ(status.headers["content-type"], "application/json");
  EXPECT_TRUE(
      Has(status.body, R"("version":"v1.0.2.7","running":false,"tenTimes":false,"mode":{"index":1,"name":"Drill"})"))
      << status.body;
  EXPECT_TRUE(Has(status.body, R"("link":{"state":"Closed","stateIndex":2,"status":"","hasClient":false})"));
  EXPECT_TRUE(Has(status.body, "\"simSettings\":\"" + SimSettingsPath() + "\""));

  const HttpAnswer channels = client.Get("/api/v1/channels");
  EXPECT_TRUE(Has(channels.body, R"({"DEPTH":1000.0,"HOLE_DEPTH":1000.0,"BLOCK_HEIGHT":0.0,)")) << channels.body;
  EXPECT_TRUE(Has(channels.body, R"("SLIPS":false,"ON_BOTTOM":true,)"));

  const HttpAnswer items = client.Get("/api/v1/items");
  EXPECT_TRUE(Has(items.body, R"([{"m_bReadOnly":true,"m_bEnable":true,"m_strMnem":"DEPTH",)")) << items.body;
  EXPECT_TRUE(Has(items.body, R"("m_nWitsChannel":8,"valueText":"-999.25","sendPending":false})"));

  EXPECT_EQ(client.Get("/api/v1/received").body, "[]\n");
  // The records as their files hold them.
  EXPECT_TRUE(Has(client.Get("/api/v1/settings").body, R"({"m_mode":1,"m_fCalcOutputInterval":1.0,)"));
  EXPECT_TRUE(Has(client.Get("/api/v1/link").body, R"({"commType":1,"nCommPort":3,"nBaudRate":9600,"tcpIpType":0,)"));
  // The same rig by its number; no other rig.
  EXPECT_EQ(client.Get("/api/v1/rigs/0/status").body, client.Get("/api/v1/status").body);
  EXPECT_EQ(client.Get("/api/v1/rigs/1/status").status, 404);
}

TEST_F(ControlServerTest, CommandsTakeTheWindowsPathsWithTheirSaves) {
  CHttpClient client(Port());
  HttpAnswer answer = client.Send("POST", "/api/v1/mode", R"({"mode": "Trip Out"})");
  EXPECT_EQ(answer.status, 200) << answer.body;
  EXPECT_EQ(m_engine.m_settings.m_mode, TripOut);
  EXPECT_TRUE(Has(ReadFile(SimSettingsPath()), "\"m_mode\": 3"));

  answer = client.Send("POST", "/api/v1/bit-depth", R"({"depth": 5000})");
  EXPECT_EQ(answer.status, 200);
  EXPECT_EQ(m_engine.m_fDepth, 5000.0);
  EXPECT_EQ(m_engine.m_fHoleDepth, 5000.0);  // the hole follows the bit
  EXPECT_TRUE(Has(ReadFile(SimStatePath()), "\"m_fDepth\": 5000.0"));
  EXPECT_EQ(client.Send("POST", "/api/v1/hole-depth", R"({"depth": 4000})").status, 200);
  EXPECT_EQ(m_engine.m_fDepth, 4000.0);

  EXPECT_EQ(client.Send("POST", "/api/v1/gain", R"({"percent": 50})").status, 200);
  EXPECT_EQ(m_engine.m_settings.m_nFlowSPPGain, 50);
  EXPECT_EQ(client.Send("POST", "/api/v1/ten-times", R"({"on": true})").status, 200);
  EXPECT_TRUE(m_engine.TenTimesSpeed());

  // A partial record keeps the other members; a mode in it goes through the mode's path.
  answer = client.Send("PUT", "/api/v1/settings", R"({"m_fWOB": 33.5, "m_mode": 0})");
  EXPECT_EQ(answer.status, 200) << answer.body;
  EXPECT_TRUE(Has(answer.body, R"("m_mode":0,)"));
  EXPECT_EQ(m_engine.m_settings.m_fWOB, 33.5);
  EXPECT_EQ(m_engine.m_settings.m_nFlowSPPGain, 50);
  EXPECT_EQ(m_engine.m_settings.m_mode, Idle);
  EXPECT_TRUE(Has(ReadFile(SimSettingsPath()), "\"m_fWOB\": 33.5"));

  answer =
      client.Send("PUT", "/api/v1/items",
                  R"([{"m_strMnem": "BENCH", "m_type": 14, "m_fA": 7, "m_nWitsRecord": 1, "m_nWitsChannel": 99}])");
  EXPECT_EQ(answer.status, 200) << answer.body;
  ASSERT_EQ(m_engine.m_outputItems.size(), 15u);  // the read-only channel copies stay, ahead of it
  EXPECT_TRUE(m_engine.m_outputItems[13].m_bReadOnly);
  EXPECT_EQ(m_engine.m_outputItems[14].m_strMnem, "BENCH");
  EXPECT_TRUE(Has(ReadFile(SimSettingsPath()), "\"m_strMnem\": \"BENCH\""));
  EXPECT_EQ(answer.body, client.Get("/api/v1/items").body);
  // "Defaults..." brings the default list back, and answers as a read of the list.
  answer = client.Send("POST", "/api/v1/items/defaults");
  EXPECT_EQ(answer.status, 200) << answer.body;
  EXPECT_EQ(m_engine.m_outputItems.size(), 22u);
  EXPECT_EQ(answer.body, client.Get("/api/v1/items").body);
  EXPECT_FALSE(Has(ReadFile(SimSettingsPath()), "BENCH"));
  EXPECT_EQ(client.Send("POST", "/api/v1/items/defaults", R"({"all": true})").status, 400);

  answer = client.Send("PUT", "/api/v1/link", R"({"tcpIpType": 1, "strIpAddress": "127.0.0.2"})");
  EXPECT_EQ(answer.status, 200) << answer.body;
  EXPECT_EQ(m_engine.m_witsLink.m_settings.tcpIpType, Slave);
  EXPECT_TRUE(Has(ReadFile(WitsCommSettingsPath()), "\"strIpAddress\": \"127.0.0.2\""));

  EXPECT_EQ(client.Send("POST", "/api/v1/default-start-state").status, 200);
  EXPECT_EQ(m_engine.m_fDepth, 1000.0);
  EXPECT_EQ(m_engine.m_settings.m_mode, Drill);
}

// Every refusal leaves the rig and its files as they were.
TEST_F(ControlServerTest, BadRequestsGetTheirCodeAndChangeNothing) {
  CHttpClient client(Port());
  const std::string settingsFile = ReadFile(SimSettingsPath());
  const std::string settingsBefore = client.Get("/api/v1/settings").body;
  struct Case {
    const char* method;
    const char* path;
    const char* body;
    int status;
    const char* error;
  };
  for (const Case& c : {
           Case{"POST", "/api/v1/mode", "{\"mode\": ", 400, "malformed JSON"},
           Case{"POST", "/api/v1/mode", "{}", 400, "missing member 'mode'"},
           Case{"POST", "/api/v1/gain", R"({"percent": "50"})", 400, "'percent' must be a whole number"},
           Case{"POST", "/api/v1/bit-depth", R"({"depth": 1e999})", 400, "Number too big"},
           Case{"POST", "/api/v1/gain", R"({"percent": 101})", 400, "from 0 to 100"},
           Case{"PUT", "/api/v1/settings", R"({"m_fWOB": 1, "m_bogus": 2})", 400, "unknown member 'm_bogus'"},
           Case{"PUT", "/api/v1/settings", R"({"m_fWOB": 1, "m_fTorq": "x"})", 400,
                "'m_fTorq' must be a finite number"},
           Case{"PUT", "/api/v1/settings", R"({"m_fWOB": 1, "m_fDepthToSlide": 150})", 400,
                R"(Settings Validation Failed.\n'Stand Length' is less than 'Depth to Slide')"},
           Case{"PUT", "/api/v1/settings", R"({"m_fWitsOutInterval": -1})", 400,
                R"(Settings Validation Failed.\n'WITS Out Interval' (m_fWitsOutInterval) must be from 0.1 to 3600)"
                R"( seconds, not -1)"},
           Case{"GET", "/api/v1/nothing", "", 404, "no such endpoint"},
           Case{"DELETE", "/api/v1/items", "", 405, "this endpoint takes GET, PUT"},
       }) {
    const HttpAnswer answer = client.Send(c.method, c.path, c.body);
    EXPECT_EQ(answer.status, c.status) << c.path << " " << c.body;
    EXPECT_TRUE(Has(answer.body, std::string("{\"error\":\""))) << answer.body;
    EXPECT_TRUE(Has(answer.body, c.error)) << answer.body;
  }
  EXPECT_EQ(client.Send("POST", "/api/v1/run", "", {}).headers.count("allow"), 0u);
  EXPECT_EQ(client.Send("PATCH", "/api/v1/run").headers["allow"], "POST");
  EXPECT_EQ(client.Get("/api/v1/settings").body, settingsBefore);
  EXPECT_EQ(ReadFile(SimSettingsPath()), settingsFile);
  EXPECT_EQ(m_engine.m_fDepth, 1000.0);
}

// Every number setting through PUT: inside its range it is taken; outside (below or above it) it is
// 400 with the settings dialog's message, and nothing changes. The ends, the mode and the gain are left
// to the command layer's test (each request here costs tens of milliseconds).
TEST_F(ControlServerTest, ASettingOutsideItsRangeIs400WithTheDialogsMessage) {
  using namespace vorn::test;
  CHttpClient client(Port());
  int outsideSeen = 0;
  for (const SettingSample& sample : SettingSamples(12, 3)) {
    if (sample.range->whole) continue;
    const bool end = sample.value == sample.range->min || sample.value == sample.range->max;
    // One of each per setting: outside, below the range for every other setting, above it for the rest.
    if (sample.inside ? end : outsideSeen % 3 != (outsideSeen / 3) % 2) {
      outsideSeen += sample.inside ? 0 : 1;
      continue;
    }
    outsideSeen += sample.inside ? 0 : 1;
    std::string body = std::string("{\"") + sample.range->key + "\": " + ExactText(sample.value);
    if (const Partner partner = PartnerOf(sample); partner.range != nullptr) {
      body += std::string(", \"") + partner.range->key + "\": " + ExactText(partner.value);
    }
    body += "}";
    const CSimSettings before = m_engine.m_settings;
    const HttpAnswer answer = client.Send("PUT", "/api/v1/settings", body);
    if (sample.inside) {
      EXPECT_EQ(answer.status, 200) << body << " " << answer.body;
      // The body's reader may miss a long number by a unit in the last place.
      EXPECT_DOUBLE_EQ(sample.range->get(m_engine.m_settings), sample.value) << body;
      continue;
    }
    EXPECT_EQ(answer.status, 400) << body;
    EXPECT_TRUE(Has(answer.body, "{\"error\":\"Settings Validation Failed.\\n" + RefusalStart(sample))) << answer.body;
    EXPECT_TRUE(Has(answer.body, RefusalEnd(sample) + "\"}")) << answer.body;
    for (const SimSettingRange& range : SimSettingRanges()) {
      EXPECT_EQ(range.get(m_engine.m_settings), range.get(before)) << body << " changed " << range.key;
    }
  }
  EXPECT_GT(outsideSeen, 0);
}

TEST_F(ControlServerTest, CommandsTheRunLocksAreRefusedWith409) {
  CHttpClient client(Port());
  ASSERT_EQ(client.Send("POST", "/api/v1/run", R"({"running": true})").status, 200);
  ASSERT_TRUE(m_controller.IsRunning());
  const std::string linkFile = ReadFile(WitsCommSettingsPath());
  HttpAnswer answer = client.Send("PUT", "/api/v1/link", R"({"nTcpIpPort": 4000})");
  EXPECT_EQ(answer.status, 409);
  EXPECT_TRUE(Has(answer.body, "The link settings cannot change while a run is active")) << answer.body;
  EXPECT_EQ(ReadFile(WitsCommSettingsPath()), linkFile);
  EXPECT_EQ(client.Send("POST", "/api/v1/bit-depth", R"({"depth": 10})").status, 409);
  EXPECT_EQ(client.Send("POST", "/api/v1/default-start-state", "{}").status, 409);
  EXPECT_EQ(client.Send("PUT", "/api/v1/items", "[]").status, 409);  // removing items: locked
  EXPECT_EQ(m_engine.m_outputItems.size(), 22u);
  // Edits in place and the gain go on during a run, as in the window.
  EXPECT_EQ(client.Send("PUT", "/api/v1/items", client.Get("/api/v1/items").body).status, 200);
  EXPECT_EQ(client.Send("POST", "/api/v1/items/defaults", "").status, 200);
  EXPECT_EQ(client.Send("POST", "/api/v1/gain", R"({"percent": 10})").status, 200);
  EXPECT_EQ(client.Send("POST", "/api/v1/run", R"({"running": false})").status, 200);
  EXPECT_FALSE(m_controller.IsRunning());
  EXPECT_EQ(client.Send("PUT", "/api/v1/link", R"({"nTcpIpPort": 4000})").status, 200);
}

TEST_F(ControlServerTest, TokenIsNeededOnEveryRequest) {
  Start(std::string("t0ken"));
  for (const std::string& token : {std::string(), std::string("wrong"), std::string("t0ke")}) {
    CHttpClient client(Port(), token);
    for (const char* path : {"/api/v1/status", "/api/v1/events", "/api/v1/nothing"}) {
      HttpAnswer answer = client.Get(path);
      EXPECT_EQ(answer.status, 401) << path << " " << token;
      EXPECT_EQ(answer.headers["www-authenticate"], "Bearer");
    }
    EXPECT_EQ(client.Send("POST", "/api/v1/mode", R"({"mode": 0})").status, 401);
  }
  EXPECT_EQ(m_engine.m_settings.m_mode, Drill);
  CHttpClient client(Port(), "t0ken");
  EXPECT_EQ(client.Get("/api/v1/status").status, 200);
  CEventReader reader(Port(), "/api/v1/events", "t0ken");
  EXPECT_TRUE(reader.WaitOpen());
}

TEST_F(ControlServerTest, OversizedBodyIsAnsweredFromItsHeadAndTheConnectionClosed) {
  CHttpClient client(Port());
  // Sent whole before the answer is read, as simple clients do: the body is read and thrown away.
  const std::string body(6 * 1024 * 1024, '[');
  HttpAnswer answer = client.Send("PUT", "/api/v1/items", body, {}, 30000);
  EXPECT_EQ(answer.status, 413);
  EXPECT_TRUE(Has(answer.body, "over 64 KiB")) << answer.body;
  EXPECT_EQ(answer.headers["connection"], "close");
  EXPECT_TRUE(WaitUntil([&] { return client.Socket().state() == QAbstractSocket::UnconnectedState; }, 10000));
  EXPECT_EQ(m_engine.m_outputItems.size(), 22u);

  // 64 KiB exactly is taken (and here refused for what it says), and a client that waits for
  // "100 Continue" gets it.
  CHttpClient next(Port());
  std::string items = "[" + std::string(64 * 1024 - 2, ' ') + "]";
  EXPECT_EQ(next.Send("PUT", "/api/v1/items", items, {"Expect: 100-continue"}).status, 200);
  EXPECT_EQ(m_engine.m_outputItems.size(), 14u);  // only the read-only items stay
  EXPECT_EQ(next.Send("PUT", "/api/v1/items", items + " ").status, 413);
}

TEST_F(ControlServerTest, EventStreamsCarryEveryChangeToEachReader) {
  CEventReader first(Port());
  CEventReader second(Port());
  ASSERT_TRUE(first.WaitOpen());
  ASSERT_TRUE(second.WaitOpen());
  CHttpClient client(Port());
  ASSERT_EQ(client.Send("POST", "/api/v1/mode", R"({"mode": "Trip In"})").status, 200);
  for (CEventReader* reader : {&first, &second}) {
    EXPECT_EQ(reader->WaitFor({R"("event":"mode")"}, 10000),
              R"({"event":"mode","index":2,"name":"Trip In","byEngine":false})");
  }
  ASSERT_EQ(client.Send("PUT", "/api/v1/settings", R"({"m_fWOB": 41})").status, 200);
  EXPECT_FALSE(first.WaitFor({R"("event":"settings")", R"("m_fWOB":41.0)"}, 10000).empty());
  ASSERT_EQ(client.Send("POST", "/api/v1/bit-depth", R"({"depth": 1200})").status, 200);
  EXPECT_EQ(first.WaitFor({R"("event":"state")"}, 10000),
            R"({"event":"state","change":"depths","bitDepth":1200.0,"holeDepth":1200.0})");
  // A run: its start, the link, the frames out with their bytes.
  ASSERT_EQ(client.Send("POST", "/api/v1/run", R"({"running": true})").status, 200);
  EXPECT_FALSE(first.WaitFor({R"("event":"run","running":true)"}, 10000).empty());
  EXPECT_FALSE(first.WaitFor({R"("event":"link","state":"Connected")"}, 10000).empty());
  const std::string frame = first.WaitFor({R"("event":"frame-out")"}, 10000);
  EXPECT_TRUE(Has(frame, R"("bytes":"&&\r\n0108)")) << frame;
  EXPECT_TRUE(Has(frame, R"("sent":false,"notSentBecause":"no client connected")")) << frame;
  ASSERT_EQ(client.Send("POST", "/api/v1/run", R"({"running": false})").status, 200);
  EXPECT_FALSE(second.WaitFor({R"("event":"run","running":false)"}, 10000).empty());
}

// A trip out from near the surface ends within a few seconds at ten-times speed: the engine's own
// mode change reaches the stream.
TEST_F(ControlServerTest, EventStreamSeesTheModeTheEngineChanges) {
  CHttpClient client(Port());
  ASSERT_EQ(client
                .Send("PUT", "/api/v1/settings",
                      R"({"m_fTimeToWaitForSettingsSlips_sec": 0, "m_fTimeToWaitForReleasingSlips_sec": 0})")
                .status,
            200);
  ASSERT_EQ(client.Send("POST", "/api/v1/hole-depth", R"({"depth": 2})").status, 200);
  ASSERT_EQ(client.Send("POST", "/api/v1/mode", R"({"mode": "Trip Out"})").status, 200);
  ASSERT_EQ(client.Send("POST", "/api/v1/ten-times", R"({"on": true})").status, 200);
  CEventReader reader(Port());
  ASSERT_TRUE(reader.WaitOpen());
  ASSERT_EQ(client.Send("POST", "/api/v1/run", R"({"running": true})").status, 200);
  EXPECT_EQ(reader.WaitFor({R"("event":"mode")"}, 20000),
            R"({"event":"mode","index":2,"name":"Trip In","byEngine":true})");
  EXPECT_TRUE(Has(client.Get("/api/v1/status").body, R"("mode":{"index":2,"name":"Trip In"})"));
}

// A reader that stops reading is dropped once it leaves 1 MiB untaken; the others go on.
TEST_F(ControlServerTest, StalledReaderIsDroppedWhileOthersKeepUp) {
  vorn::test::CStalledReader stalled(Port());
  CEventReader healthy(Port());
  ASSERT_TRUE(healthy.WaitOpen());
  (void)WaitUntil([] { return false; }, 200);  // the stalled reader's request is taken meanwhile
  // Frames of 60 KB: each one an event of that size.
  COutputItem text;
  text.m_type = ItemText;
  text.m_strD = std::string(60000, 'x');
  ASSERT_TRUE(m_controller.ReplaceItems({text}).IsDone());
  m_engine.m_outputItems.back().m_strValue = text.m_strD;
  constexpr int kFrames = 150;  // 9 MB: past the kernel's socket buffers (4 MiB) and the bound
  for (int i = 0; i < kFrames; ++i) {
    m_engine.m_outputItems.back().m_bSendPending = true;
    m_engine.DoWitsOut();
    // The healthy reader takes each event before the next comes (the items event came first).
    ASSERT_TRUE(WaitUntil([&] { return healthy.Events().size() >= static_cast<size_t>(i) + 2; }, 10000)) << i;
  }
  // What the stalled reader gets when it reads again: less than was sent, then the end.
  EXPECT_TRUE(stalled.ReadToEnd(10000)) << stalled.Bytes().size() << " " << stalled.Bytes().substr(0, 300);
  EXPECT_TRUE(stalled.Bytes().starts_with("HTTP/1.1 200 OK\r\n"));
  EXPECT_LT(stalled.Bytes().size(), static_cast<size_t>(kFrames) * 60000 / 2);
  EXPECT_EQ(healthy.Socket().state(), QAbstractSocket::ConnectedState);
}

}  // namespace

namespace {

TEST_F(ControlServerTest, FaultsArmOverTheApiAndBadOnesAre400WithNothingTaken) {
  CHttpClient client(Port());
  HttpAnswer answer = client.Send("POST", "/api/v1/faults", R"({"fault": "hiccup"})");
  EXPECT_EQ(answer.status, 400);
  EXPECT_TRUE(Has(answer.body, "Unknown fault 'hiccup'")) << answer.body;
  answer = client.Send("POST", "/api/v1/faults", R"({"fault": "split", "pieces": 0})");
  EXPECT_EQ(answer.status, 400);
  EXPECT_TRUE(Has(answer.body, "Fault 'split': parameter 'pieces' must be a whole number from 2 to 1000, not 0."))
      << answer.body;
  EXPECT_TRUE(m_controller.Wire().ActiveFaults().empty());

  answer = client.Send("POST", "/api/v1/faults", R"({"fault": "garbage", "bytes": 4, "every": 2})");
  EXPECT_EQ(answer.status, 200) << answer.body;
  EXPECT_EQ(answer.body, R"({"seed":"1","active":["garbage:bytes=4,every=2"],"plan":[]})" "\n");

  answer = client.Send("PUT", "/api/v1/fault-plan", R"({"seed": 9, "faults": [{"at": 3, "fault": "drop-end"},
                                                         {"at": 4, "fault": "pace", "bps": "fast"}]})");
  EXPECT_EQ(answer.status, 400);
  EXPECT_TRUE(Has(answer.body, "Fault plan, entry 2: Fault 'pace': parameter 'bps'")) << answer.body;
  EXPECT_TRUE(m_controller.Wire().Plan().entries.empty());
  EXPECT_EQ(m_controller.Wire().Seed(), 1u);

  answer = client.Send("PUT", "/api/v1/fault-plan", R"({"seed": 9, "faults": [{"at": 3, "fault": "drop-end"}]})");
  EXPECT_EQ(answer.status, 200) << answer.body;
  EXPECT_EQ(client.Get("/api/v1/faults").body,
            R"x({"seed":"9","active":["garbage:bytes=4,every=2","drop-end:at=3 (plan)"],"plan":["drop-end:at=3"]})x" "\n");
  EXPECT_EQ(client.Send("DELETE", "/api/v1/fault-plan", "").status, 200);
  EXPECT_EQ(client.Get("/api/v1/faults").body, R"({"seed":"9","active":[],"plan":[]})" "\n");
  EXPECT_EQ(client.Send("GET", "/api/v1/fault-plan", "").status, 405);
}

TEST_F(ControlServerTest, AFaultTakingEffectIsAnEventOnTheStream) {
  CEventReader reader(Port());
  ASSERT_TRUE(reader.WaitOpen());
  CHttpClient client(Port());
  ASSERT_EQ(client.Send("POST", "/api/v1/faults", R"({"fault": "bad-value", "kind": "null"})").status, 200);
  ASSERT_EQ(client.Send("POST", "/api/v1/run", R"({"running": true})").status, 200);
  // A fault given once waits for a frame that a receiver gets.
  QTcpSocket receiver;
  receiver.connectToHost("127.0.0.1", static_cast<quint16>(m_engine.m_witsLink.m_settings.nTcpIpPort));
  const std::string fault = reader.WaitFor({R"("event":"fault")"}, 10000);
  EXPECT_TRUE(Has(fault, R"({"event":"fault","name":"bad-value","fault":"bad-value:kind=null","fromPlan":false,"time":)"))
      << fault;
  ASSERT_EQ(client.Send("POST", "/api/v1/run", R"({"running": false})").status, 200);
}

}  // namespace

namespace {

TEST_F(ControlServerTest, TheLinksWireProfileIsSetLikeItsOtherMembers) {
  CHttpClient client(Port());
  HttpAnswer answer = client.Send("PUT", "/api/v1/link", R"({"lineEnd": 1, "fKeepAliveInterval": 25})");
  EXPECT_EQ(answer.status, 200) << answer.body;
  EXPECT_TRUE(Has(answer.body, R"("fKeepAliveInterval":25.0,"lineEnd":1})")) << answer.body;
  EXPECT_EQ(m_engine.m_witsLink.m_settings.lineEnd, LineEndLf);
  answer = client.Send("PUT", "/api/v1/link", R"({"lineEnd": 3})");
  EXPECT_EQ(answer.status, 400);
  EXPECT_TRUE(Has(answer.body, "'lineEnd' must be a whole number from 0 to 2")) << answer.body;
  EXPECT_EQ(m_engine.m_witsLink.m_settings.lineEnd, LineEndLf);

  answer = client.Send("PUT", "/api/v1/link", R"({"nMaxClients": 3, "strListenAddress": "127.0.0.1"})");
  EXPECT_EQ(answer.status, 200) << answer.body;
  EXPECT_TRUE(Has(answer.body, R"("nMaxClients":3,"strListenAddress":"127.0.0.1"})")) << answer.body;
  EXPECT_EQ(m_engine.m_witsLink.m_settings.nMaxClients, 3);
  EXPECT_EQ(client.Send("PUT", "/api/v1/link", R"({"nMaxClients": 0})").status, 400);
  EXPECT_EQ(m_engine.m_witsLink.m_settings.nMaxClients, 3);
}

}  // namespace

namespace {

TEST_F(ControlServerTest, AWellIsPutReadAndDeleted) {
  CHttpClient client(Port());
  EXPECT_EQ(client.Get("/api/v1/well").status, 404);
  const HttpAnswer refused = client.Send("PUT", "/api/v1/well", R"({"mud": {"density": 9000}})");
  EXPECT_EQ(refused.status, 400);
  EXPECT_TRUE(Has(refused.body, "mud.density")) << refused.body;
  const std::string well = R"({"name": "API well", "units": "metric", "startDepth": 1500})";
  EXPECT_EQ(client.Send("PUT", "/api/v1/well", well).status, 200);
  const HttpAnswer read = client.Get("/api/v1/well");
  EXPECT_EQ(read.status, 200);
  EXPECT_TRUE(Has(read.body, "API well")) << read.body;
  EXPECT_TRUE(Has(client.Get("/api/v1/channels").body, R"("units":{)"));
  EXPECT_EQ(client.Send("DELETE", "/api/v1/well").status, 200);
  EXPECT_EQ(client.Get("/api/v1/well").status, 404);
}

}  // namespace
