// What a service manager and a monitoring system ask of the simulator: the health and the metrics,
// over real HTTP on loopback against the real controller, engine and WITS link; the metrics checked
// by Prometheus's own promtool.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QProcess>
#include <QStandardPaths>
#include <QTcpSocket>
#include <filesystem>
#include <random>
#include <map>
#include <regex>
#include <set>
#include <sstream>

#include "command/RigController.h"
#include "control/ControlServer.h"
#include "control/ServiceAnswers.h"
#include "persist/SettingsFiles.h"
#include "tests/common/EventWait.h"
#include "tests/control/HttpClient.h"
#include "tests/engine/ManualClocks.h"

namespace {

using vorn::control::CControlServer;
using vorn::control::ControlOptions;
using vorn::control::RigSample;
using vorn::test::CHttpClient;
using vorn::test::WaitUntil;

// promtool's verdict on a metrics text: empty when it passes; skipped (nullopt) without promtool.
std::optional<std::string> PromtoolComplaints(const std::string& text) {
  const QString promtool = QStandardPaths::findExecutable("promtool");
  if (promtool.isEmpty()) return std::nullopt;
  QProcess check;
  check.start(promtool, {"check", "metrics"});
  if (!check.waitForStarted(10000)) return "promtool did not start";
  check.write(text.data(), static_cast<qint64>(text.size()));
  check.closeWriteChannel();
  if (!check.waitForFinished(30000)) return "promtool did not finish";
  const std::string said = (check.readAllStandardOutput() + check.readAllStandardError()).toStdString();
  return check.exitCode() == 0 ? std::string() : "exit " + std::to_string(check.exitCode()) + ": " + said;
}

// A sample's value: the number after `name{rig="<rig>"} `.
double SampleValue(const std::string& text, const std::string& name, int rig) {
  const std::string key = name + "{rig=\"" + std::to_string(rig) + "\"} ";
  const std::size_t at = text.find(key);
  return at == std::string::npos ? -1.0 : std::stod(text.substr(at + key.size()));
}

class ServiceAnswersTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::filesystem::remove_all(SimSettingsPath());
    m_controller.LoadAtStartup();
    CWitsCommSettings link;
    link.nTcpIpPort = vorn::test::FreePort();
    ASSERT_TRUE(m_controller.SetLinkSettings(link).IsDone());
    ControlOptions options;
    options.token = "secret";
    m_server = std::make_unique<CControlServer>([this](int rig) { return rig == 0 ? &m_controller : nullptr; },
                                                std::move(options));
    std::string error;
    ASSERT_TRUE(m_server->Listen(error)) << error;
  }
  void TearDown() override {
    m_server.reset();
    m_controller.Close();
  }
  // Ticks of simulated time, each 100 ms on the engine's clocks, with the socket events between.
  void Tick(int ticks) {
    for (int i = 0; i < ticks; ++i) {
      m_clocks.Advance(100);
      m_controller.TickOnce();
      QCoreApplication::processEvents();
    }
  }

  vorn::test::ManualClocks m_clocks;
  CRigSim m_engine{m_clocks.Make()};
  CRigController m_controller{m_engine};
  std::unique_ptr<CControlServer> m_server;
};

TEST_F(ServiceAnswersTest, HealthNeedsNoTokenAndIsReadyOnlyWhileTheRunAndLinkAreUp) {
  CHttpClient anonymous(m_server->Port());
  EXPECT_EQ(anonymous.Get("/api/v1/status").status, 401);
  EXPECT_EQ(anonymous.Get("/api/v1/health/live").status, 200);
  const auto stopped = anonymous.Get("/api/v1/health");
  EXPECT_EQ(stopped.status, 503);
  EXPECT_NE(stopped.body.find("\"ready\":false"), std::string::npos) << stopped.body;

  ASSERT_TRUE(m_controller.SetRunning(true).IsDone());
  const auto running = anonymous.Get("/api/v1/health");
  EXPECT_EQ(running.status, 200) << running.body;
  EXPECT_NE(running.body.find("\"linkOpen\":true"), std::string::npos) << running.body;
  EXPECT_EQ(anonymous.Send("POST", "/api/v1/health", "{}").status, 405);
  EXPECT_EQ(anonymous.Send("DELETE", "/metrics", "").status, 405);
}

TEST_F(ServiceAnswersTest, MetricsCountWhatTheReceiverGotAndPassPromtool) {
  ASSERT_TRUE(m_controller.SetRunning(true).IsDone());
  QTcpSocket receiver;
  receiver.connectToHost("127.0.0.1", static_cast<quint16>(m_engine.m_witsLink.m_settings.nTcpIpPort));
  ASSERT_TRUE(WaitUntil([&] { return m_engine.m_witsLink.HasClient(); }, 5000));
  Tick(100);  // 10 s: five frames at the default interval
  QByteArray got;
  constexpr int kFrames = 4;  // at least, in 10 s at the default 2 s interval
  ASSERT_TRUE(WaitUntil([&] {
    got += receiver.readAll();
    return got.count("&&") >= kFrames;
  }, 5000));
  receiver.write("&&\r\n0108123\r\n!!\r\n");
  ASSERT_TRUE(WaitUntil([&] { return !m_engine.m_witsInItems.empty(); }, 5000));

  CHttpClient anonymous(m_server->Port());
  auto answer = anonymous.Get("/metrics");
  ASSERT_EQ(answer.status, 200);
  EXPECT_TRUE(answer.headers["content-type"].starts_with("text/plain; version=0.0.4")) << answer.headers["content-type"];
  const std::string& text = answer.body;
  EXPECT_EQ(SampleValue(text, "vornrigsim_frames_sent_total", 0), got.count("&&")) << text;
  EXPECT_EQ(SampleValue(text, "vornrigsim_sent_bytes_total", 0), got.size());
  EXPECT_EQ(SampleValue(text, "vornrigsim_received_bytes_total", 0), 17);
  EXPECT_EQ(SampleValue(text, "vornrigsim_receivers", 0), 1);
  EXPECT_EQ(SampleValue(text, "vornrigsim_run_active", 0), 1);
  EXPECT_NE(text.find("\nprocess_resident_memory_bytes "), std::string::npos);
  const auto complaints = PromtoolComplaints(text);
  if (!complaints) GTEST_SKIP() << "promtool not installed (Debian package prometheus)";
  EXPECT_EQ(*complaints, "") << text;
}

// Whatever the fleet and its counts, every sample line is "name{rig="k"} number" under its family's
// HELP and TYPE, each family holds one line a rig, and 1,000 rigs stay within 2 MB.
TEST(MetricsText, EveryFamilyHasOneWellFormedSampleARigWithinItsSize) {
  std::mt19937_64 random(29);
  std::vector<RigSample> rigs(1000);
  for (std::size_t i = 0; i < rigs.size(); ++i) {
    RigSample& rig = rigs[i];
    rig.rig = static_cast<int>(i) + 501;
    rig.running = random() % 2 == 0;
    rig.receivers = static_cast<int>(random() % 65);
    rig.counts.framesSent = random();
    rig.counts.bytesSent = random();
    rig.counts.framesNotSent[2] = random() % 1000000;
    rig.timing.slowest = std::chrono::nanoseconds(random() % 1000000000);
  }
  const std::string text = vorn::control::MetricsText(rigs, vorn::ReadProcessStats());
  EXPECT_LT(text.size(), 2'000'000u);
  const std::regex sample(R"re((\w+)\{rig="(\d+)"\} [0-9.e+-]+)re");
  const std::regex plain(R"re((\w+) [0-9.e+-]+)re");
  std::map<std::string, std::set<int>> rigsOf;
  std::string family;
  std::istringstream lines(text);
  for (std::string line; std::getline(lines, line);) {
    std::smatch match;
    if (line.starts_with("# TYPE ")) {
      family = line.substr(7, line.find(' ', 7) - 7);
    } else if (std::regex_match(line, match, sample)) {
      EXPECT_EQ(match[1], family);
      rigsOf[match[1]].insert(std::stoi(match[2]));
    } else if (!line.starts_with("# HELP ")) {
      EXPECT_TRUE(std::regex_match(line, plain)) << line;
    }
  }
  EXPECT_GE(rigsOf.size(), 13u);
  for (const auto& [name, numbers] : rigsOf) {
    EXPECT_EQ(numbers.size(), rigs.size()) << name;
    EXPECT_EQ(*numbers.begin(), 501) << name;
  }
  EXPECT_EQ(SampleValue(text, "vornrigsim_frames_refused_total", 777), rigs[276].counts.framesNotSent[2]);
}

}  // namespace
