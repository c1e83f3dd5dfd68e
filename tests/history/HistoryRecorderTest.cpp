// The recorder as a view of the rig controller: what a run's ticks leave in the history.
#include <cmath>
#include <memory>

#include "engine/RigMode.h"
#include "history/HistoryRecorder.h"
#include "well/WellRig.h"
#include "tests/command/RecordingView.h"

namespace {

using vorn::test::RigControllerTest;

class HistoryRecorderTest : public RigControllerTest {
 protected:
  HistoryRecorderTest() { controller->AddView(recorder); }
  ~HistoryRecorderTest() override { controller->RemoveView(recorder); }

  [[nodiscard]] double Last(const std::string& series) const {
    const int index = recorder.Store().FindSeries(series);
    return index < 0 ? std::nan("") : recorder.Store().LastValue(static_cast<size_t>(index));
  }
  [[nodiscard]] bool Marked(const std::string& text) const {
    for (const auto& mark : recorder.Store().Marks()) {
      if (mark.text == text) return true;
    }
    return false;
  }

  CHistoryRecorder recorder{*engine};
};

TEST_F(HistoryRecorderTest, TicksOfARunLeaveTheChannelsItemsAndReceivedItemsWithTheirLastValues) {
  UseSilentLink();
  // The millisecond clock wraps during the run: the history's time runs on.
  clocks.ms = 0xFFFFFFFFU - 1000U;
  ASSERT_TRUE(controller->SetRunning(true).IsDone());
  engine->m_witsInItems[{1, 8}] = {"Depth", "321.5", 0.0};
  engine->m_witsInItems[{1, 9}] = {"Text", "not a number", 0.0};
  ASSERT_TRUE(TickUntil([&] { return recorder.Store().Latest() >= 3.0 && Last("Item DEPTH") == Last("Item DEPTH"); }));
  ASSERT_TRUE(controller->SetRunning(false).IsDone());

  EXPECT_EQ(Last("DEPTH"), engine->m_fDepth);
  EXPECT_EQ(Last("HOLE_DEPTH"), engine->m_fHoleDepth);
  EXPECT_EQ(Last("HOOKLOAD"), engine->m_fHookLoad);
  EXPECT_EQ(Last("SLIPS"), engine->m_bInSlips ? 1.0 : 0.0);
  EXPECT_EQ(Last("WITS 0108"), 321.5);
  EXPECT_EQ(recorder.Store().FindSeries("WITS 0109"), -1);
  for (const COutputItem& item : engine->m_outputItems) {
    if (item.m_strMnem == "DEPTH") {
      EXPECT_EQ(Last("Item DEPTH"), std::stod(item.m_strValue));
    }
  }
  EXPECT_GE(recorder.Store().Latest(), 3.0);
  EXPECT_LT(recorder.Store().Latest(), 10.0);
  EXPECT_TRUE(Marked("Drill"));  // the mode the run began in
}

TEST_F(HistoryRecorderTest, ModeAndSubStateChangesAreMarkedAndANewRunBeginsANewHistory) {
  UseSilentLink();
  ASSERT_TRUE(controller->SetRunning(true).IsDone());
  ASSERT_TRUE(TickUntil([&] { return recorder.Now() >= 1.0; }));
  ASSERT_TRUE(controller->SetMode(TripOut).IsDone());
  ASSERT_TRUE(TickUntil([&] { return recorder.Now() >= 2.0; }));
  EXPECT_TRUE(Marked("Trip Out"));
  EXPECT_TRUE(Marked(SubStateNames(TripOut).at(0)));
  const auto marks = recorder.Store().Marks().size();
  EXPECT_GE(marks, 3U);

  ASSERT_TRUE(controller->SetRunning(false).IsDone());
  EXPECT_EQ(recorder.Store().Marks().size(), marks);  // a stop keeps the history
  ASSERT_TRUE(controller->SetRunning(true).IsDone());
  ASSERT_TRUE(TickUntil([&] { return recorder.Now() >= 0.5; }));
  EXPECT_LT(recorder.Store().Latest(), 1.0);
  EXPECT_EQ(recorder.Store().Marks().front().t, 0.0);
  EXPECT_EQ(recorder.Store().Marks().front().text, "Trip Out");
  ASSERT_TRUE(controller->SetRunning(false).IsDone());
}

}  // namespace

namespace {

// With a well, the channels it adds are series of their own (so the Plots tab offers them), and
// every channel's true value is kept beside its reading.
TEST_F(HistoryRecorderTest, AWellsChannelsAndTheirTrueValuesAreSeries) {
  vorn::well::Well well;
  well.sensors.enabled = true;
  engine->SetWellModel(std::make_unique<vorn::well::CWellRig>(well));
  UseSilentLink();
  ASSERT_TRUE(controller->SetRunning(true).IsDone());
  ASSERT_TRUE(TickUntil([&] { return recorder.Now() >= 2.0; }));
  ASSERT_TRUE(controller->SetRunning(false).IsDone());
  const CWellModelIF& model = *engine->WellModel();
  for (std::size_t i = 0; i < model.ChannelCount(); ++i) {
    const CWellChannel channel = model.Channel(i);
    EXPECT_EQ(Last(CHistoryRecorder::TrueSeries(channel.name)), channel.trueValue) << channel.name;
  }
  EXPECT_EQ(Last("PIT_VOLUME"), engine->WellChannelValue(4));
  EXPECT_EQ(Last("HOOKLOAD"), engine->m_fHookLoad);
  EXPECT_EQ(recorder.Store().FindSeries("HOOKLOAD"), recorder.Store().FindSeries("HOOKLOAD"));
}

}  // namespace
