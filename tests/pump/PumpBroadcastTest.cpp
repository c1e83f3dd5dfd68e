#include <gtest/gtest.h>
#include <xcb/xcb.h>

#include <QProcessEnvironment>
#include <algorithm>
#include <cstdlib>
#include <memory>

#include "engine/PumpBroadcast.h"
#include "engine/PumpMessage.h"
#include "engine/RigSim.h"
#include "tests/app/HeadlessProcess.h"
#include "tests/engine/ManualClocks.h"
#include "tests/pump/XDisplay.h"

namespace {

using vorn::test::PumpListener;
using vorn::test::XServer;
using Lines = std::vector<std::string>;

constexpr int kWaitMs = 10000;

TEST(PumpReceiverTitle, PrefixMustOpenTheTitleInCapitals) {
  using vorn::pumps::IsReceiverTitle;
  EXPECT_TRUE(IsReceiverTitle("QUARKLET"));
  EXPECT_TRUE(IsReceiverTitle("QUARKLET pump listener"));
  EXPECT_TRUE(IsReceiverTitle("QUARKLETmonitor"));
  EXPECT_FALSE(IsReceiverTitle("xQUARKLET"));
  EXPECT_FALSE(IsReceiverTitle(" QUARKLET"));
  EXPECT_FALSE(IsReceiverTitle("quarklet pump listener"));
  EXPECT_FALSE(IsReceiverTitle("Quarklet"));
  EXPECT_FALSE(IsReceiverTitle("QUARKLE"));
  EXPECT_FALSE(IsReceiverTitle(""));
}

// DISPLAY for the process's own broadcaster, put back afterwards.
class ScopedDisplay {
 public:
  explicit ScopedDisplay(const std::string& display) {
    if (const char* old = std::getenv("DISPLAY")) m_old = old;
    if (display.empty())
      unsetenv("DISPLAY");
    else
      setenv("DISPLAY", display.c_str(), 1);
  }
  ~ScopedDisplay() {
    if (m_old)
      setenv("DISPLAY", m_old->c_str(), 1);
    else
      unsetenv("DISPLAY");
  }

 private:
  std::optional<std::string> m_old;
};

class PumpBroadcastTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (XServer::Program().isEmpty()) GTEST_SKIP() << "No X server: Xvfb is not installed (apt-get install xvfb)";
    if (server.Start().empty()) GTEST_SKIP() << "No X server: Xvfb did not start";
  }

  PumpListener& Listen(const std::string& title) {
    listeners.push_back(std::make_unique<PumpListener>(server.Display(), title));
    EXPECT_TRUE(listeners.back()->WaitUntilListening()) << "pump-listener \"" << title << "\" did not start";
    return *listeners.back();
  }

  static std::vector<uint32_t> Sorted(std::vector<uint32_t> windows) {
    std::sort(windows.begin(), windows.end());
    return windows;
  }

  XServer server;
  std::vector<std::unique_ptr<PumpListener>> listeners;
};

TEST_F(PumpBroadcastTest, ReachesEveryMatchingWindowOncePerBroadcastInOrder) {
  PumpListener& exact = Listen("QUARKLET");
  PumpListener& spaced = Listen("QUARKLET pump listener");
  PumpListener& joined = Listen("QUARKLETmonitor");
  PumpListener& inside = Listen("xQUARKLET");
  PumpListener& lower = Listen("quarklet pump listener");

  CPumpBroadcaster broadcaster(server.Display());
  EXPECT_EQ(broadcaster.Broadcast(true), 3);
  EXPECT_EQ(Sorted(broadcaster.Receivers()), Sorted({exact.Window(), spaced.Window(), joined.Window()}));
  EXPECT_EQ(broadcaster.Broadcast(false), 3);
  EXPECT_EQ(broadcaster.Broadcast(true), 3);

  const Lines expected{"pumps on", "pumps off", "pumps on"};
  for (PumpListener* listener : {&exact, &spaced, &joined}) {
    ASSERT_TRUE(listener->WaitForLines(3, kWaitMs));
    EXPECT_EQ(listener->Lines(), expected);
  }
  EXPECT_TRUE(inside.Lines().empty());
  EXPECT_TRUE(lower.Lines().empty());
}

TEST_F(PumpBroadcastTest, FollowsTheWindowManagersClientListWhenThereIsOne) {
  PumpListener& listed = Listen("QUARKLET listed");
  PumpListener& unlisted = Listen("QUARKLET unlisted");

  // Play the window manager: publish a client list that holds one of the two windows.
  xcb_connection_t* c = xcb_connect(server.Display().c_str(), nullptr);
  ASSERT_FALSE(xcb_connection_has_error(c));
  const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
  xcb_intern_atom_reply_t* atom = xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, 16, "_NET_CLIENT_LIST"), nullptr);
  ASSERT_NE(atom, nullptr);
  const xcb_window_t clients[] = {listed.Window()};
  xcb_change_property(c, XCB_PROP_MODE_REPLACE, root, atom->atom, XCB_ATOM_WINDOW, 32, 1, clients);
  std::free(atom);
  std::free(xcb_get_input_focus_reply(c, xcb_get_input_focus(c), nullptr));

  CPumpBroadcaster broadcaster(server.Display());
  EXPECT_EQ(broadcaster.Broadcast(true), 1);
  EXPECT_EQ(broadcaster.Receivers(), std::vector<uint32_t>{listed.Window()});
  ASSERT_TRUE(listed.WaitForLines(1, kWaitMs));
  EXPECT_EQ(listed.Lines(), Lines{"pumps on"});
  EXPECT_TRUE(unlisted.Lines().empty());
  xcb_disconnect(c);
}

TEST_F(PumpBroadcastTest, ReachesNoOneWithoutADisplayAndConnectsAgainAfterTheServerWentAway) {
  {
    ScopedDisplay none("");
    CPumpBroadcaster fromEnvironment;
    EXPECT_EQ(fromEnvironment.Broadcast(true), 0);
    SendExternalPumpsMessage(true);  // the console line only
    CPumpBroadcaster nowhere(":65000");
    EXPECT_EQ(nowhere.Broadcast(false), 0);
  }

  const std::string display = server.Display();
  CPumpBroadcaster broadcaster(display);
  Listen("QUARKLET first server");
  EXPECT_EQ(broadcaster.Broadcast(true), 1);

  server.Stop();
  listeners.clear();
  EXPECT_EQ(broadcaster.Broadcast(false), 0);
  EXPECT_TRUE(broadcaster.Receivers().empty());

  ASSERT_EQ(server.Start(display), display);
  PumpListener& second = Listen("QUARKLET second server");
  EXPECT_EQ(broadcaster.Broadcast(false), 1);
  ASSERT_TRUE(second.WaitForLines(1, kWaitMs));
  EXPECT_EQ(second.Lines(), Lines{"pumps off"});
}

// The engine's own broadcast through a default drilling stand: off on the first tick of "Turning
// Pumps Off", on again on the first tick of "Turning Pumps On".
TEST_F(PumpBroadcastTest, EngineTellsTheDesktopAtTheConnectionsPumpSubStates) {
  ScopedDisplay display(server.Display());
  PumpListener& listener = Listen("QUARKLET pump listener");

  vorn::test::ManualClocks clocks;
  CRigSim engine(clocks.Make());
  std::vector<int> subStatesAtMessages;
  engine.m_pumpsMessage = [&](bool on) {
    subStatesAtMessages.push_back(engine.GetSubState());
    SendExternalPumpsMessage(on);
  };
  engine.OnTick();
  for (int i = 0; i < 5000 && subStatesAtMessages.size() < 3; ++i) {
    clocks.Advance(100);
    engine.OnTick();
  }
  ASSERT_EQ(subStatesAtMessages.size(), 3u);
  EXPECT_EQ(subStatesAtMessages[1], TurningPumpsOff);
  EXPECT_EQ(subStatesAtMessages[2], TurningPumpsOn);
  ASSERT_TRUE(listener.WaitForLines(3, kWaitMs));
  EXPECT_EQ(listener.Lines(), (Lines{"pumps on", "pumps off", "pumps on"}));
}

// The program itself, headless at ten-times speed: the listener hears the pumps of the first
// connection while the status lines name the sub-states.
TEST_F(PumpBroadcastTest, HeadlessSimulatorTellsTheDesktop) {
  ScopedDisplay display(server.Display());
  PumpListener& listener = Listen("QUARKLET pump listener");

  HeadlessProcess simulator({"--ten-times", "--duration", "60"});
  ASSERT_TRUE(simulator.WaitForStarted());
  ASSERT_TRUE(listener.WaitForLines(3, 45000)) << simulator.Status();
  EXPECT_EQ(listener.Lines(), (Lines{"pumps on", "pumps off", "pumps on"}));
  const std::string status = simulator.Status();
  EXPECT_LT(status.find("Turning Pumps Off"), status.find("Turning Pumps On"));
  EXPECT_EQ(simulator.Terminate(), 0);
}

}  // namespace
