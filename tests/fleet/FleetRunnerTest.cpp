// A fleet in the test's process: its rigs' folders, files, links and start, on a hand-driven clock and
// real loopback receivers.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QTcpServer>
#include <QTcpSocket>
#include <filesystem>
#include <memory>
#include <regex>
#include <set>
#include <sstream>

#include "fleet/FleetPlan.h"
#include "fleet/FleetRunner.h"
#include "persist/SettingsFiles.h"
#include "support/DataRoot.h"
#include "tests/common/TestEnvironment.h"
#include "tests/engine/ManualClocks.h"
#include "tests/fleet/FleetPorts.h"

namespace {

namespace fs = std::filesystem;
using vorn::test::ManualClocks;

class FleetRunnerTest : public ::testing::Test {
 protected:
  FleetRunnerTest() : m_oldRoot(vorn::DataRootFolder()) {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    root = vorn::test::MakeScratchFolder(info->name());
    setenv("VORN_RIG_SIM_ROOT", root.c_str(), 1);
    vorn::CreateDataFolders();
  }
  ~FleetRunnerTest() override {
    runner.reset();
    setenv("VORN_RIG_SIM_ROOT", m_oldRoot.c_str(), 1);
  }

  // The root's files: a server link from `port` (or a client to it), frames every second, the bit and
  // hole at `depth`.
  void WriteRootFiles(int32_t port, double depth = 1000.0, int32_t commType = TcpIp, int32_t role = Master) {
    CRigSim engine(clocks.Make());
    engine.m_witsLink.m_settings.commType = commType;
    engine.m_witsLink.m_settings.tcpIpType = role;
    engine.m_witsLink.m_settings.nTcpIpPort = port;
    engine.m_settings.m_fWitsOutInterval = 1.0;
    engine.SetHoleDepth(depth);
    engine.SetBitDepth(depth);
    ASSERT_TRUE(SaveWitsCommSettings(engine));
    ASSERT_TRUE(SaveSimSettings(engine));
    ASSERT_TRUE(SaveSimState(engine));
  }

  void MakeRunner(int count, std::optional<uint64_t> seed, std::optional<double> duration = {}) {
    FleetOptions options;
    options.count = count;
    options.seed = seed;
    options.durationSeconds = duration;
    status.str("");
    runner = std::make_unique<CFleetRunner>(options, status, clocks.Make());
  }

  // Simulated time passes in 10 ms steps; real sockets deliver between them.
  void Pass(uint32_t ms) {
    for (uint32_t passed = 0; passed < ms; passed += 10) {
      clocks.Advance(10);
      runner->Ticker().Service();
      QCoreApplication::processEvents();
    }
  }

  ManualClocks clocks;
  std::string root;
  std::ostringstream status;
  std::unique_ptr<CFleetRunner> runner;

 private:
  std::string m_oldRoot;
};

// The value of the hole depth (record 01, item 10) in the first frame that carries it.
std::string HoleDepthSent(const std::string& bytes) {
  std::smatch match;
  return std::regex_search(bytes, match, std::regex("\r\n0110([^\r\n]*)\r\n")) ? match[1].str() : std::string();
}

TEST_F(FleetRunnerTest, SeededRigsRunFromTheirOwnFoldersAndPortsAndEachSendsItsOwnStream) {
  constexpr int kRigs = 3;
  const uint16_t base = vorn::test::FreeConsecutivePorts(kRigs);
  ASSERT_NE(base, 0);
  WriteRootFiles(base);
  MakeRunner(kRigs, 42);
  ASSERT_TRUE(runner->Start()) << status.str();
  EXPECT_NE(status.str().find("fleet seed 42"), std::string::npos);

  std::vector<std::unique_ptr<QTcpSocket>> receivers;
  for (int rig = 1; rig <= kRigs; ++rig) {
    const std::string rigRoot = FleetRigRoot(root, rig);
    const CRigSim& engine = runner->Controller(rig)->Engine();
    EXPECT_EQ(engine.DataRoot(), rigRoot);
    EXPECT_EQ(engine.m_witsLink.m_settings.nTcpIpPort, base + rig - 1);
    EXPECT_EQ(engine.m_settings.m_fWitsOutInterval, 1.0);  // the root's settings, copied
    const FleetRigStart start = SeededRigStart(42, rig);
    EXPECT_EQ(engine.m_settings.m_mode, start.mode);
    EXPECT_EQ(engine.m_fHoleDepth, start.holeDepth);
    EXPECT_TRUE(fs::exists(WitsCommSettingsPath(rigRoot)));
  }
  // Each starts within one output interval of the fleet.
  Pass(1000);
  for (int rig = 1; rig <= kRigs; ++rig) {
    EXPECT_TRUE(runner->Controller(rig)->IsRunning());
    receivers.push_back(std::make_unique<QTcpSocket>());
    receivers.back()->connectToHost("127.0.0.1", static_cast<quint16>(base + rig - 1));
  }
  EXPECT_EQ(runner->Controller(0), nullptr);
  EXPECT_EQ(runner->Controller(kRigs + 1), nullptr);

  Pass(10000);
  const std::string line = status.str();
  EXPECT_NE(line.find("Fleet: 3 of 3 rigs running, 3 links connected, 0 trying to connect, "), std::string::npos)
      << line;
  std::set<std::string> holeDepths;
  for (int rig = 1; rig <= kRigs; ++rig) {
    const std::string bytes = receivers[static_cast<std::size_t>(rig - 1)]->readAll().toStdString();
    EXPECT_GE(std::count(bytes.begin(), bytes.end(), '&') / 2, 8) << "rig " << rig;
    holeDepths.insert(HoleDepthSent(bytes));
    const std::string rigRoot = FleetRigRoot(root, rig);
    EXPECT_EQ(runner->Controller(rig)->Engine().m_strCsvPath.rfind(vorn::OutputFilesFolder(rigRoot), 0), 0u);
    EXPECT_EQ(runner->Controller(rig)->Engine().m_strWitsLogPath.rfind(vorn::WitsLogFilesFolder(rigRoot), 0), 0u);
  }
  EXPECT_EQ(holeDepths.size(), 3u);

  runner->Stop(0);
  EXPECT_NE(status.str().find("Fleet stopped: the state of every rig saved."), std::string::npos);
  std::vector<double> stoppedAt;
  for (int rig = 1; rig <= kRigs; ++rig) {
    EXPECT_FALSE(runner->Controller(rig)->IsRunning());
    CRigSim saved(clocks.Make());
    saved.m_strDataRoot = FleetRigRoot(root, rig);
    LoadSimState(saved);
    EXPECT_EQ(saved.m_fDepth, runner->Controller(rig)->Engine().m_fDepth);
    stoppedAt.push_back(saved.m_fDepth);
  }

  // Started again with the same seed, each rig goes on from where it stopped.
  runner.reset();
  MakeRunner(kRigs, 42);
  ASSERT_TRUE(runner->Start()) << status.str();
  Pass(2000);
  for (int rig = 1; rig <= kRigs; ++rig) {
    EXPECT_EQ(runner->Controller(rig)->Engine().m_settings.m_mode, SeededRigStart(42, rig).mode);
    EXPECT_NEAR(runner->Controller(rig)->Engine().m_fDepth, stoppedAt[static_cast<std::size_t>(rig - 1)], 5.0);
  }
}

TEST_F(FleetRunnerTest, WithoutASeedEveryRigStartsAtOnceFromTheRootsStateAndTheDurationEndsThemAll) {
  const uint16_t base = vorn::test::FreeConsecutivePorts(4);
  ASSERT_NE(base, 0);
  WriteRootFiles(base, 1234.5);
  MakeRunner(4, std::nullopt, 3.0);
  ASSERT_TRUE(runner->Start()) << status.str();
  EXPECT_EQ(runner->Ticker().TickingCount(), 4u);
  for (int rig = 1; rig <= 4; ++rig) {
    EXPECT_TRUE(runner->Controller(rig)->IsRunning());
    EXPECT_EQ(runner->Controller(rig)->Engine().m_fHoleDepth, 1234.5);
  }
  Pass(2900);
  EXPECT_TRUE(runner->Controller(1)->IsRunning());
  Pass(200);
  for (int rig = 1; rig <= 4; ++rig) EXPECT_FALSE(runner->Controller(rig)->IsRunning());
  EXPECT_NE(status.str().find("Fleet stopped"), std::string::npos);
}

TEST_F(FleetRunnerTest, ClientRigsAllConnectToTheRootsPeerEachWithItsOwnConnection) {
  QTcpServer aggregator;
  ASSERT_TRUE(aggregator.listen(QHostAddress::LocalHost, 0));
  WriteRootFiles(aggregator.serverPort(), 1000.0, TcpIp, Slave);
  MakeRunner(3, 9);
  ASSERT_TRUE(runner->Start()) << status.str();
  EXPECT_NE(status.str().find("TCP clients to 127.0.0.1:" + std::to_string(aggregator.serverPort())),
            std::string::npos);
  std::vector<QTcpSocket*> connections;
  for (int slice = 0; slice < 500 && connections.size() < 3; ++slice) {
    Pass(10);
    while (QTcpSocket* connection = aggregator.nextPendingConnection()) connections.push_back(connection);
  }
  ASSERT_EQ(connections.size(), 3u);
  Pass(10000);
  std::set<std::string> holeDepths;
  for (QTcpSocket* connection : connections) holeDepths.insert(HoleDepthSent(connection->readAll().toStdString()));
  EXPECT_EQ(holeDepths.size(), 3u);  // three rigs, three streams
  EXPECT_NE(status.str().find("3 links connected"), std::string::npos) << status.str();
}

TEST_F(FleetRunnerTest, ARootLinkThatCannotServeAFleetIsRefusedBeforeAnyRigIsMade) {
  WriteRootFiles(2000, 1000.0, Comm);
  MakeRunner(2, std::nullopt);
  EXPECT_FALSE(runner->Start());
  EXPECT_EQ(runner->ExitCode(), 1);
  EXPECT_NE(status.str().find("serial port"), std::string::npos);
  EXPECT_EQ(runner->RigCount(), 0u);
  EXPECT_FALSE(fs::exists(root + "/Fleet"));

  WriteRootFiles(65530);
  MakeRunner(7, std::nullopt);
  EXPECT_FALSE(runner->Start());
  EXPECT_NE(status.str().find("at most 6 rigs"), std::string::npos) << status.str();
}

TEST_F(FleetRunnerTest, ARigWhosePortIsTakenKeepsTryingAndTheOthersServeTheirReceivers) {
  const uint16_t base = vorn::test::FreeConsecutivePorts(3);
  ASSERT_NE(base, 0);
  QTcpServer squatter;
  ASSERT_TRUE(squatter.listen(QHostAddress::AnyIPv4, static_cast<quint16>(base + 1)));
  WriteRootFiles(base);
  MakeRunner(3, std::nullopt);
  ASSERT_TRUE(runner->Start()) << status.str();
  QTcpSocket first;
  QTcpSocket third;
  first.connectToHost("127.0.0.1", base);
  third.connectToHost("127.0.0.1", static_cast<quint16>(base + 2));
  Pass(10000);
  EXPECT_NE(status.str().find("Fleet: 3 of 3 rigs running, 2 links connected, 1 trying to connect, "),
            std::string::npos)
      << status.str();
  EXPECT_GT(third.bytesAvailable(), 0);
}

}  // namespace
