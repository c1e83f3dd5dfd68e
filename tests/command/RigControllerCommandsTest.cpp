// Each command of the rig controller: what it checks, what it saves, what it tells the views.
#include <cmath>
#include <limits>

#include "engine/RigMode.h"
#include "tests/command/RecordingView.h"
#include "tests/engine/SettingSamples.h"

namespace {

using vorn::test::RigControllerTest;
using Strings = std::vector<std::string>;

// The rig as the files hold it.
std::unique_ptr<CRigSim> SavedRig() {
  auto saved = std::make_unique<CRigSim>();
  saved->m_pumpsMessage = nullptr;
  LoadSimSettings(*saved);
  LoadSimState(*saved);
  return saved;
}

TEST_F(RigControllerTest, ADepthMustBeANumberAndIsSavedAndToldOnceSet) {
  RemoveSettingsFiles();
  for (const double bad : {std::nan(""), std::numeric_limits<double>::infinity()}) {
    const CommandResult result = controller->SetBitDepth(bad);
    EXPECT_EQ(result.outcome, CommandOutcome::Invalid);
    EXPECT_FALSE(result.message.empty());
    EXPECT_EQ(controller->SetHoleDepth(-bad).outcome, CommandOutcome::Invalid);
  }
  EXPECT_EQ(engine->m_fDepth, 1000.0);
  EXPECT_FALSE(Saved(SimStatePath()));
  EXPECT_TRUE(view.events.empty());

  ASSERT_TRUE(controller->SetBitDepth(1200.0).IsDone());
  EXPECT_EQ(engine->m_fHoleDepth, 1200.0);  // the hole follows the bit past it
  ASSERT_TRUE(Saved(SimStatePath()));
  EXPECT_EQ(SavedRig()->m_fDepth, 1200.0);
  ASSERT_TRUE(controller->SetHoleDepth(900.0).IsDone());
  EXPECT_EQ(engine->m_fDepth, 900.0);  // and the bit the hole above it
  EXPECT_EQ(SavedRig()->m_fHoleDepth, 900.0);
  EXPECT_EQ(view.events, (Strings{"state depths", "state depths"}));
}

TEST_F(RigControllerTest, AModeOutsideTheFourIsInvalidAndAChoiceSavesBothFilesEvenWhenUnchanged) {
  RemoveSettingsFiles();
  for (const int bad : {-1, 4}) EXPECT_EQ(controller->SetMode(bad).outcome, CommandOutcome::Invalid) << bad;
  EXPECT_EQ(engine->m_settings.m_mode, Drill);
  EXPECT_FALSE(Saved(SimSettingsPath()));

  engine->m_subState[Drill] = DrillingRotating;
  ASSERT_TRUE(controller->SetMode(Drill).IsDone());
  EXPECT_EQ(engine->GetSubState(), DrillingRotating);  // the mode already set keeps its machine
  EXPECT_TRUE(Saved(SimSettingsPath()));
  EXPECT_TRUE(Saved(SimStatePath()));
  // The mode did not change; the sub-state set behind the controller's back is told now.
  EXPECT_EQ(view.events, (Strings{"sub-state 11"}));
  view.events.clear();

  ASSERT_TRUE(controller->SetMode(TripIn).IsDone());
  EXPECT_EQ(engine->m_subState[Drill], 0);
  EXPECT_EQ(SavedRig()->m_settings.m_mode, TripIn);
  EXPECT_EQ(view.events, (Strings{"mode 2", "sub-state 0"}));
  EXPECT_EQ(controller->Status().mode, TripIn);
}

TEST_F(RigControllerTest, TheGainIsLiveWithinZeroToAHundredAndNeverSaved) {
  RemoveSettingsFiles();
  EXPECT_EQ(controller->SetGain(101).outcome, CommandOutcome::Invalid);
  EXPECT_EQ(controller->SetGain(-1).outcome, CommandOutcome::Invalid);
  EXPECT_EQ(engine->m_settings.m_nFlowSPPGain, 100);
  ASSERT_TRUE(controller->SetGain(40).IsDone());
  ASSERT_TRUE(controller->SetGain(40).IsDone());  // the slider hands its position over at every drawing
  EXPECT_EQ(engine->m_settings.m_nFlowSPPGain, 40);
  EXPECT_EQ(view.events, (Strings{"settings gain 40"}));
  EXPECT_FALSE(Saved(SimSettingsPath()));

  ASSERT_TRUE(controller->SetTenTimes(true).IsDone());
  EXPECT_TRUE(engine->TenTimesSpeed());
  EXPECT_EQ(view.events.back(), "ten times on");
  EXPECT_FALSE(Saved(SimSettingsPath()));
}

TEST_F(RigControllerTest, SettingsThatDoNotHoldTogetherAreInvalidAndChangeNothing) {
  RemoveSettingsFiles();
  CSimSettings edited = engine->m_settings;
  edited.m_fDepthToSlide = 100.5;
  edited.m_fFlowRate = 1.0;
  const CommandResult result = controller->ApplySettings(edited, edited.m_mode);
  EXPECT_EQ(result, CommandResult::Invalid("'Stand Length' is less than 'Depth to Slide'"));

  edited = engine->m_settings;
  edited.m_fFlowRate = 1.0;
  edited.m_mode = 7;
  EXPECT_EQ(controller->ApplySettings(edited, Drill).outcome, CommandOutcome::Invalid);

  EXPECT_EQ(engine->m_settings.m_fFlowRate, 400.0);
  EXPECT_EQ(engine->m_settings.m_mode, Drill);
  EXPECT_FALSE(Saved(SimSettingsPath()));
  EXPECT_TRUE(view.events.empty());
}

// Whoever edits the settings: a value inside its setting's range is taken and saved, one outside is
// Invalid with a message naming the setting and its range, and changes nothing.
TEST_F(RigControllerTest, EverySettingIsTakenInsideItsRangeAndRefusedOutside) {
  for (const vorn::test::SettingSample& sample : vorn::test::SettingSamples(24, 4)) {
    const CSimSettings before = engine->m_settings;
    const std::string what = std::string(sample.range->key) + " " + vorn::test::ExactText(sample.value);
    const CommandResult result = controller->ApplySettings(WithSample(sample, before), before.m_mode);
    if (sample.inside) {
      ASSERT_TRUE(result.IsDone()) << what << ": " << result.message;
      EXPECT_EQ(sample.range->get(engine->m_settings), sample.value) << what;
      continue;
    }
    EXPECT_EQ(result.outcome, CommandOutcome::Invalid) << what;
    EXPECT_TRUE(result.message.starts_with(RefusalStart(sample))) << what << ": " << result.message;
    EXPECT_TRUE(result.message.ends_with(RefusalEnd(sample))) << what << ": " << result.message;
    for (const SimSettingRange& range : SimSettingRanges()) {
      EXPECT_EQ(range.get(engine->m_settings), range.get(before)) << what << " changed " << range.key;
    }
  }
  // What was taken was saved. The file's reader may miss a long number by a unit in the last place.
  const auto saved = SavedRig();
  for (const SimSettingRange& range : SimSettingRanges()) {
    EXPECT_DOUBLE_EQ(range.get(saved->m_settings), range.get(engine->m_settings)) << range.key;
  }
}

TEST_F(RigControllerTest, SettingsKeepTheEnginesModeUnlessTheEditorChangedIt) {
  ASSERT_TRUE(controller->SetMode(TripIn).IsDone());
  CSimSettings edited = engine->m_settings;  // the editor opens on Trip In
  // A trip reaches the bottom while the operator edits.
  engine->m_settings.m_mode = Drill;
  controller->OnModeChanged(Drill);
  view.events.clear();
  edited.m_fStandLength = 90.0;
  edited.m_nFlowSPPGain = 70;
  ASSERT_TRUE(controller->ApplySettings(edited, TripIn).IsDone());
  EXPECT_EQ(engine->m_settings.m_mode, Drill);
  EXPECT_EQ(engine->m_settings.m_fStandLength, 90.0);
  EXPECT_EQ(SavedRig()->m_settings.m_mode, Drill);
  EXPECT_EQ(SavedRig()->m_settings.m_fStandLength, 90.0);
  EXPECT_EQ(view.events, (Strings{"settings gain 70"}));  // the gain is told once, with the settings

  // The editor's own change of mode goes as a choice of mode does: both machines start again.
  engine->m_subState[Drill] = DrillingRotating;
  engine->m_subState[TripOut] = TripPipeMoving;
  RemoveSettingsFiles();
  edited = engine->m_settings;
  edited.m_mode = TripOut;
  ASSERT_TRUE(controller->ApplySettings(edited, Drill).IsDone());
  EXPECT_EQ(engine->m_settings.m_mode, TripOut);
  EXPECT_EQ(engine->m_subState[Drill], 0);
  EXPECT_EQ(engine->m_subState[TripOut], 0);
  EXPECT_TRUE(Saved(SimStatePath()));
  EXPECT_EQ(SavedRig()->m_settings.m_mode, TripOut);
  EXPECT_EQ(view.events, (Strings{"settings gain 70", "settings gain 70", "mode 3", "sub-state 0"}));
}

TEST_F(RigControllerTest, ReplacedItemsKeepTheRunTimeStateOfThoseLeftAsTheyWere) {
  std::vector<COutputItem>& items = engine->m_outputItems;
  items[0].m_strValue = "1234";
  items[0].m_bSendPending = true;
  items[14].m_strValue = "5";
  items[15].m_strValue = "20";
  // What the grid reads back: every item afresh, one of them edited, one more at the end.
  std::vector<COutputItem> readBack;
  for (const COutputItem& item : items) {
    readBack.emplace_back(item.m_bReadOnly, item.m_bEnable, item.m_strMnem, item.m_fSampleRateDepth, item.m_type,
                          item.m_fA, item.m_fB, item.m_fC, item.m_strD, item.m_slidingRotating, item.m_bFlowOnOnly,
                          item.m_nWitsRecord, item.m_nWitsChannel);
  }
  readBack.push_back(readBack[14]);
  readBack[15].m_fA = 21.0;
  RemoveSettingsFiles();
  ASSERT_TRUE(controller->ReplaceItems(readBack).IsDone());
  ASSERT_EQ(items.size(), 23U);
  EXPECT_EQ(items[0].m_strValue, "1234");
  EXPECT_TRUE(items[0].m_bSendPending);
  EXPECT_EQ(items[15].m_fA, 21.0);
  EXPECT_EQ(items[15].m_strValue, kNoValueText);
  EXPECT_EQ(items[14].m_strValue, "5");
  EXPECT_EQ(items[22].m_strValue, kNoValueText);  // the same fields as item 14, but a new item
  EXPECT_EQ(SavedRig()->m_outputItems.size(), 23U);
  EXPECT_EQ(view.events, (Strings{"items"}));
}

// A list without the read-only channel copies, as a bench may give, keeps them; so does one that
// changes them.
TEST_F(RigControllerTest, AReplacedListKeepsTheReadOnlyItemsAsTheyWere) {
  const std::vector<COutputItem> defaults = engine->m_outputItems;
  COutputItem bench;
  bench.m_strMnem = "BENCH";
  COutputItem depth = defaults[0];
  depth.m_bEnable = false;
  RemoveSettingsFiles();
  ASSERT_TRUE(controller->ReplaceItems({bench, depth}).IsDone());
  const std::vector<COutputItem>& items = engine->m_outputItems;
  ASSERT_EQ(items.size(), 15U);
  EXPECT_EQ(items[0].m_strMnem, "BENCH");
  // The read-only item given stands for the first kept one; the others follow it.
  for (size_t i = 0; i < 14; ++i) EXPECT_TRUE(items[i + 1].SameStoredFields(defaults[i])) << i;
  EXPECT_EQ(SavedRig()->m_outputItems.size(), 15U);
  EXPECT_EQ(view.events, (Strings{"items"}));
}

TEST_F(RigControllerTest, ItemsAreAddedAndRemovedButReadOnlyOnesNever) {
  RemoveSettingsFiles();
  ASSERT_TRUE(controller->AddItem().IsDone());
  ASSERT_EQ(engine->m_outputItems.size(), 23U);
  EXPECT_EQ(engine->m_outputItems.back().m_strMnem, "Mnem");
  EXPECT_EQ(engine->m_outputItems.back().m_type, ItemConstant);
  EXPECT_EQ(SavedRig()->m_outputItems.size(), 23U);

  // Item 0 is a read-only channel copy; an index named twice counts once.
  const std::string next = engine->m_outputItems[15].m_strMnem;
  ASSERT_TRUE(controller->RemoveItems({0, 14, 22, 14}).IsDone());
  ASSERT_EQ(engine->m_outputItems.size(), 21U);
  EXPECT_EQ(engine->m_outputItems[0].m_strMnem, "DEPTH");
  EXPECT_EQ(engine->m_outputItems[14].m_strMnem, next);

  RemoveSettingsFiles();
  ASSERT_TRUE(controller->RemoveItems({0, 1}).IsDone());  // read-only, both
  EXPECT_EQ(controller->RemoveItems({15, 21}).outcome, CommandOutcome::Invalid);
  EXPECT_EQ(engine->m_outputItems.size(), 21U);
  EXPECT_FALSE(Saved(SimSettingsPath()));

  ASSERT_TRUE(controller->LoadDefaultItems().IsDone());
  EXPECT_EQ(engine->m_outputItems.size(), 22U);
  EXPECT_EQ(SavedRig()->m_outputItems.size(), 22U);
  EXPECT_EQ(view.events, (Strings{"items", "items", "items"}));
}

TEST_F(RigControllerTest, TheLinkSettingsAreSavedAndToldAndTheSkidLinkFollows) {
  CWitsCommSettings link;
  link.nTcpIpPort = 4321;
  ASSERT_TRUE(controller->SetLinkSettings(link).IsDone());
  EXPECT_EQ(engine->m_witsLink.m_settings.nTcpIpPort, 4321);
  EXPECT_EQ(engine->m_skidLink.m_settings.nTcpIpPort, 4322);
  CRigSim saved;
  saved.m_pumpsMessage = nullptr;
  LoadWitsCommSettings(saved);
  EXPECT_EQ(saved.m_witsLink.m_settings.nTcpIpPort, 4321);
  EXPECT_EQ(view.events, (Strings{"link settings port 4321"}));
}

TEST_F(RigControllerTest, TheDefaultStartStateSavesBothFilesAndTellsTheModeItSets) {
  ASSERT_TRUE(controller->SetMode(TripOut).IsDone());
  ASSERT_TRUE(controller->SetBitDepth(2500.0).IsDone());
  view.events.clear();
  RemoveSettingsFiles();
  ASSERT_TRUE(controller->SetDefaultStartState().IsDone());
  EXPECT_EQ(engine->m_fDepth, 1000.0);
  const auto saved = SavedRig();
  EXPECT_EQ(saved->m_settings.m_mode, Drill);
  EXPECT_EQ(saved->m_fDepth, 1000.0);
  EXPECT_EQ(view.events, (Strings{"state default", "mode 1", "sub-state 0"}));
}

TEST_F(RigControllerTest, ACommandLockedDuringARunIsRefusedAndChangesNothing) {
  UseSilentLink();
  ASSERT_TRUE(controller->SetRunning(true).IsDone());
  ASSERT_TRUE(controller->IsRunning());
  ASSERT_TRUE(controller->SetRunning(true).IsDone());  // asked again: nothing more
  ASSERT_GE(view.events.size(), 2U);
  EXPECT_EQ(view.events[1], "run on");
  EXPECT_EQ(std::count(view.events.begin(), view.events.end(), "run on"), 1);

  RemoveSettingsFiles();
  CWitsCommSettings link;
  link.nTcpIpPort = 4444;
  const std::vector<CommandResult> refused = {
      controller->SetBitDepth(1.0),          controller->SetHoleDepth(1.0), controller->SetDefaultStartState(),
      controller->AddItem(),                 controller->RemoveItems({20}), controller->SetLinkSettings(link),
      controller->ReplaceItems({})};  // all but the read-only items gone: shorter
  for (const CommandResult& result : refused) {
    EXPECT_EQ(result.outcome, CommandOutcome::Refused);
    EXPECT_NE(result.message.find("while a run is active"), std::string::npos) << result.message;
  }
  EXPECT_EQ(engine->m_fDepth, 1000.0);
  EXPECT_EQ(engine->m_outputItems.size(), 22U);
  EXPECT_EQ(engine->m_witsLink.m_settings.commType, 2);
  for (const std::string& path : {SimSettingsPath(), SimStatePath(), WitsCommSettingsPath()}) {
    EXPECT_FALSE(Saved(path)) << path;
  }

  // What the window leaves enabled during a run goes on.
  EXPECT_TRUE(controller->SetMode(Idle).IsDone());
  EXPECT_TRUE(controller->LoadDefaultItems().IsDone());
  EXPECT_TRUE(controller->ReplaceItems(engine->m_outputItems).IsDone());
  EXPECT_TRUE(controller->ApplySettings(engine->m_settings, Idle).IsDone());
  EXPECT_TRUE(controller->SetGain(50).IsDone());

  ASSERT_TRUE(controller->SetRunning(false).IsDone());
  EXPECT_EQ(view.events.back(), "run off");
  EXPECT_TRUE(controller->SetBitDepth(1.0).IsDone());
}

TEST_F(RigControllerTest, AFailedRunStartIsRefusedWithItsReasonAndToldToNoView) {
  UseSilentLink();
  view.events.clear();
  std::filesystem::remove_all(vorn::OutputFilesFolder());
  std::ofstream(vorn::OutputFilesFolder()) << "a file where the folder belongs";
  const CommandResult result = controller->SetRunning(true);
  EXPECT_EQ(result.outcome, CommandOutcome::Refused);
  EXPECT_EQ(result.message.rfind("Failed to Connect: Unable to Open output file: " + vorn::OutputFilesFolder() + "/", 0),
            0U)
      << result.message;
  EXPECT_FALSE(controller->IsRunning());
  EXPECT_TRUE(view.events.empty());
}

TEST_F(RigControllerTest, ClosingSavesTheStateWhetherARunWasActiveOrNot) {
  RemoveSettingsFiles();
  controller->Close();
  EXPECT_TRUE(Saved(SimStatePath()));
  EXPECT_TRUE(view.events.empty());
}

}  // namespace
