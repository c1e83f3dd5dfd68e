// What makes the rigs of a fleet differ, and how many one process can serve.
#include <gtest/gtest.h>

#include <sys/resource.h>

#include <set>

#include "engine/RigMode.h"
#include "fleet/FleetCapacity.h"
#include "fleet/FleetPlan.h"

namespace {

CWitsCommSettings Server(int32_t port) {
  CWitsCommSettings link;
  link.commType = TcpIp;
  link.tcpIpType = Master;
  link.nTcpIpPort = port;
  return link;
}

TEST(FleetPlanTest, ALinkThatCannotServeTheFleetIsRefusedWithItsReason) {
  CWitsCommSettings serial = Server(1000);
  serial.commType = Comm;
  ASSERT_TRUE(FleetLinkRefusal(serial, 2, false).has_value());
  EXPECT_NE(FleetLinkRefusal(serial, 1, false)->find("serial port"), std::string::npos);
  EXPECT_NE(FleetLinkRefusal(Server(1000), 2, true)->find("Enable Skid Sim Comms"), std::string::npos);

  EXPECT_FALSE(FleetLinkRefusal(Server(65000), 536, false).has_value());  // the last rig on 65535
  const auto past = FleetLinkRefusal(Server(65000), 537, false);
  ASSERT_TRUE(past.has_value());
  EXPECT_NE(past->find("at most 536 rigs"), std::string::npos) << *past;

  CWitsCommSettings client = Server(65535);
  client.tcpIpType = Slave;
  EXPECT_FALSE(FleetLinkRefusal(client, 1000, false).has_value());  // all connect to the one port
}

TEST(FleetPlanTest, ServersTakeConsecutivePortsAndClientsAllGoWhereTheRootsGoes) {
  CWitsCommSettings root = Server(4000);
  root.nMaxClients = 3;
  const CWitsCommSettings third = FleetRigLink(root, 3);
  EXPECT_EQ(third.nTcpIpPort, 4002);
  EXPECT_EQ(third.nMaxClients, 3);
  EXPECT_EQ(FleetRigLink(root, 1), root);

  root.tcpIpType = Slave;
  root.strIpAddress = "10.0.0.9";
  EXPECT_EQ(FleetRigLink(root, 50), root);
  EXPECT_EQ(FleetRigRoot("/data", 12), "/data/Fleet/Rig12");
}

TEST(FleetPlanTest, ASeedGivesEveryRigItsOwnStartAndTheSameOneEveryTime) {
  std::set<double> holes;
  std::set<int> modes;
  for (int rig = 1; rig <= 200; ++rig) {
    const FleetRigStart start = SeededRigStart(42, rig);
    const FleetRigStart again = SeededRigStart(42, rig);
    EXPECT_EQ(start.mode, again.mode);
    EXPECT_EQ(start.holeDepth, again.holeDepth);
    EXPECT_EQ(start.bitDepth, again.bitDepth);
    EXPECT_GE(start.holeDepth, 500.0);
    EXPECT_LE(start.holeDepth, 5000.0);
    if (start.mode == TripIn || start.mode == TripOut) {
      EXPECT_GT(start.bitDepth, 0.0);
      EXPECT_LT(start.bitDepth, start.holeDepth);
    } else {
      EXPECT_EQ(start.bitDepth, start.holeDepth);  // on bottom
    }
    holes.insert(start.holeDepth);
    modes.insert(start.mode);
  }
  EXPECT_GT(holes.size(), 190u);
  EXPECT_EQ(modes.size(), 4u);
  EXPECT_NE(SeededRigStart(42, 1).holeDepth, SeededRigStart(43, 1).holeDepth);
}

TEST(FleetPlanTest, SeededStartOffsetsFallOnTheSlotGridBelowTheOutputInterval) {
  std::set<uint32_t> offsets;
  for (int rig = 1; rig <= 1000; ++rig) {
    const uint32_t offset = SeededStartOffsetMs(7, rig, 2.0);
    EXPECT_LT(offset, 2000u);
    EXPECT_EQ(offset % kFleetSlotMs, 0u);
    offsets.insert(offset);
  }
  EXPECT_EQ(offsets.size(), 20u);  // every tick of a 2 s interval
  EXPECT_EQ(SeededStartOffsetMs(7, 1, 0.0), 0u);
  EXPECT_EQ(SeededStartOffsetMs(7, 1, 0.05), 0u);
  EXPECT_EQ(SeededStartOffsetMs(7, 1, -3.0), 0u);
  EXPECT_EQ(SeededStartOffsetMs(7, 1, std::numeric_limits<double>::quiet_NaN()), 0u);
  EXPECT_LT(SeededStartOffsetMs(7, 1, 1e300), 86400000u);
}

TEST(FleetCapacityTest, EachRigCountsItsListeningSocketAndEveryReceiverItMayServe) {
  CWitsCommSettings link = Server(1000);
  EXPECT_EQ(DescriptorsPerRig(link), 2u);
  EXPECT_EQ(RigsServable(1024, link), (1024u - kFleetReservedDescriptors) / 2);
  link.nMaxClients = 3;
  EXPECT_EQ(RigsServable(1024, link), (1024u - kFleetReservedDescriptors) / 4);
  link.tcpIpType = Slave;
  EXPECT_EQ(RigsServable(1024, link), 1024u - kFleetReservedDescriptors);
  EXPECT_EQ(RigsServable(kFleetReservedDescriptors, link), 0u);

  const uint64_t raised = RaiseOpenFileLimit();
  rlimit limit{};
  ASSERT_EQ(getrlimit(RLIMIT_NOFILE, &limit), 0);
  EXPECT_EQ(limit.rlim_cur, limit.rlim_max);
  EXPECT_EQ(raised, limit.rlim_cur == RLIM_INFINITY ? UINT64_MAX : limit.rlim_cur);
}

}  // namespace
