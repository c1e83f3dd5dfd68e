// A fleet in the real binary: real ports, receivers, files and signals.
#include <gtest/gtest.h>

#include <QTcpSocket>
#include <filesystem>
#include <fstream>
#include <memory>
#include <regex>
#include <set>

#include "fleet/FleetPlan.h"
#include "support/DataRoot.h"
#include "tests/app/HeadlessProcess.h"
#include "tests/common/EventWait.h"
#include "tests/control/HttpClient.h"
#include "tests/engine/EngineFixture.h"
#include "tests/fleet/FleetPorts.h"

namespace {

namespace fs = std::filesystem;
using vorn::test::WaitUntil;

std::size_t FilesIn(const fs::path& folder) {
  std::error_code error;
  std::size_t count = 0;
  for (auto it = fs::directory_iterator(folder, error); !error && it != fs::directory_iterator(); it.increment(error)) {
    ++count;
  }
  return count;
}

// The root's link: servers from `port`.
void WriteRootLink(int port) {
  const std::string folder = vorn::DataRootFolder() + "/Settings";
  fs::create_directories(folder);
  std::ofstream(folder + "/WitsCommSettings.json")
      << R"({"Version": 1, "WitsCommSettings": {"commType": 1, "tcpIpType": 0, "nTcpIpPort": )" << port << "}}";
}

TEST(FleetProcessTest, TwentySeededRigsServeTwentyDifferentStreamsAndATermSavesEveryOne) {
  constexpr int kRigs = 20;
  const uint16_t base = vorn::test::FreeConsecutivePorts(kRigs);
  ASSERT_NE(base, 0);
  WriteRootLink(base);
  const auto started = fs::file_time_type::clock::now();
  const uint16_t controlPort = vorn::test::FreePort();
  HeadlessProcess fleet({"--fleet", QString::number(kRigs), "--fleet-seed", "2026", "--control",
                         QString::number(controlPort)});
  ASSERT_TRUE(fleet.WaitForStarted());
  ASSERT_TRUE(fleet.WaitForStatus("Control API on", 20000)) << fleet.Status();
  EXPECT_NE(fleet.Status().find("Fleet of 20 rigs"), std::string::npos);

  // The control API addresses each rig by its number.
  vorn::test::CHttpClient api(controlPort);
  const vorn::test::HttpAnswer third = api.Get("/api/v1/rigs/3/status");
  EXPECT_EQ(third.status, 200);
  EXPECT_NE(third.body.find("/Fleet/Rig3\""), std::string::npos) << third.body;
  const vorn::test::HttpAnswer link = api.Get("/api/v1/rigs/3/link");
  EXPECT_NE(link.body.find("\"nTcpIpPort\":" + std::to_string(base + 2)), std::string::npos) << link.body;
  const vorn::test::HttpAnswer plain = api.Get("/api/v1/status");
  EXPECT_EQ(plain.status, 404);
  EXPECT_NE(plain.body.find("the fleet's rigs are 1 to 20"), std::string::npos) << plain.body;
  EXPECT_EQ(api.Get("/api/v1/rigs/21/status").status, 404);

  // Every rig has started within one output interval (2 s); a receiver on each of the 20 ports.
  std::vector<std::unique_ptr<QTcpSocket>> receivers;
  std::vector<std::string> received(kRigs);
  for (int rig = 0; rig < kRigs; ++rig) {
    receivers.push_back(std::make_unique<QTcpSocket>());
    const quint16 port = static_cast<quint16>(base + rig);
    QTcpSocket& socket = *receivers.back();
    ASSERT_TRUE(WaitUntil(
        [&] {
          if (socket.state() == QAbstractSocket::ConnectedState) return true;
          if (socket.state() == QAbstractSocket::UnconnectedState) socket.connectToHost("127.0.0.1", port);
          return false;
        },
        10000))
        << "port " << port;
  }
  const std::regex holeDepth("\r\n0110([^\r\n]*)\r\n");
  ASSERT_TRUE(WaitUntil(
      [&] {
        bool all = true;
        for (int rig = 0; rig < kRigs; ++rig) {
          received[static_cast<std::size_t>(rig)] += receivers[static_cast<std::size_t>(rig)]->readAll().toStdString();
          all = all && std::regex_search(received[static_cast<std::size_t>(rig)], holeDepth);
        }
        return all;
      },
      15000));
  std::set<std::string> holeDepths;
  for (const std::string& bytes : received) {
    std::smatch match;
    std::regex_search(bytes, match, holeDepth);
    holeDepths.insert(match[1].str());
  }
  EXPECT_EQ(holeDepths.size(), static_cast<std::size_t>(kRigs));

  EXPECT_EQ(fleet.Terminate(20000), 0);
  EXPECT_NE(fleet.Status().find("Fleet stopped: the state of every rig saved."), std::string::npos) << fleet.Status();
  for (int rig = 1; rig <= kRigs; ++rig) {
    const std::string root = FleetRigRoot(vorn::DataRootFolder(), rig);
    const fs::path state = root + "/Settings/SimState.json";
    ASSERT_TRUE(fs::exists(state)) << state;
    EXPECT_GE(fs::last_write_time(state), started) << state;
    const std::string linkFile = vorn::test::RawBytes(root + "/Settings/WitsCommSettings.json");
    EXPECT_NE(linkFile.find("\"nTcpIpPort\": " + std::to_string(base + rig - 1)), std::string::npos) << linkFile;
    EXPECT_EQ(FilesIn(root + "/OutputFiles"), 1u) << root;
    EXPECT_EQ(FilesIn(root + "/WitsLogFiles"), 1u) << root;
  }
}

TEST(FleetProcessTest, AFleetTheOpenFileLimitCannotServeIsRefusedSayingHowManyItCan) {
  const uint16_t base = vorn::test::FreeConsecutivePorts(1);
  ASSERT_NE(base, 0);
  WriteRootLink(base);
  HeadlessProcess fleet({"--fleet", "500"}, HeadlessProcess::StopSignalsAtStart::Open, 300);
  ASSERT_TRUE(fleet.WaitForStarted());
  EXPECT_EQ(fleet.WaitForExit(20000), 1);
  EXPECT_NE(fleet.Status().find("it can serve 86 rigs"), std::string::npos) << fleet.Status();  // (300 - 128) / 2
}

// Two slices of one fleet on one root: rigs 1-3 and 4-6, each rig on its own port and folder, as one
// fleet of 6 would have them; a third slice over rigs the others serve is refused, naming them.
TEST(FleetProcessTest, SlicesOfOneFleetServeTheirOwnRigsAndAnOverlapIsRefused) {
  const uint16_t base = vorn::test::FreeConsecutivePorts(6);
  ASSERT_NE(base, 0);
  WriteRootLink(base);
  const uint16_t controlPort = vorn::test::FreePort();
  HeadlessProcess first({"--fleet", "3", "--fleet-first", "1"});
  HeadlessProcess second({"--fleet", "3", "--fleet-first", "4", "--control", QString::number(controlPort),
                          "--log-format", "json"});
  ASSERT_TRUE(first.WaitForStarted() && second.WaitForStarted());
  ASSERT_TRUE(second.WaitForStatus("Control API on", 20000)) << second.Status();
  EXPECT_NE(second.Status().find("rigs (rigs 4 to 6) under"), std::string::npos) << second.Status();
  EXPECT_NE(second.Status().find("\"kind\":\"fleet\",\"rig\":null"), std::string::npos) << second.Status();

  vorn::test::CHttpClient api(controlPort);
  EXPECT_NE(api.Get("/api/v1/rigs/5/link").body.find("\"nTcpIpPort\":" + std::to_string(base + 4)), std::string::npos);
  const vorn::test::HttpAnswer outside = api.Get("/api/v1/rigs/2/status");
  EXPECT_EQ(outside.status, 404);
  EXPECT_NE(outside.body.find("the fleet's rigs are 4 to 6"), std::string::npos) << outside.body;
  EXPECT_TRUE(WaitUntil([&] { return api.Get("/api/v1/health").status == 200; }, 15000));
  EXPECT_NE(api.Get("/metrics").body.find("vornrigsim_run_active{rig=\"6\"} 1"), std::string::npos);

  // Every one of the six ports has a rig behind it that sends frames.
  for (int rig = 1; rig <= 6; ++rig) {
    QTcpSocket receiver;
    std::string bytes;
    EXPECT_TRUE(WaitUntil(
        [&] {
          if (receiver.state() == QAbstractSocket::UnconnectedState) receiver.connectToHost("127.0.0.1", base + rig - 1);
          bytes += receiver.readAll().toStdString();
          return bytes.find("!!") != std::string::npos;
        },
        15000))
        << "rig " << rig;
    EXPECT_TRUE(fs::is_directory(FleetRigRoot(vorn::DataRootFolder(), rig))) << rig;
  }

  HeadlessProcess overlap({"--fleet", "2", "--fleet-first", "3"});
  ASSERT_TRUE(overlap.WaitForStarted());
  EXPECT_EQ(overlap.WaitForExit(20000), 1);
  EXPECT_NE(overlap.Status().find("Rigs 3 to 4 overlap rigs "), std::string::npos) << overlap.Status();
  EXPECT_NE(overlap.Status().find("choose --fleet-first and --fleet"), std::string::npos) << overlap.Status();
  EXPECT_EQ(first.Terminate(20000), 0);
  EXPECT_EQ(second.Terminate(20000), 0);
}

}  // namespace
