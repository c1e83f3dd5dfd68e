#include <gtest/gtest.h>

#include <QTcpSocket>

#include "support/TextFile.h"
#include "tests/command/RecordingView.h"

namespace {

using namespace vorn::test;
using Strings = std::vector<std::string>;

std::string LogText(const CRigSim& engine) {
  return vorn::ReadTextFile(engine.m_strWitsLogPath);
}

TEST_F(RigControllerTest, BadFaultsAndPlansAreInvalidAndChangeNothing) {
  const CommandResult unknown = controller->InjectFault("split:pieces=x");
  EXPECT_EQ(unknown.outcome, CommandOutcome::Invalid);
  EXPECT_EQ(unknown.message, "Fault 'split': parameter 'pieces' must be a whole number from 2 to 1000, not 'x'.");
  EXPECT_TRUE(controller->Wire().ActiveFaults().empty());

  ASSERT_TRUE(controller->SetFaultPlan(R"([{"at": 5, "fault": "swap"}])").IsDone());
  const CommandResult bad = controller->SetFaultPlan(R"([{"fault": "swap"}, {"fault": "nap"}])");
  EXPECT_EQ(bad.outcome, CommandOutcome::Invalid);
  EXPECT_EQ(bad.message.rfind("Fault plan, entry 2: Unknown fault 'nap'", 0), 0u) << bad.message;
  // Nothing of the refused plan was taken: the one before stands.
  ASSERT_EQ(controller->Wire().Plan().entries.size(), 1u);
  EXPECT_EQ(FaultText(controller->Wire().Plan().entries[0]), "swap:at=5");
  EXPECT_EQ(view.events, Strings{"faults"});

  ASSERT_TRUE(controller->ClearFaultPlan().IsDone());
  EXPECT_TRUE(controller->Wire().Plan().entries.empty());
  EXPECT_TRUE(controller->Wire().ActiveFaults().empty());
}

TEST_F(RigControllerTest, AFaultTakingEffectIsLoggedBeforeItsFrameAndToldToEveryView) {
  UseSilentLink();
  ASSERT_TRUE(controller->SetFaultSeed(99).IsDone());
  ASSERT_TRUE(controller->InjectFault("duplicate").IsDone());  // before the run: at its first frame
  ASSERT_TRUE(controller->SetRunning(true).IsDone());
  ASSERT_TRUE(TickUntil([&] { return view.frames.size() >= 2; }));
  ASSERT_TRUE(controller->SetRunning(false).IsDone());

  EXPECT_TRUE(view.Heard("fault duplicate"));
  const std::string log = LogText(*engine);
  const std::size_t fault = log.find("FAULT ");
  ASSERT_NE(fault, std::string::npos) << log;
  EXPECT_EQ(log.substr(log.find('\n', fault) - 10, 11), " duplicate\n");
  // The next entry is the frame that carried it, twice over, with LF line ends in the log.
  const std::size_t out = log.find("OUT ", fault);
  ASSERT_NE(out, std::string::npos);
  const std::size_t body = log.find('\n', out) + 1;
  const std::string frame = view.frames[0].substr(0, view.frames[0].size() / 2);
  EXPECT_EQ(view.frames[0], frame + frame);
  EXPECT_EQ(log.find("!!\n&&\n", body) < log.find("OUT ", body), true);
  EXPECT_EQ(controller->Wire().Seed(), 99u);
}

}  // namespace

namespace {

// The pieces of a split frame leave between the ticks, when the wire's wake-up comes: its due time is
// read from the engine's clock, which the test moves.
TEST_F(RigControllerTest, ASplitFramesPiecesLeaveAtTheirTimesBetweenTicks) {
  const uint16_t port = UseServerLink();
  engine->m_settings.m_mode = Idle;
  engine->m_settings.m_fWitsOutInterval = 1000;  // one frame at the start, then none for the test's life
  QTcpSocket client;
  ASSERT_TRUE(controller->SetRunning(true).IsDone());
  client.connectToHost("127.0.0.1", port);
  ASSERT_TRUE(WaitUntil([&] { return view.lastLink.hasClient && !view.frames.empty(); }, 5000));
  // The run's first frame, if the client was there for it, is not the test's.
  std::string first;
  if (view.outcomes[0] == LinkWrite::Sent) {
    ASSERT_TRUE(WaitUntil(
        [&] {
          first += client.readAll().toStdString();
          return first.size() >= view.frames[0].size();
        },
        5000));
  }
  ASSERT_TRUE(controller->InjectFault("split:pieces=2,gap_ms=400").IsDone());
  engine->DoWitsOut();  // the frame the fault takes
  ASSERT_FALSE(view.frames.empty());
  const std::string frame = view.frames.back();
  std::string received;
  // Half at once; the rest only once the clock has moved on by the gap.
  ASSERT_TRUE(WaitUntil(
      [&] {
        received += client.readAll().toStdString();
        return received.size() >= (frame.size() + 1) / 2;
      },
      5000));
  EXPECT_EQ(received, frame.substr(0, (frame.size() + 1) / 2));
  ASSERT_TRUE(TickUntil([&] {
    received += client.readAll().toStdString();
    return received.size() >= frame.size();
  }));
  EXPECT_EQ(received, frame);
  ASSERT_TRUE(controller->SetRunning(false).IsDone());
}

}  // namespace
