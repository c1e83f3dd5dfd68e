#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <iostream>
#include <limits>
#include <sstream>
#include <vector>

#include "engine/RigSim.h"
#include "support/Console.h"
#include "tests/engine/ManualClocks.h"

namespace {

class OutputItemTest : public ::testing::Test {
 protected:
  OutputItemTest() : engine(clocks.Make()) { engine.m_pumpsMessage = nullptr; }

  // Evaluates the item at t, t + step, ... and returns the value texts of the evaluations that
  // raised the send-pending flag ("" for the others).
  std::vector<std::string> Run(COutputItem& item, double t, double step, int count) {
    std::vector<std::string> produced;
    for (int i = 0; i < count; ++i) {
      item.m_bSendPending = false;
      item.Evaluate(engine, t + i * step);
      produced.push_back(item.m_bSendPending ? item.m_strValue : "");
    }
    return produced;
  }

  static COutputItem Make(int32_t type, double a, double b, double c, double sample) {
    return COutputItem(false, true, "X", sample, type, a, b, c, "", FilterBoth, false, 1, 1);
  }

  vorn::test::ManualClocks clocks;
  CRigSim engine;
};

TEST_F(OutputItemTest, ChannelCopiesFormatTheirValueWithG) {
  struct Case {
    int32_t type;
    std::function<void(CRigSim&)> set;
    std::string expected;
  };
  const Case cases[] = {
      {ItemDepth, [](CRigSim& e) { e.m_fDepth = 1000.0; }, "1000"},
      {ItemHoleDepth, [](CRigSim& e) { e.m_fHoleDepth = 1234.5678; }, "1234.57"},
      {ItemSlips, [](CRigSim& e) { e.m_bInSlips = true; }, "1"},
      {ItemSlips, [](CRigSim& e) { e.m_bInSlips = false; }, "0"},
      {ItemOnBottom, [](CRigSim& e) { e.m_bOnBottom = true; }, "1"},
      {ItemTorq, [](CRigSim& e) { e.m_fTorq = 200.0; }, "200"},
      {ItemWob, [](CRigSim& e) { e.m_fWOB = 0.997; }, "0.997"},
      {ItemFlow, [](CRigSim& e) { e.m_fFlow = 1e-5; }, "1e-05"},
      {ItemSpm2, [](CRigSim& e) { e.m_fSPM2 = 1234567.0; }, "1.23457e+06"},
  };
  for (const Case& c : cases) {
    c.set(engine);
    COutputItem item = Make(c.type, 0, 0, 0, 0);
    EXPECT_EQ(item.Evaluate(engine, 100.0), c.expected) << OutputItemTypeNames()[static_cast<size_t>(c.type)];
    EXPECT_TRUE(item.m_bSendPending);
  }
  COutputItem unknown = Make(42, 1, 2, 3, 0);
  EXPECT_EQ(unknown.Evaluate(engine, 100.0), "-999.25");
  EXPECT_FALSE(unknown.m_bSendPending);
}

TEST_F(OutputItemTest, ConstantRespectsItsSampleInterval) {
  COutputItem item = Make(ItemConstant, 99, 0, 0, 12);
  const auto produced = Run(item, 1000.0, 1.0, 25);
  for (int i = 0; i < 25; ++i) EXPECT_EQ(produced[static_cast<size_t>(i)], i % 12 == 0 ? "99" : "") << i;
}

TEST_F(OutputItemTest, SineOfTimeAndOfDepth) {
  COutputItem time = Make(ItemSineOfTime, 100, 50, 60, 0);
  EXPECT_EQ(time.Evaluate(engine, 600.0), "100");
  EXPECT_EQ(time.Evaluate(engine, 615.0), "150");
  EXPECT_EQ(time.Evaluate(engine, 645.0), "50");
  engine.m_fDepth = 25.0;
  COutputItem depth = Make(ItemSineOfDepth, 10, 2, 100, 0);
  EXPECT_EQ(depth.Evaluate(engine, 1.0), "12");
}

TEST_F(OutputItemTest, RampStepsFromItsValueAndWrapsPastB) {
  COutputItem item = Make(ItemRamp, 0, 100, 10, 0);
  const auto produced = Run(item, 50.0, 1.0, 13);
  const std::vector<std::string> expected = {"0", "10", "20", "30", "40", "50", "60",
                                             "70", "80", "90", "100", "0", "10"};
  EXPECT_EQ(produced, expected);
  item.m_strValue = "";  // an empty text starts again at A
  EXPECT_EQ(item.Evaluate(engine, 100.0), "0");
}

// The text shows six significant digits; the ramp must step on from the number itself, or it stalls
// once a step no longer changes the text.
TEST_F(OutputItemTest, RampReachesBAndWrapsWhereItsTextCannotShowTheStep) {
  COutputItem large = Make(ItemRamp, 999998, 1000010, 1, 0);
  const auto produced = Run(large, 50.0, 1.0, 15);
  EXPECT_EQ(produced[2], "1e+06");
  EXPECT_EQ(produced[12], "1.00001e+06");  // 1000010 is B itself
  EXPECT_EQ(produced[13], "999998");       // 1000011 is past B
  EXPECT_EQ(produced[14], "999999");

  COutputItem fine = Make(ItemRamp, 100, 100.5, 0.0001, 0);
  const auto steps = Run(fine, 50.0, 1.0, 5003);
  const auto top = std::find(steps.begin(), steps.end(), "100.5");
  ASSERT_NE(top, steps.end());
  EXPECT_NE(std::find(top, steps.end(), "100"), steps.end());
}

TEST_F(OutputItemTest, TextItemResendsItsTextAtEverySample) {
  COutputItem item = Make(ItemText, 0, 0, 0, 2);
  item.m_strD = "hello, rig";
  const auto produced = Run(item, 10.0, 1.0, 4);
  EXPECT_EQ(produced, (std::vector<std::string>{"hello, rig", "", "hello, rig", ""}));
}

TEST_F(OutputItemTest, OnceAfterPumpOnFiresOncePerPumpStart) {
  COutputItem item = Make(ItemOnceAfterPumpOn, 20, 60, 0, 5);
  const auto step = [&](double t, bool pumps) {
    engine.m_bPumpsOn = pumps;
    item.m_bSendPending = false;
    item.Evaluate(engine, t);
    return item.m_bSendPending;
  };
  EXPECT_FALSE(step(100, false));
  EXPECT_FALSE(step(101, true));  // pumps start: t0 = 101
  EXPECT_FALSE(step(105, true));
  EXPECT_TRUE(step(106, true));   // t0 + 5
  EXPECT_EQ(item.m_strValue, "20");
  EXPECT_FALSE(step(107, true));
  EXPECT_FALSE(step(200, true));
  EXPECT_FALSE(step(201, false));  // off: armed again
  EXPECT_EQ(item.m_strValue, "20");
  EXPECT_FALSE(step(202, true));
  EXPECT_FALSE(step(206, true));
  EXPECT_TRUE(step(207, true));
}

TEST_F(OutputItemTest, FiltersAndDisabledItemsKeepTheirLastText) {
  COutputItem sliding = Make(ItemConstant, 7, 0, 0, 0);
  sliding.m_slidingRotating = FilterSliding;
  COutputItem rotating = Make(ItemConstant, 8, 0, 0, 0);
  rotating.m_slidingRotating = FilterRotating;
  COutputItem flowOnly = Make(ItemDepth, 0, 0, 0, 0);
  flowOnly.m_bFlowOnOnly = true;
  COutputItem disabled = Make(ItemDepth, 0, 0, 0, 0);
  disabled.m_bEnable = false;
  COutputItem blocked = Make(ItemDepth, 0, 0, 0, 0);
  blocked.m_slidingRotating = 3;

  engine.m_bRotating = true;
  engine.m_bPumpsOn = false;
  for (COutputItem* item : {&sliding, &rotating, &flowOnly, &disabled, &blocked}) item->Evaluate(engine, 10.0);
  EXPECT_FALSE(sliding.m_bSendPending);
  EXPECT_TRUE(rotating.m_bSendPending);
  EXPECT_FALSE(flowOnly.m_bSendPending);
  EXPECT_EQ(flowOnly.m_strValue, "-999.25");
  EXPECT_FALSE(disabled.m_bSendPending);
  EXPECT_FALSE(blocked.m_bSendPending);

  engine.m_bRotating = false;
  engine.m_bPumpsOn = true;
  engine.m_fDepth = 1001.0;
  for (COutputItem* item : {&sliding, &flowOnly, &disabled}) item->Evaluate(engine, 11.0);
  EXPECT_TRUE(sliding.m_bSendPending);
  EXPECT_EQ(flowOnly.m_strValue, "1001");
  engine.m_bPumpsOn = false;
  engine.m_fDepth = 1002.0;
  flowOnly.Evaluate(engine, 12.0);
  EXPECT_EQ(flowOnly.m_strValue, "1001");
  EXPECT_EQ(disabled.m_strValue, "-999.25");
  EXPECT_FALSE(disabled.m_bSendPending);
}

// A result that is not a finite number is no value: the item keeps its last text, sends nothing, and
// the console says so once when the item starts giving no number.
TEST_F(OutputItemTest, AResultThatIsNoNumberKeepsTheLastTextAndIsToldOnce) {
  std::ostringstream console;
  std::streambuf* const saved = std::cout.rdbuf(console.rdbuf());
  vorn::EnableConsole(true);

  COutputItem sine = Make(ItemSineOfTime, 1, 1, 0, 0);
  sine.m_strMnem = "GAM";
  EXPECT_EQ(sine.Evaluate(engine, 3.0), "-999.25");
  EXPECT_FALSE(sine.m_bSendPending);
  sine.Evaluate(engine, 4.0);
  const std::string told = console.str();
  sine.m_fC = 60;
  EXPECT_EQ(sine.Evaluate(engine, 600.0), "1");
  EXPECT_TRUE(sine.m_bSendPending);
  sine.m_bSendPending = false;
  sine.m_fC = 0;
  EXPECT_EQ(sine.Evaluate(engine, 601.0), "1");
  EXPECT_FALSE(sine.m_bSendPending);

  engine.m_fDepth = 0.0;
  COutputItem depthSine = Make(ItemSineOfDepth, 1, 1, 0, 0);
  depthSine.Evaluate(engine, 1.0);
  COutputItem ramp = Make(ItemRamp, -1e308, 0, -1e308, 0);  // the second step overflows to -inf
  EXPECT_EQ(ramp.Evaluate(engine, 1.0), "-1e+308");
  ramp.m_bSendPending = false;
  EXPECT_EQ(ramp.Evaluate(engine, 2.0), "-1e+308");
  EXPECT_FALSE(ramp.m_bSendPending);
  engine.m_fFlow = std::numeric_limits<double>::infinity();
  COutputItem flow = Make(ItemFlow, 0, 0, 0, 0);
  EXPECT_EQ(flow.Evaluate(engine, 1.0), "-999.25");
  EXPECT_FALSE(flow.m_bSendPending);

  vorn::EnableConsole(false);
  std::cout.rdbuf(saved);
  const std::string all = console.str();
  EXPECT_NE(told.find("\"GAM\""), std::string::npos) << told;
  EXPECT_NE(told.find("not a number"), std::string::npos) << told;
  EXPECT_EQ(std::count(told.begin(), told.end(), '\n'), 1) << told;
  EXPECT_EQ(std::count(all.begin(), all.end(), '\n'), 5) << all;  // GAM twice, then each other item once
  EXPECT_NE(all.find("infinite"), std::string::npos) << all;
}

TEST_F(OutputItemTest, PumpStartIsRecordedEvenWhileDisabled) {
  COutputItem item = Make(ItemOnceAfterPumpOn, 5, 0, 0, 3);
  item.m_bEnable = false;
  engine.m_bPumpsOn = false;
  item.Evaluate(engine, 10.0);
  engine.m_bPumpsOn = true;
  item.Evaluate(engine, 11.0);
  EXPECT_EQ(item.m_fPumpStartTime, 11.0);
  item.m_bEnable = true;
  item.Evaluate(engine, 14.0);
  EXPECT_TRUE(item.m_bSendPending);
}

TEST_F(OutputItemTest, DefaultListHasTheTwentyTwoItems) {
  const auto& items = engine.m_outputItems;
  ASSERT_EQ(items.size(), 22u);
  const std::vector<std::string> mnems = {"DEPTH", "HOLE_DEPTH", "BLOCK_HEIGHT", "ROP", "HOOKLOAD", "SLIPS",
                                          "ON_BOTTOM", "RPM", "FLOW", "SPP", "SPM1", "SPM2", "WOB", "TORQ",
                                          "INC", "AZM", "AZMC", "GTOT", "BTOT", "DIP", "TF", "GAM"};
  for (size_t i = 0; i < mnems.size(); ++i) {
    EXPECT_EQ(items[i].m_strMnem, mnems[i]);
    EXPECT_EQ(items[i].m_bReadOnly, i < 14);
    EXPECT_EQ(items[i].m_strValue, "-999.25");
    if (i < 14) {
      EXPECT_EQ(items[i].m_type, static_cast<int32_t>(i));
    }
  }
  EXPECT_EQ(items[5].m_nWitsChannel, 45);
  EXPECT_EQ(items[17].m_fA, 0.997);
  EXPECT_EQ(items[17].m_fSampleRateDepth, 15.0);
  EXPECT_EQ(items[20].m_slidingRotating, FilterSliding);
  EXPECT_TRUE(items[20].m_bFlowOnOnly);
  EXPECT_EQ(items[21].m_type, ItemSineOfTime);
  EXPECT_EQ(items[21].m_nWitsRecord, 8);
  EXPECT_EQ(items[21].m_nWitsChannel, 23);
  EXPECT_EQ(OutputItemTypeNames().size(), 20u);
  EXPECT_EQ(SlideRotateFilterNames().size(), 3u);
}

TEST_F(OutputItemTest, SameStoredFieldsLooksAtEachOfTheThirteenStoredFieldsAndNoRunTimeField) {
  const COutputItem stored(false, true, "M", 1, ItemRamp, 2, 3, 4, "d", FilterSliding, false, 5, 6);
  COutputItem evaluated = stored;
  engine.m_bPumpsOn = true;
  evaluated.Evaluate(engine, 100.0);
  evaluated.m_bOnceFired = true;
  ASSERT_TRUE(evaluated.m_bSendPending);
  EXPECT_TRUE(stored.SameStoredFields(evaluated));

  const std::function<void(COutputItem&)> edits[] = {
      [](COutputItem& i) { i.m_bReadOnly = true; },     [](COutputItem& i) { i.m_bEnable = false; },
      [](COutputItem& i) { i.m_strMnem = "N"; },        [](COutputItem& i) { i.m_fSampleRateDepth = 1.5; },
      [](COutputItem& i) { i.m_type = ItemConstant; },  [](COutputItem& i) { i.m_fA = -2; },
      [](COutputItem& i) { i.m_fB = 3.001; },           [](COutputItem& i) { i.m_fC = 0; },
      [](COutputItem& i) { i.m_strD = "D"; },           [](COutputItem& i) { i.m_slidingRotating = FilterBoth; },
      [](COutputItem& i) { i.m_bFlowOnOnly = true; },   [](COutputItem& i) { i.m_nWitsRecord = 7; },
      [](COutputItem& i) { i.m_nWitsChannel = 60; },
  };
  for (size_t field = 0; field < std::size(edits); ++field) {
    COutputItem edited = evaluated;
    edits[field](edited);
    EXPECT_FALSE(stored.SameStoredFields(edited)) << "stored field " << field;
  }
}

}  // namespace
