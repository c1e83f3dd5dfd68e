#include <gtest/gtest.h>

#include <QEventLoop>
#include <QTcpSocket>
#include <QTimer>
#include <cstdlib>
#include <fstream>
#include <string>

#include "engine/RigSim.h"
#include "engine/RunControl.h"
#include "support/DataRoot.h"
#include "support/ProfileSection.h"
#include "tests/common/EventWait.h"
#include "tests/common/TestEnvironment.h"

namespace {

struct HookLog {
  int loads = 0;
  int saves = 0;
  int ticks = 0;
  std::vector<std::string> failures;
  std::vector<bool> running;

  RunHooks Make() {
    RunHooks hooks;
    hooks.loadState = [this] { ++loads; };
    hooks.saveState = [this] { ++saves; };
    hooks.afterTick = [this] { ++ticks; };
    hooks.reportFailure = [this](const std::string& message) { failures.push_back(message); };
    hooks.runningChanged = [this](bool on) { running.push_back(on); };
    return hooks;
  }
};

// Points the data root somewhere no folder can be made, for the life of the object.
class UnwritableDataRoot {
 public:
  UnwritableDataRoot() : m_old(vorn::DataRootFolder()) {
    const std::string folder = vorn::test::MakeScratchFolder("unwritable-root");
    const std::string blocker = folder + "/file";
    std::ofstream(blocker) << "not a folder";
    setenv("VORN_RIG_SIM_ROOT", (blocker + "/root").c_str(), 1);
  }
  ~UnwritableDataRoot() { setenv("VORN_RIG_SIM_ROOT", m_old.c_str(), 1); }

 private:
  std::string m_old;
};

TEST(RunControlTest, AFailedStartReportsItAndArmsNothing) {
  UnwritableDataRoot root;
  CRigSim engine;
  engine.m_pumpsMessage = nullptr;
  HookLog log;
  CRunControl run(engine, log.Make());

  run.OnRunClicked(true);

  EXPECT_EQ(log.loads, 1);
  ASSERT_EQ(log.failures.size(), 1u);
  EXPECT_EQ(log.failures[0].rfind("Failed to Connect: Unable to Open output file: ", 0), 0u) << log.failures[0];
  EXPECT_NE(log.failures[0].find(".csv"), std::string::npos);
  EXPECT_EQ(run.RunFlag(), 0);
  EXPECT_FALSE(run.IsRunning());
  EXPECT_TRUE(log.running.empty());  // no control locked
}

// Whether a connect to the loopback port is refused (nothing listens there).
bool ConnectRefused(uint16_t port) {
  QTcpSocket socket;
  socket.connectToHost("127.0.0.1", port);
  vorn::test::WaitUntil(
      [&] {
        return socket.state() == QAbstractSocket::ConnectedState ||
               socket.error() != QAbstractSocket::UnknownSocketError;
      },
      5000);
  return socket.error() == QAbstractSocket::ConnectionRefusedError;
}

TEST(RunControlTest, AFailedStartLeavesNeitherLinkOpen) {
  vorn::CProfileSection local("_Local", "");
  local.WriteInt("Enable Skid Sim Comms", 1);
  UnwritableDataRoot root;
  CRigSim engine;
  local.WriteInt("Enable Skid Sim Comms", 0);
  engine.m_pumpsMessage = nullptr;
  CWitsCommSettings link;  // a Master, as the WITS link and the skid link one port above
  const uint16_t port = vorn::test::FreePort();
  link.nTcpIpPort = port;
  engine.SetCommSettings(link);
  ASSERT_TRUE(engine.SkidLinkEnabled());
  HookLog log;
  CRunControl run(engine, log.Make());

  run.OnRunClicked(true);

  ASSERT_EQ(log.failures.size(), 1u);
  EXPECT_EQ(engine.m_witsLink.m_state, Closed);
  EXPECT_EQ(engine.m_skidLink.m_state, Closed);
  EXPECT_TRUE(ConnectRefused(port));
  EXPECT_TRUE(ConnectRefused(static_cast<uint16_t>(port + 1)));
}

TEST(RunControlTest, ARunTicksUntilItIsEndedAndEndSavesTheState) {
  vorn::CreateDataFolders();
  CRigSim engine;
  engine.m_pumpsMessage = nullptr;
  HookLog log;
  CRunControl run(engine, log.Make());

  run.OnRunClicked(true);
  ASSERT_TRUE(run.IsRunning());
  EXPECT_EQ(log.running, std::vector<bool>{true});

  // Real timer, bounded wait: three ticks come within about 300 ms.
  QEventLoop loop;
  QTimer deadline;
  deadline.setSingleShot(true);
  QObject::connect(&deadline, &QTimer::timeout, &loop, &QEventLoop::quit);
  QTimer poll;
  QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
    if (log.ticks >= 3) loop.quit();
  });
  poll.start(10);
  deadline.start(1500);
  loop.exec();
  EXPECT_GE(log.ticks, 3);
  EXPECT_TRUE(engine.m_lastTickTime.has_value());

  run.OnRunClicked(false);
  EXPECT_FALSE(run.IsRunning());
  EXPECT_EQ(log.saves, 1);
  EXPECT_EQ(log.running, (std::vector<bool>{true, false}));
  EXPECT_EQ(engine.m_witsLink.m_state, Closed);

  const int ticks = log.ticks;
  QTimer::singleShot(250, &loop, &QEventLoop::quit);
  loop.exec();
  EXPECT_EQ(log.ticks, ticks);

  run.EndRun();  // safe when not running, and saves again
  EXPECT_EQ(log.saves, 2);
}

}  // namespace
