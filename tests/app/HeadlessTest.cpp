// The real simulator binary, headless, against real loopback TCP peers in a temporary data root.
#include <gtest/gtest.h>

#include <QProcess>
#include <QStandardPaths>
#include <QTcpServer>
#include <QTcpSocket>
#include <cstdlib>
#include <filesystem>
#include <chrono>
#include <csignal>
#include <fstream>
#include <memory>
#include <random>
#include <iterator>
#include <regex>
#include <set>
#include <sstream>

#include "engine/RigSim.h"
#include "persist/SettingsFiles.h"
#include "support/DataRoot.h"
#include "support/ProfileSection.h"
#include "tests/app/HeadlessProcess.h"
#include "tests/comms/LinkTestParts.h"
#include "tests/common/EventWait.h"
#include "tests/common/SerialLine.h"
#include "tests/common/TestEnvironment.h"

namespace {

namespace fs = std::filesystem;
using vorn::test::FreePort;
using vorn::test::WaitUntil;

std::string ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

// The status lines that contain `text`.
std::vector<std::string> LinesWith(const std::string& status, const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(status);
  for (std::string line; std::getline(in, line);) {
    if (line.find(text) != std::string::npos) lines.push_back(line);
  }
  return lines;
}

std::string FirstFileIn(const fs::path& folder) {
  std::error_code ec;
  for (const auto& entry : fs::directory_iterator(folder, ec)) return entry.path().string();
  return {};
}

// Frames as they arrive on a plain TCP client.
class FrameClient {
 public:
  bool Connect(uint16_t port, int timeoutMs = 10000) {
    return WaitUntil(
        [&] {
          if (m_socket.state() == QAbstractSocket::ConnectedState) return true;
          if (m_socket.state() == QAbstractSocket::UnconnectedState) m_socket.connectToHost("127.0.0.1", port);
          return false;
        },
        timeoutMs);
  }
  void Attach(QTcpSocket* socket) { m_attached = socket; }
  QTcpSocket& Socket() { return m_attached ? *m_attached : m_socket; }

  // Whole frames received so far, in order.
  std::vector<std::string> Frames() {
    m_bytes += Socket().readAll().toStdString();
    std::vector<std::string> frames;
    size_t from = 0;
    while (true) {
      const size_t start = m_bytes.find("&&", from);
      if (start == std::string::npos) break;
      const size_t end = m_bytes.find("!!\r\n", start);
      if (end == std::string::npos) break;
      frames.push_back(m_bytes.substr(start, end + 4 - start));
      from = end + 4;
    }
    return frames;
  }
  bool WaitForFrames(size_t count, int timeoutMs) {
    return WaitUntil([&] { return Frames().size() >= count; }, timeoutMs);
  }
  void Send(const std::string& text) {
    Socket().write(text.data(), static_cast<qint64>(text.size()));
    Socket().flush();
  }
  void ClearReceived() {
    Frames();
    m_bytes.clear();
  }

 private:
  QTcpSocket m_socket;
  QTcpSocket* m_attached = nullptr;
  std::string m_bytes;
};

class HeadlessTest : public ::testing::Test {
 protected:
  void SetUp() override {
    m_oldRoot = vorn::DataRootFolder();
    m_root = vorn::test::MakeScratchFolder(::testing::UnitTest::GetInstance()->current_test_info()->name());
    setenv("VORN_RIG_SIM_ROOT", m_root.c_str(), 1);
    vorn::CreateDataFolders();
  }
  void TearDown() override {
    vorn::CProfileSection("_Local", "").WriteInt("Enable Skid Sim Comms", 0);
    setenv("VORN_RIG_SIM_ROOT", m_oldRoot.c_str(), 1);
  }

  // Writes the settings files the simulator will start from.
  void WriteSettings(const std::function<void(CSimSettings&)>& tweak, const CWitsCommSettings& link) {
    CRigSim engine;
    engine.m_pumpsMessage = nullptr;
    tweak(engine.m_settings);
    SaveSimSettings(engine);
    engine.SetCommSettings(link);
    SaveWitsCommSettings(engine);
  }

  static CWitsCommSettings Link(int tcpIpType, uint16_t port) {
    CWitsCommSettings link;
    link.commType = TcpIp;
    link.tcpIpType = tcpIpType;
    link.nTcpIpPort = port;
    link.strIpAddress = "127.0.0.1";
    return link;
  }

  fs::path Root() const { return m_root; }

 private:
  std::string m_oldRoot;
  std::string m_root;
};

TEST_F(HeadlessTest, ServerRoleSendsFramesLogsArrivalsAndEndsCleanlyOnSigterm) {
  const uint16_t port = FreePort();
  WriteSettings(
      [](CSimSettings& s) {
        s.m_mode = Idle;  // nothing moves, so every frame holds the default starting state
        s.m_fCalcOutputInterval = 0.1;
        s.m_fWitsOutInterval = 0.3;
        s.m_fWriteFileInterval = 0.3;
      },
      Link(Master, port));
  HeadlessProcess simulator({});
  ASSERT_TRUE(simulator.WaitForStarted());
  FrameClient client;
  ASSERT_TRUE(client.Connect(port)) << simulator.Status();
  ASSERT_TRUE(client.WaitForFrames(2, 10000)) << simulator.Status();

  const std::string expected =
      "&&\r\n0108" "1000\r\n0110" "1000\r\n0112" "0\r\n0113" "0\r\n0114" "60\r\n0145" "0\r\n0144" "1\r\n"
      "0120" "0\r\n0130" "0\r\n0121" "0\r\n0123" "0\r\n0124" "0\r\n0116" "40\r\n0118" "200\r\n!!\r\n";
  EXPECT_EQ(client.Frames().front(), expected);

  client.Send("&&\r\n0108123.4\r\n!!\r\n");
  const fs::path logFolder = Root() / "WitsLogFiles";
  EXPECT_TRUE(WaitUntil([&] { return ReadFile(FirstFileIn(logFolder)).find("IN ") != std::string::npos; }, 10000));

  EXPECT_EQ(simulator.Terminate(), 0) << simulator.Status();
  EXPECT_TRUE(fs::exists(Root() / "Settings" / "SimState.json"));
  const std::string csv = ReadFile(FirstFileIn(Root() / "OutputFiles"));
  EXPECT_EQ(csv.rfind("TIME,DEPTH,HOLE_DEPTH,", 0), 0u) << csv;
  EXPECT_GE(std::count(csv.begin(), csv.end(), '\n'), 2) << csv;
  const std::string log = ReadFile(FirstFileIn(logFolder));
  EXPECT_NE(log.find("OUT "), std::string::npos);
  EXPECT_NE(log.find("\r\n"), std::string::npos);
  EXPECT_NE(simulator.Status().find("Run stopped."), std::string::npos);
}

TEST_F(HeadlessTest, PingModeSendsOneFramePerArrivalAndNoneOnTheClock) {
  const uint16_t port = FreePort();
  WriteSettings(
      [](CSimSettings& s) {
        s.m_bRequiresPing = true;
        s.m_fWitsOutInterval = 0.1;
      },
      Link(Master, port));
  HeadlessProcess simulator({});
  ASSERT_TRUE(simulator.WaitForStarted());
  FrameClient client;
  ASSERT_TRUE(client.Connect(port)) << simulator.Status();
  ASSERT_TRUE(simulator.WaitForStatus("Client Connected", 10000)) << simulator.Status();
  EXPECT_FALSE(client.WaitForFrames(1, 1000));  // a second of silence

  client.Send("?");
  EXPECT_TRUE(client.WaitForFrames(1, 5000));
  EXPECT_FALSE(client.WaitForFrames(2, 700));
  client.Send("?");
  EXPECT_TRUE(client.WaitForFrames(2, 5000));
  EXPECT_EQ(simulator.Terminate(), 0);
}

TEST_F(HeadlessTest, ClientRoleConnectsOutAndReconnectsAfterTheServerCloses) {
  const uint16_t port = FreePort();
  WriteSettings([](CSimSettings& s) { s.m_fWitsOutInterval = 0.2; }, Link(Slave, port));
  QTcpServer server;
  ASSERT_TRUE(server.listen(QHostAddress::LocalHost, port));
  HeadlessProcess simulator({});
  ASSERT_TRUE(simulator.WaitForStarted());

  ASSERT_TRUE(WaitUntil([&] { return server.hasPendingConnections(); }, 10000)) << simulator.Status();
  {
    FrameClient peer;
    QTcpSocket* socket = server.nextPendingConnection();
    peer.Attach(socket);
    EXPECT_TRUE(peer.WaitForFrames(1, 5000));
    socket->close();
  }
  server.close();
  ASSERT_TRUE(server.listen(QHostAddress::LocalHost, port));
  ASSERT_TRUE(WaitUntil([&] { return server.hasPendingConnections(); }, 10000)) << simulator.Status();
  FrameClient again;
  again.Attach(server.nextPendingConnection());
  EXPECT_TRUE(again.WaitForFrames(1, 5000));
  EXPECT_EQ(simulator.Terminate(), 0);
}

TEST_F(HeadlessTest, SkidCommandHalvesTheFlowOfTheNextFrames) {
  vorn::CProfileSection("_Local", "").WriteInt("Enable Skid Sim Comms", 1);
  const uint16_t port = FreePort();
  WriteSettings(
      [](CSimSettings& s) {
        s.fPipeSpeed_PickingUp = 0.001;  // stays picking up, pumps on
        s.m_fWitsOutInterval = 0.2;
        s.m_fCalcOutputInterval = 0.1;
      },
      Link(Master, port));
  HeadlessProcess simulator({});
  ASSERT_TRUE(simulator.WaitForStarted());
  FrameClient wits;
  ASSERT_TRUE(wits.Connect(port)) << simulator.Status();
  const auto sawFlow = [&](const std::string& line) {
    for (const auto& frame : wits.Frames()) {
      if (frame.find("\r\n" + line + "\r\n") != std::string::npos) return true;
    }
    return false;
  };
  ASSERT_TRUE(WaitUntil([&] { return sawFlow("0130400"); }, 10000)) << simulator.Status();

  FrameClient skid;
  ASSERT_TRUE(skid.Connect(static_cast<uint16_t>(port + 1))) << simulator.Status();
  skid.Send("&&\r\nDP:50\r\n!!\r\n");
  wits.ClearReceived();
  EXPECT_TRUE(WaitUntil([&] { return sawFlow("0130200"); }, 10000)) << simulator.Status();
  EXPECT_EQ(simulator.Terminate(), 0);
}

TEST_F(HeadlessTest, AnOutputFolderThatCannotBeWrittenFailsTheStart) {
  WriteSettings([](CSimSettings&) {}, Link(Master, FreePort()));
  fs::remove_all(Root() / "OutputFiles");
  std::ofstream(Root() / "OutputFiles") << "a file where the folder belongs";
  HeadlessProcess simulator({});
  ASSERT_TRUE(simulator.WaitForStarted());
  EXPECT_EQ(simulator.WaitForExit(15000), 1);
  EXPECT_NE(simulator.Status().find("Failed to Connect: Unable to Open output file: "), std::string::npos)
      << simulator.Status();
}

TEST_F(HeadlessTest, AStateThatCannotBeSavedAtTheStopIsReportedAndExitsOne) {
  WriteSettings([](CSimSettings&) {}, Link(Master, FreePort()));
  fs::create_directory(Root() / "Settings" / "SimState.json");  // no file can take its place
  HeadlessProcess simulator({});
  ASSERT_TRUE(simulator.WaitForStarted());
  ASSERT_TRUE(simulator.WaitForStatus("Run started.", 10000)) << simulator.Status();
  EXPECT_EQ(simulator.Terminate(), 1);  // a stop that lost the state is no success
  const std::string line = "State not saved: unable to write " + (Root() / "Settings" / "SimState.json").string();
  EXPECT_NE(simulator.Status().find(line + "\n"), std::string::npos) << simulator.Status();
}

TEST_F(HeadlessTest, HistoryCsvIsWrittenWhenTheRunStopsAndOnlyWhenAskedFor) {
  WriteSettings([](CSimSettings&) {}, Link(Master, FreePort()));
  const fs::path csv = Root() / "history.csv";
  HeadlessProcess simulator({"--duration", "1.5", "--history-csv", QString::fromStdString(csv.string())});
  ASSERT_TRUE(simulator.WaitForStarted());
  EXPECT_EQ(simulator.WaitForExit(30000), 0);
  EXPECT_NE(simulator.Status().find("History CSV: " + csv.string() + "\n"), std::string::npos) << simulator.Status();
  std::ifstream in(csv, std::ios::binary);
  std::string header;
  ASSERT_TRUE(std::getline(in, header));
  EXPECT_TRUE(header.starts_with("Time,Elapsed,DEPTH min,DEPTH max,HOLE_DEPTH min,")) << header;
  EXPECT_TRUE(header.ends_with("\r"));
  int rows = 0;
  for (std::string line; std::getline(in, line);) ++rows;
  EXPECT_GE(rows, 10);  // a row for each tick of 1.5 s

  // Without the option no history file and no line about one.
  HeadlessProcess plain({"--duration", "0.5"});
  ASSERT_TRUE(plain.WaitForStarted());
  EXPECT_EQ(plain.WaitForExit(30000), 0);
  EXPECT_EQ(plain.Status().find("History CSV"), std::string::npos);
}

TEST_F(HeadlessTest, TenTimesSpeedRunsTheDrillCycleInOrder) {
  WriteSettings(
      [](CSimSettings& s) {
        for (double* step : {&s.m_fTimeToWaitForReleasingSlips_sec, &s.m_fTimeToTurnOnPumps_sec,
                             &s.m_fTimeToTurnOffPumps_sec, &s.m_fTimeToPauseAfterPumpsOff_sec,
                             &s.m_fTimeToPauseAfterPumpsOn_sec, &s.m_fTimeToWaitForSettingsSlips_sec}) {
          *step = 2.0;  // 0.2 s at ten-times speed
        }
        s.m_fStandLength = 1.0;
        s.m_fDepthToSlide = 0.5;
        s.fPipeSpeed_PickingUp = 10000.0;
        s.fPipeSpeed_Wipe = 10000.0;
        s.fPipeSpeed_Drill_Slide = 1000.0;
        s.fPipeSpeed_Drill_Rotating = 2000.0;
      },
      Link(Master, FreePort()));
  HeadlessProcess simulator({"--ten-times", "--duration", "6"});
  ASSERT_TRUE(simulator.WaitForStarted());
  EXPECT_EQ(simulator.WaitForExit(30000), 0);
  const std::string status = simulator.Status();
  size_t at = 0;
  for (const std::string& name : SubStateNames(Drill)) {
    if (name == "Idle") continue;
    const size_t found = status.find("Sub-state " + name + "\n", at);
    ASSERT_NE(found, std::string::npos) << name << " after position " << at << " in\n" << status;
    at = found;
  }
}

TEST_F(HeadlessTest, SigtermAtTheVeryStartStillSavesTheStateAndExitsZero) {
  WriteSettings([](CSimSettings&) {}, Link(Master, FreePort()));
  const fs::path state = Root() / "Settings" / "SimState.json";
  for (int round = 0; round < 5; ++round) {
    fs::remove(state);
    HeadlessProcess simulator({}, HeadlessProcess::StopSignalsAtStart::Blocked);
    ASSERT_TRUE(simulator.WaitForStarted());
    ASSERT_EQ(simulator.Terminate(30000), 0) << "round " << round << "\n" << simulator.Status();
    EXPECT_TRUE(fs::exists(state)) << "round " << round;
    EXPECT_EQ(LinesWith(simulator.Status(), " Run stopped. ").size(), 1u) << simulator.Status();
  }
}

// Whether the process holds SIGTERM blocked (its status's "SigBlk" mask).
bool HoldsStopSignalBlocked(qint64 pid) {
  std::ifstream status("/proc/" + std::to_string(pid) + "/status");
  for (std::string line; std::getline(status, line);) {
    if (line.starts_with("SigBlk:")) return (std::stoull(line.substr(7), nullptr, 16) >> (SIGTERM - 1)) & 1;
  }
  return false;
}

// SIGTERM at a random moment of the first 100 ms of the program, 100 starts (ten at a time, each in
// its own data root): every one ends the run cleanly and exits 0. The moments count from the
// program's first act, blocking the signals, or from 10 ms after the exec when none is seen (a
// signal during the kernel's exec itself reaches no code of any program).
TEST_F(HeadlessTest, SigtermAtAnyMomentOfTheStartEndsTheRunCleanly) {
  constexpr int kRounds = 100;
  constexpr int kAtOnce = 10;
  std::vector<fs::path> roots;
  for (int slot = 0; slot < kAtOnce; ++slot) {
    roots.push_back(Root() / ("slot" + std::to_string(slot)));
    setenv("VORN_RIG_SIM_ROOT", roots.back().c_str(), 1);
    vorn::CreateDataFolders();
    WriteSettings([](CSimSettings&) {}, Link(Master, FreePort()));
  }
  setenv("VORN_RIG_SIM_ROOT", Root().c_str(), 1);
  std::mt19937 random(20261211);
  std::uniform_int_distribution<int> delayUs(0, 100'000);
  using Clock = std::chrono::steady_clock;
  for (int round = 0; round < kRounds; round += kAtOnce) {
    std::vector<std::unique_ptr<HeadlessProcess>> simulators;
    std::vector<Clock::time_point> due;
    for (const fs::path& root : roots) {
      simulators.push_back(std::make_unique<HeadlessProcess>(QStringList{"--root", QString::fromStdString(root)}));
      ASSERT_TRUE(simulators.back()->WaitForStarted());
      const Clock::time_point exec = Clock::now();
      const qint64 pid = simulators.back()->Pid();
      while (!HoldsStopSignalBlocked(pid) && Clock::now() - exec < std::chrono::milliseconds(10)) {
      }
      due.push_back(Clock::now() + std::chrono::microseconds(delayUs(random)));
    }
    for (size_t sent = 0; sent < simulators.size();) {
      sent = 0;
      for (size_t i = 0; i < simulators.size(); ++i) {
        if (due[i] == Clock::time_point::max()) {
          ++sent;
        } else if (Clock::now() >= due[i]) {
          ::kill(static_cast<pid_t>(simulators[i]->Pid()), SIGTERM);
          due[i] = Clock::time_point::max();
        }
      }
    }
    for (size_t i = 0; i < simulators.size(); ++i) {
      EXPECT_EQ(simulators[i]->WaitForExit(60000), 0) << "round " << round + i << "\n" << simulators[i]->Status();
    }
  }
}

TEST_F(HeadlessTest, ALinkThatKeepsRetryingPrintsOneLineNotOneEveryTick) {
  fs::create_directories(vorn::PortsFolder());
  fs::create_symlink("/nonexistent/serial-device", vorn::PortsFolder() + "/COM78");
  WriteSettings([](CSimSettings&) {}, vorn::test::SerialSettings(78, 9600));
  HeadlessProcess simulator({"--duration", "2"});
  ASSERT_TRUE(simulator.WaitForStarted());
  ASSERT_EQ(simulator.WaitForExit(30000), 0) << simulator.Status();
  const std::vector<std::string> links = LinesWith(simulator.Status(), " Link ");
  ASSERT_EQ(links.size(), 2u) << simulator.Status();
  EXPECT_NE(links[0].find(" Link Trying to Connect: Trying to Connect to Comm Port 78 @ "), std::string::npos);
  EXPECT_NE(links[1].find(" Link Closed: "), std::string::npos);
}

// Every bit rate the program sets on its serial port, read from a system-call trace of the real
// binary: "B19200" and the like.
std::set<std::string> BitRatesSet(const std::string& trace) {
  std::set<std::string> rates;
  const std::regex rate("c_cflag=(B[0-9]+)");
  for (auto it = std::sregex_iterator(trace.begin(), trace.end(), rate); it != std::sregex_iterator(); ++it) {
    rates.insert((*it)[1].str());
  }
  return rates;
}

TEST_F(HeadlessTest, ASerialRunSetsNoBitRateButTheConfiguredOne) {
  if (!vorn::test::SerialLine::Available()) GTEST_SKIP() << "socat is not installed";
  if (QStandardPaths::findExecutable("strace").isEmpty()) GTEST_SKIP() << "strace is not installed";
  vorn::test::SerialLine line(vorn::PortsFolder() + "/COM5");
  ASSERT_TRUE(line.Ready());
  ASSERT_TRUE(line.Stty({"4800"}));  // the rate the device has before the run
  WriteSettings([](CSimSettings&) {}, vorn::test::SerialSettings(5, 19200));

  const std::string trace = (Root() / "ioctl.trace").string();
  QProcess traced;
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  environment.insert("ASAN_OPTIONS", "detect_leaks=0");  // the leak check cannot run under a tracer
  traced.setProcessEnvironment(environment);
  traced.start("strace", {"-f", "-qq", "-e", "trace=ioctl", "-o", QString::fromStdString(trace),
                          VORN_SIMULATOR_BINARY, "--headless", "--duration", "1"});
  ASSERT_TRUE(traced.waitForStarted(10000));
  ASSERT_TRUE(WaitUntil([&] { return traced.state() == QProcess::NotRunning; }, 60000));
  const std::string status = traced.readAllStandardError().toStdString();
  if (status.find("ptrace") != std::string::npos) GTEST_SKIP() << "tracing is not allowed here: " << status;
  ASSERT_EQ(traced.exitCode(), 0) << status;
  ASSERT_NE(status.find("Link Connected: Connected to Comm Port 5  baudrate = 19200"), std::string::npos) << status;

  const std::set<std::string> rates = BitRatesSet(ReadFile(trace));
  EXPECT_TRUE(rates.count("B19200"));
  for (const std::string& rate : rates) {
    EXPECT_TRUE(rate == "B19200" || rate == "B4800") << rate << " was set on the port";
  }
}

TEST_F(HeadlessTest, AReplayedLasFileGoesToTheRunFilesAndSaysItsBadRowOnce) {
  WriteSettings([](CSimSettings&) {}, Link(Master, FreePort()));
  const fs::path las = Root() / "well.las";
  std::ofstream(las, std::ios::binary) << "~V\nVERS. 2.0 :\n~C\nTIME.S :\nHKLD.klb :\nXYZ.x :\n~A\n0 111 1\nbad\n1 112 2\n";
  HeadlessProcess simulator({"--duration", "1.5", "--replay", QString::fromStdString(las.string()), "--replay-loop"});
  ASSERT_TRUE(simulator.WaitForStarted());
  EXPECT_EQ(simulator.WaitForExit(30000), 0);
  const std::string status = simulator.Status();
  EXPECT_NE(status.find("Replay: well.las: not sent: XYZ (no WITS item)\n"), std::string::npos) << status;
  EXPECT_NE(status.find("Replay: well.las: LAS 2.0, time-indexed, 2 curves, 1 sent\n"), std::string::npos) << status;
  EXPECT_NE(status.find("Replay: well.las: line 9: the index \"bad\" is not a time; row skipped"),
            std::string::npos) << status;
  const std::string csv = ReadFile(FirstFileIn(Root() / "OutputFiles"));
  EXPECT_TRUE(csv.starts_with("TIME,HKLD\r\n")) << csv.substr(0, 100);
  EXPECT_NE(csv.find(",111\r\n"), std::string::npos) << csv.substr(0, 200);
  HeadlessProcess missing({"--duration", "1", "--replay", QString::fromStdString((Root() / "none.las").string())});
  ASSERT_TRUE(missing.WaitForStarted());
  EXPECT_EQ(missing.WaitForExit(30000), 1);
  EXPECT_NE(missing.Status().find("Replay: none.las: cannot be read: No such file or directory"), std::string::npos)
      << missing.Status();
}

}  // namespace

TEST_F(HeadlessTest, FaultOptionsShapeTheFramesAndEachFaultGetsAStatusLine) {
  const uint16_t port = FreePort();
  WriteSettings(
      [](CSimSettings& s) {
        s.m_mode = Idle;
        s.m_fCalcOutputInterval = 0.1;
        s.m_fWitsOutInterval = 0.2;
      },
      Link(Master, port));
  HeadlessProcess simulator({"--fault", "line-ends:style=lf,every=2", "--seed", "7"});
  ASSERT_TRUE(simulator.WaitForStarted());
  QTcpSocket client;
  std::string bytes;
  ASSERT_TRUE(WaitUntil(
      [&] {
        if (client.state() == QAbstractSocket::UnconnectedState) client.connectToHost("127.0.0.1", port);
        bytes += client.readAll().toStdString();
        return bytes.find("!!\n&&\r\n") != std::string::npos && bytes.find("!!\r\n&&\n") != std::string::npos;
      },
      15000))
      << simulator.Status();
  EXPECT_TRUE(simulator.WaitForStatus(" Fault line-ends:style=lf,every=2\n", 5000)) << simulator.Status();
  EXPECT_EQ(simulator.Terminate(), 0);
  const std::string log = ReadFile(FirstFileIn(Root() / "WitsLogFiles"));
  const std::size_t fault = log.find(" line-ends:style=lf,every=2\r\n");
  ASSERT_NE(fault, std::string::npos) << log.substr(0, 400);
  EXPECT_EQ(log.rfind("FAULT ", fault), log.rfind("\r\n", fault) + 2);  // its own entry
}

TEST_F(HeadlessTest, AnUnknownFaultOrAnUnreadablePlanExitsTwoAndRunsNothing) {
  HeadlessProcess unknown({"--fault", "hiccup"});
  ASSERT_TRUE(unknown.WaitForStarted());
  EXPECT_EQ(unknown.WaitForExit(10000), 2);
  EXPECT_NE(unknown.Status().find("Invalid value for --fault: 'hiccup': Unknown fault 'hiccup'"), std::string::npos)
      << unknown.Status();
  const fs::path plan = Root() / "plan.json";
  {
    std::ofstream(plan) << R"([{"at": 1, "fault": "split", "pieces": 1}])";
  }
  HeadlessProcess badPlan({"--fault-plan", QString::fromStdString(plan.string())});
  ASSERT_TRUE(badPlan.WaitForStarted());
  EXPECT_EQ(badPlan.WaitForExit(10000), 2);
  EXPECT_NE(badPlan.Status().find("Fault plan, entry 1: Fault 'split': parameter 'pieces'"), std::string::npos)
      << badPlan.Status();
  EXPECT_TRUE(fs::is_empty(Root() / "WitsLogFiles"));
}

TEST_F(HeadlessTest, AQuietLinkGetsKeepAlivePacketsAndValidFramesAreAnswered) {
  const uint16_t port = FreePort();
  CWitsCommSettings link = Link(Master, port);
  link.fKeepAliveInterval = 0.3;
  link.answerMode = AnswerValidOneFrame;
  WriteSettings([](CSimSettings& s) { s.m_bRequiresPing = true; }, link);  // no frames on the clock
  HeadlessProcess simulator({});
  ASSERT_TRUE(simulator.WaitForStarted());
  FrameClient client;
  ASSERT_TRUE(client.Connect(port)) << simulator.Status();
  const std::string keepAlive = "&&\r\n0111-9999\r\n!!\r\n";
  ASSERT_TRUE(WaitUntil([&] { return client.Frames().size() >= 2; }, 10000)) << simulator.Status();
  EXPECT_EQ(client.Frames()[0], keepAlive);
  EXPECT_EQ(client.Frames()[1], keepAlive);

  client.Send("no frame here");  // answered by nothing
  client.Send("&&\r\n0108123.4\r\n!!\r\n");  // answered by one frame of the items
  ASSERT_TRUE(WaitUntil(
      [&] {
        for (const std::string& frame : client.Frames()) {
          if (frame.rfind("&&\r\n0108", 0) == 0) return true;
        }
        return false;
      },
      10000))
      << simulator.Status();
  EXPECT_EQ(simulator.Terminate(), 0);
  const std::string log = ReadFile(FirstFileIn(Root() / "WitsLogFiles"));
  EXPECT_NE(log.find("\r\n&&\r\n0111-9999\r\n!!\r\n"), std::string::npos) << log.substr(0, 300);
}

TEST_F(HeadlessTest, AWellFileThatDoesNotReadExitsWithTwoNamingTheMember) {
  WriteSettings([](CSimSettings&) {}, Link(Master, FreePort()));
  const fs::path well = Root() / "bad-well.json";
  std::ofstream(well) << R"({"formations": [{"name": "A", "top": 100}, {"name": "B", "top": 50}]})";
  HeadlessProcess simulator({"--well", QString::fromStdString(well.string())});
  ASSERT_TRUE(simulator.WaitForStarted());
  EXPECT_EQ(simulator.WaitForExit(15000), 2);
  EXPECT_NE(simulator.Status().find("\"formations[1].top\""), std::string::npos) << simulator.Status();
}

TEST_F(HeadlessTest, AWellFileIsDrilledAndRemembered) {
  WriteSettings([](CSimSettings&) {}, Link(Master, FreePort()));
  HeadlessProcess simulator(
      {"--well", QString::fromStdString(std::string(VORN_SOURCE_DIR) + "/examples/wells/land-metric.json")});
  ASSERT_TRUE(simulator.WaitForStarted());
  ASSERT_TRUE(simulator.WaitForStatus("Run started.", 10000)) << simulator.Status();
  EXPECT_EQ(simulator.Terminate(), 0);
  std::ifstream settings(Root() / "Settings" / "SimSettings.json");
  const std::string text((std::istreambuf_iterator<char>(settings)), std::istreambuf_iterator<char>());
  EXPECT_NE(text.find("\"WellFile\""), std::string::npos);
  EXPECT_NE(text.find("land-metric.json"), std::string::npos);
}
