// What the views of a rig hear: the engine's own changes, the WITS traffic with a real peer, several
// views at once, views that come and go or issue commands while they are told.
#include <QTcpSocket>

#include "engine/RigMode.h"
#include "tests/command/RecordingView.h"
#include "tests/common/FileSizeLimit.h"

namespace {

using vorn::test::RecordingView;
using vorn::test::RigControllerTest;
using vorn::test::WaitUntil;
using Strings = std::vector<std::string>;

long Count(const Strings& events, const std::string& line) { return std::count(events.begin(), events.end(), line); }

TEST_F(RigControllerTest, AModeTheEngineChangesReachesEveryViewOnceAndIsSaved) {
  RecordingView other;
  controller->AddView(other);
  UseSilentLink();
  // The last metres of a trip in: back on bottom, the engine drills on by itself.
  ASSERT_TRUE(controller->SetMode(TripIn).IsDone());
  engine->m_subState[TripIn] = TripPipeMoving;
  engine->m_fDepth = 999.99;
  engine->m_fBlockHeight_ = 50.0;
  SaveSimState(*engine);  // a run starts from the saved state
  ASSERT_TRUE(controller->SetRunning(true).IsDone());
  ASSERT_TRUE(TickUntil([&] { return engine->m_settings.m_mode == Drill; }));
  ASSERT_TRUE(TickUntil([&] { return Count(view.events, "tick") >= 2; }));
  ASSERT_TRUE(controller->SetRunning(false).IsDone());

  for (const RecordingView* each : {&view, &other}) {
    EXPECT_EQ(Count(each->events, "mode 1 by engine"), 1);
    EXPECT_EQ(Count(each->events, "mode 1"), 0);  // not told again by the comparison after the tick
  }
  EXPECT_EQ(view.events, other.events);
  CRigSim saved;
  saved.m_pumpsMessage = nullptr;
  LoadSimSettings(saved);
  EXPECT_EQ(saved.m_settings.m_mode, Drill);
}

TEST_F(RigControllerTest, FramesOutAndArrivalsReachEveryViewAsTheyAreOnTheWire) {
  RecordingView other;
  controller->AddView(other);
  const uint16_t port = UseServerLink();
  engine->m_settings.m_mode = Idle;
  ASSERT_TRUE(controller->SetRunning(true).IsDone());
  // A start is told before what it opened.
  ASSERT_GE(view.events.size(), 3U);
  EXPECT_EQ(view.events[1], "run on");
  EXPECT_EQ(view.events[2].rfind("link 1 Connected TCP/IP Port", 0), 0U) << view.events[2];
  EXPECT_EQ(view.lastLink.text.find(" - Client NOT Connected"), view.lastLink.text.size() - 23);

  // No client yet: the first frame of the run finds nobody to take it.
  ASSERT_TRUE(WaitUntil([&] { return !view.frames.empty(); }, 5000));
  EXPECT_EQ(view.outcomes[0], LinkWrite::NoClient);

  QTcpSocket client;
  client.connectToHost("127.0.0.1", port);
  ASSERT_TRUE(WaitUntil([&] { return view.lastLink.hasClient; }, 5000));
  EXPECT_EQ(view.lastLink.text.find(" - Client Connected"), view.lastLink.text.size() - 19);
  const std::size_t framesBefore = view.frames.size();

  const std::string sent = "&&\r\n0108321.5\r\n!!\r\n";
  client.write(sent.data(), static_cast<qint64>(sent.size()));
  std::string received;
  ASSERT_TRUE(TickUntil([&] {
    received += client.readAll().toStdString();
    return !view.arrivals.empty() && view.frames.size() >= framesBefore + 2 && received.size() >= 2 * 30;
  }));
  ASSERT_TRUE(controller->SetRunning(false).IsDone());

  EXPECT_EQ(view.arrivals, Strings{sent});
  std::string told;
  for (std::size_t i = framesBefore; i < view.frames.size(); ++i) {
    EXPECT_EQ(view.outcomes[i], LinkWrite::Sent);
    told += view.frames[i];
  }
  // The last frame may still be on its way.
  WaitUntil(
      [&] {
        received += client.readAll().toStdString();
        return received.size() >= told.size();
      },
      5000);
  EXPECT_EQ(told, received);  // byte for byte what the peer got
  EXPECT_EQ(told.rfind("&&\r\n0108", 0), 0U) << told;
  // A stop is told after what it closed.
  ASSERT_GE(view.events.size(), 2U);
  EXPECT_EQ(view.events.back(), "run off");
  EXPECT_EQ(view.events[view.events.size() - 2], "link 2 ");
  EXPECT_EQ(view.events, other.events);
  EXPECT_EQ(view.frames, other.frames);
}

TEST_F(RigControllerTest, AViewRemovedWhileTheViewsAreToldHearsNothingMore) {
  RecordingView second;
  RecordingView third;
  controller->AddView(second);
  controller->AddView(third);
  // The first view to hear of the mode takes the second out, and itself; the third comes on.
  view.then = [&](const std::string&) {
    controller->RemoveView(second);
    controller->RemoveView(view);
  };
  ASSERT_TRUE(controller->SetMode(Idle).IsDone());
  EXPECT_EQ(view.events, (Strings{"mode 0"}));
  EXPECT_TRUE(second.events.empty());
  EXPECT_EQ(third.events, (Strings{"mode 0", "sub-state 0"}));

  // One added while the views are told hears from the next notification on.
  RecordingView late;
  third.then = [&](const std::string&) { controller->AddView(late); };
  ASSERT_TRUE(controller->SetMode(Drill).IsDone());
  EXPECT_EQ(late.events, (Strings{"sub-state 0"}));
  EXPECT_EQ(view.events.size(), 1U);
}

TEST_F(RigControllerTest, ACommandIssuedByAViewIsToldAfterTheChangesItHeardOf) {
  RecordingView other;
  controller->AddView(other);
  UseSilentLink();
  // The first view answers the run start at once with ten-times speed.
  view.then = [&](const std::string& line) {
    if (line == "run on") {
      ASSERT_TRUE(controller->SetTenTimes(true).IsDone());
    }
  };
  ASSERT_TRUE(controller->SetRunning(true).IsDone());
  EXPECT_EQ(other.WithoutTicks(), view.WithoutTicks());
  const Strings events = other.WithoutTicks();
  const auto at = [&](const std::string& line) { return std::find(events.begin(), events.end(), line) - events.begin(); };
  EXPECT_LT(at("run on"), at("ten times on"));
  EXPECT_LT(at("ten times on"), static_cast<long>(events.size()));
  EXPECT_TRUE(engine->TenTimesSpeed());
}

TEST_F(RigControllerTest, ARunAViewStopsAfterATickIsToldAsStoppedAndTicksNoMore) {
  UseSilentLink();
  view.then = [&](const std::string& line) {
    if (line == "tick") {
      ASSERT_TRUE(controller->SetRunning(false).IsDone());
    }
  };
  ASSERT_TRUE(controller->SetRunning(true).IsDone());
  ASSERT_TRUE(WaitUntil([&] { return view.Heard("run off"); }, 5000));
  EXPECT_FALSE(controller->IsRunning());
  EXPECT_FALSE(controller->Status().running);
  const std::size_t heard = view.events.size();
  EXPECT_FALSE(WaitUntil([&] { return view.events.size() > heard; }, 300));
  EXPECT_EQ(Count(view.events, "tick"), 1);
}

TEST_F(RigControllerTest, AStateThatCouldNotBeSavedIsToldToEveryView) {
  RecordingView other;
  controller->AddView(other);
  {
    const vorn::test::FileSizeLimit diskFull(16);
    ASSERT_TRUE(controller->SetBitDepth(2000.0).IsDone());
  }
  const std::string line = "message State not saved: unable to write " + SimStatePath();
  EXPECT_EQ(view.events, (Strings{line, "state depths"}));
  EXPECT_EQ(other.events, view.events);
}

}  // namespace
