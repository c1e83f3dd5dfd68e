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

// A receiver on the controller's server link, connected once the run has opened it; the run's frames
// up to then are read off, so that the next frame it gets is the test's.
struct Receiver {
  bool Join(RecordingView& view, uint16_t port) {
    socket.connectToHost("127.0.0.1", port);
    return WaitUntil([&] { return view.lastLink.hasClient && socket.state() == QAbstractSocket::ConnectedState; },
                     5000);
  }
  // What came, once at least `count` bytes have come (or the wait ran out).
  std::string Read(std::size_t count) {
    WaitUntil(
        [&] {
          received += socket.readAll().toStdString();
          return received.size() >= count;
        },
        5000);
    return received;
  }
  QTcpSocket socket;
  std::string received;
};

TEST_F(RigControllerTest, AFaultTakingEffectIsLoggedBeforeItsFrameAndToldToEveryView) {
  const uint16_t port = UseServerLink();
  ASSERT_TRUE(controller->SetFaultSeed(99).IsDone());
  ASSERT_TRUE(controller->InjectFault("duplicate").IsDone());  // before the run: at the first frame that reaches a peer
  ASSERT_TRUE(controller->SetRunning(true).IsDone());
  ASSERT_TRUE(TickUntil([&] { return !view.frames.empty(); }));
  EXPECT_FALSE(view.Heard("fault duplicate"));  // no receiver yet: the fault waits
  Receiver receiver;
  ASSERT_TRUE(receiver.Join(view, port));
  const std::size_t before = view.frames.size();
  ASSERT_TRUE(TickUntil([&] { return view.frames.size() >= before + 2; }));
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
  const std::string doubled = view.frames[before];
  const std::string frame = doubled.substr(0, doubled.size() / 2);
  EXPECT_EQ(doubled, frame + frame);
  EXPECT_EQ(log.find("!!\n&&\n", body) < log.find("OUT ", body), true);
  EXPECT_EQ(receiver.Read(doubled.size()).substr(0, doubled.size()), doubled);
  EXPECT_EQ(controller->Wire().Seed(), 99u);
}

// A split frame caught by a disconnect: its entry says how much of it went, and the receiver that
// comes back gets no piece of it.
TEST_F(RigControllerTest, ASplitFrameCutByADisconnectIsLoggedWithThePiecesThatWent) {
  const uint16_t port = UseServerLink();
  engine->m_settings.m_mode = Idle;
  engine->m_settings.m_fWitsOutInterval = 1000;  // one frame at the start, then none for the test's life
  ASSERT_TRUE(controller->SetRunning(true).IsDone());
  Receiver receiver;
  ASSERT_TRUE(receiver.Join(view, port));
  ASSERT_TRUE(controller->InjectFault("split:pieces=3,gap_ms=400").IsDone());
  engine->DoWitsOut();
  ASSERT_TRUE(WaitUntil([&] { return !(receiver.received += receiver.socket.readAll().toStdString()).empty(); }, 5000));
  ASSERT_TRUE(controller->InjectFault("disconnect:seconds=0.1").IsDone());
  Receiver again;
  ASSERT_TRUE(TickUntil([&] { return view.lastLink.state == Connected; }));
  ASSERT_TRUE(again.Join(view, port));
  ASSERT_TRUE(TickUntil([&] { return LogText(*engine).find("cut short") != std::string::npos; }));
  const std::string log = LogText(*engine);
  const std::size_t entry = log.find("cut short");
  EXPECT_EQ(log.substr(entry, log.find('\n', entry) - entry), "cut short after 1 of 3 pieces: link dropped");
  EXPECT_EQ(log.substr(log.rfind("OUT ", entry), 4), "OUT ");
  EXPECT_EQ(log.substr(log.find('\n', entry) + 1, 3), "&&\n");  // the whole frame as it was to leave

  engine->DoWitsOut();  // the next frame: whole, from its start
  EXPECT_EQ(again.Read(2).substr(0, 2), "&&");
  ASSERT_TRUE(controller->SetRunning(false).IsDone());
}

TEST_F(RigControllerTest, StoppingTheFaultsEndsADisconnectAtOnce) {
  const uint16_t port = UseServerLink();
  ASSERT_TRUE(controller->SetRunning(true).IsDone());
  ASSERT_TRUE(controller->InjectFault("disconnect:seconds=60").IsDone());
  EXPECT_NE(view.lastLink.state, Connected);
  ASSERT_TRUE(controller->ClearFaultPlan().IsDone());
  EXPECT_EQ(view.lastLink.state, Connected);  // told with the stop, before any tick
  Receiver receiver;
  EXPECT_TRUE(receiver.Join(view, port));
  ASSERT_TRUE(controller->SetRunning(false).IsDone());
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
  const std::size_t told = view.frames.size();
  engine->DoWitsOut();  // the frame the fault takes, told once it has gone whole
  EXPECT_EQ(view.frames.size(), told);
  std::string received;
  // Half at once; the rest only once the clock has moved on by the gap.
  ASSERT_TRUE(WaitUntil(
      [&] {
        received += client.readAll().toStdString();
        return !received.empty();
      },
      5000));
  ASSERT_TRUE(TickUntil([&] { return view.frames.size() > told; }));
  const std::string frame = view.frames.back();
  EXPECT_EQ(received.substr(0, (frame.size() + 1) / 2), frame.substr(0, (frame.size() + 1) / 2));
  ASSERT_TRUE(TickUntil([&] {
    received += client.readAll().toStdString();
    return received.size() >= frame.size();
  }));
  EXPECT_EQ(received, frame);
  ASSERT_TRUE(controller->SetRunning(false).IsDone());
}

}  // namespace
