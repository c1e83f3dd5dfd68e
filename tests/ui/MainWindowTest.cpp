#include <QComboBox>
#include <QLabel>
#include <QScopeGuard>
#include <QSlider>
#include <QTabBar>
#include <QTabWidget>
#include <QTcpSocket>
#include <QTimer>
#include <functional>
#include <fstream>
#include <iostream>
#include <sstream>

#include "engine/RigMode.h"
#include "persist/SettingsFiles.h"
#include "support/Console.h"
#include "support/ProfileSection.h"
#include "tests/common/FileSizeLimit.h"
#include "tests/ui/MainWindowTestParts.h"
#include "ui/AboutDlg.h"
#include "ui/ColorStatic.h"
#include "ui/CommsSettingsDlg.h"
#include "ui/SimSettingsDlg.h"
#include "ui/MainWindowLayout.h"

namespace {

using namespace vorn::test;
namespace fs = std::filesystem;

const QColor kGreen(0, 230, 0);
const QColor kYellow(230, 230, 0);

// The eight controls a run locks.
const char* const kRunTimeControls[] = {"commSettings", "addItem",          "removeItems",  "setBitDepth",
                                        "bitDepth",     "defaultStartState", "setHoleDepth", "holeDepth"};

// Once the next modal dialog of type T is open, hands it to `answer` (which closes it).
template <typename T>
void AnswerNextDialog(std::function<void(T&)> answer) {
  auto* poll = new QTimer;
  poll->setInterval(10);
  QObject::connect(poll, &QTimer::timeout, [poll, answer] {
    auto* dialog = qobject_cast<T*>(QApplication::activeModalWidget());
    if (dialog == nullptr) return;
    poll->stop();
    poll->deleteLater();
    answer(*dialog);
  });
  poll->start();
}

void ClickButton(QWidget& dialog, const char* name) {
  auto* button = dialog.findChild<QAbstractButton*>(name);
  ASSERT_NE(button, nullptr) << name;
  button->click();
}

// The diagnostic console switched on, its lines kept instead of printed, for the object's life.
class ConsoleCapture {
 public:
  ConsoleCapture() : m_old(std::cout.rdbuf(m_lines.rdbuf())) { vorn::EnableConsole(true); }
  ~ConsoleCapture() {
    vorn::EnableConsole(false);
    std::cout.rdbuf(m_old);
  }
  ConsoleCapture(const ConsoleCapture&) = delete;
  ConsoleCapture& operator=(const ConsoleCapture&) = delete;
  [[nodiscard]] std::string Lines() const { return m_lines.str(); }

 private:
  std::ostringstream m_lines;
  std::streambuf* m_old;
};

// The WITS link as a server on a port of its own, so that a run can start without meeting another's.
void SaveServerLinkSettings() {
  vorn::CreateDataFolders();
  CRigSim stored;
  CWitsCommSettings link;
  link.nTcpIpPort = FreePort();
  stored.SetCommSettings(link);
  SaveWitsCommSettings(stored);
}

TEST(MainWindowLayout, TheDpiEntersTheGridAndSliderWidthsTwice) {
  EXPECT_EQ(mainlayout::GridWidth(96), 168);
  EXPECT_EQ(mainlayout::GridWidth(120), 263);
  EXPECT_EQ(mainlayout::SliderWidth(96), 25);
  EXPECT_EQ(mainlayout::SliderWidth(120), 39);
  EXPECT_EQ(mainlayout::MinimumSize(96), 300);
  EXPECT_EQ(mainlayout::MinimumSize(120), 375);
  EXPECT_EQ(mainlayout::Scaled(20, 96), 20);
  EXPECT_EQ(mainlayout::Scaled(20, 120), 25);
  EXPECT_EQ(mainlayout::Scaled(145, 144), 218);  // 217.5 rounds up

  const mainlayout::Placement placed = mainlayout::LayoutControls(QRect(0, 0, 800, 600), 96, {100, 150, 150, 130, 140, 130});
  EXPECT_EQ(placed.tab, QRect(4, 100, 792, 496));
  EXPECT_EQ(placed.channelGrid, QRect(8, 150, 168, 442));
  EXPECT_EQ(placed.stateGrid, QRect(180, 150, 168, 442));
  EXPECT_EQ(placed.slider, QRect(352, 130, 25, 462));
  EXPECT_EQ(placed.outputGrid, QRect(8, 140, 784, 452));
  EXPECT_EQ(placed.witsInGrid, QRect(8, 130, 784, 462));

  // Grids whose columns need more than the width keep side by side, each as wide as it needs.
  const mainlayout::Placement wide =
      mainlayout::LayoutControls(QRect(0, 0, 800, 600), 96, {100, 150, 150, 130, 140, 130}, {200, 100});
  EXPECT_EQ(wide.channelGrid, QRect(8, 150, 200, 442));
  EXPECT_EQ(wide.stateGrid, QRect(212, 150, 168, 442));
  EXPECT_EQ(wide.slider, QRect(384, 130, 25, 462));
}

TEST_F(MainWindowTest, FirstStartMakesTheFoldersAndOpensOnTheStateTab) {
  Open();
  for (const std::string& folder : {vorn::OutputFilesFolder(), vorn::WitsLogFilesFolder(), vorn::SettingsFolder()}) {
    EXPECT_TRUE(fs::is_directory(folder)) << folder;
  }
  EXPECT_EQ(window->windowTitle(), "Vorn Rig Sim v1.0.2.7");
  EXPECT_EQ(Find<QLineEdit>("bitDepth")->text(), "0");
  EXPECT_EQ(Find<QLineEdit>("holeDepth")->text(), "0");
  EXPECT_EQ(Find<QTabWidget>("tabs")->currentIndex(), 0);
  EXPECT_TRUE(Grids().ChannelGrid().isVisible());
  EXPECT_TRUE(Find<QComboBox>("modeBox")->isVisible());
  EXPECT_FALSE(Grids().OutputGrid().isVisible());
  EXPECT_FALSE(Find("addItem")->isVisible());
  EXPECT_FALSE(Grids().WitsInGrid().isVisible());

  auto* mode = Find<CColorStatic>("modeField");
  EXPECT_EQ(mode->text(), "Drill");
  EXPECT_EQ(mode->BackgroundColour(), QColor(0, 230, 230));
  EXPECT_TRUE(Find<CColorStatic>("linkState")->text().isEmpty());
  EXPECT_TRUE(Find<CColorStatic>("linkMessage")->text().isEmpty());

  auto* slider = Find<QSlider>("blockSlider");
  EXPECT_EQ(slider->minimum(), -99);  // a stand of 100
  EXPECT_EQ(slider->maximum(), 0);
  EXPECT_EQ(slider->value(), 0);
  EXPECT_FALSE(slider->isEnabled());

  const int minimum = mainlayout::MinimumSize(window->logicalDpiX());
  EXPECT_EQ(window->minimumSize(), QSize(minimum, minimum));
  window->resize(900, 700);
  Settle();
  EXPECT_EQ(Grids().ChannelGrid().geometry().left(), 8);
  EXPECT_EQ(Grids().ChannelGrid().width(), mainlayout::GridWidth(window->logicalDpiX()));
  EXPECT_EQ(Grids().ChannelGrid().geometry().bottom() + 1, 700 - 8);
  EXPECT_EQ(Find<QTabWidget>("tabs")->geometry().right() + 1, 900 - 4);
}

TEST_F(MainWindowTest, AnUnreadableDictionaryIsToldOnceTheWindowIsUpAndStartUpGoesOn) {
  {
    MessageBoxCatcher boxes;
    Open();
    Settle();
    EXPECT_TRUE(boxes.boxes.empty());  // the dictionary carried inside the program reads
  }
  window.reset();
  MessageBoxCatcher boxes;
  // The table text cannot be copied: memory ran out.
  window = std::make_unique<CVornRigSimDlg>(clocks.Clocks(), []() -> std::string_view { throw std::bad_alloc(); });
  window->show();
  ASSERT_TRUE(WaitUntil([&] { return !boxes.boxes.empty(); }, 5000));
  Settle();
  ASSERT_EQ(boxes.boxes.size(), 1U);
  EXPECT_EQ(boxes.boxes[0].text, "Unable to read in master default embedded resource.Tell Programmer.");
  EXPECT_EQ(boxes.boxes[0].caption, QCoreApplication::applicationName());
  EXPECT_EQ(boxes.boxes[0].buttons, QMessageBox::Ok);
  EXPECT_TRUE(boxes.boxes[0].overShownWindow);
  EXPECT_TRUE(window->isVisible());
  EXPECT_EQ(window->windowTitle(), "Vorn Rig Sim v1.0.2.7");
  EXPECT_TRUE(Engine().m_witsDictionary->empty());
  EXPECT_EQ(Engine().m_outputItems.size(), 22U);
}

TEST_F(MainWindowTest, TheStoredTabAndBlockHeightAreShownAndATabChangeIsStored) {
  vorn::CProfileSection("VornRigSim", "").WriteInt("TabSel", 1);
  vorn::CreateDataFolders();
  {
    CRigSim stored;
    stored.m_fBlockHeight_ = 100.0;
    SaveSimState(stored);
  }
  Open();
  EXPECT_EQ(Find<QTabWidget>("tabs")->currentIndex(), 1);
  EXPECT_TRUE(Grids().OutputGrid().isVisible());
  EXPECT_TRUE(Find("removeItems")->isVisible());
  EXPECT_FALSE(Grids().StateGrid().isVisible());
  EXPECT_FALSE(Find("blockSlider")->isVisible());
  EXPECT_EQ(Find<QSlider>("blockSlider")->value(), -99);  // the block a stand high: the top

  // The window's place is kept as it changes and given back at the next start.
  window->setGeometry(40, 50, 820, 640);
  Settle();
  window.reset();
  Open();
  EXPECT_EQ(window->geometry(), QRect(40, 50, 820, 640));

  auto* tabs = Find<QTabWidget>("tabs");
  QTest::mouseClick(tabs->tabBar(), Qt::LeftButton, {}, tabs->tabBar()->tabRect(2).center());
  Settle();
  EXPECT_EQ(vorn::CProfileSection("VornRigSim", "").GetInt("TabSel"), 2);
  EXPECT_TRUE(Grids().WitsInGrid().isVisible());
  EXPECT_FALSE(Grids().OutputGrid().isVisible());
}

// Ctrl+Tab and Ctrl+PageDown go round the tabs one way, Ctrl+Shift+Tab (sent as Tab or as Backtab)
// and Ctrl+PageUp the other, each press one tab, from wherever the focus went: a grid, the plots.
TEST_F(MainWindowTest, CtrlTabAndCtrlPageKeysTurnTheTabsBothWaysWithTheFocusInAGrid) {
  Open();
  auto* tabs = Find<QTabWidget>("tabs");
  const int count = tabs->count();
  ASSERT_EQ(count, 4);
  struct Press {
    Qt::Key key;
    Qt::KeyboardModifiers modifiers;
    int step;
  };
  const Qt::KeyboardModifiers ctrlShift = Qt::ControlModifier | Qt::ShiftModifier;
  for (const Press& press : {Press{Qt::Key_Tab, Qt::ControlModifier, 1}, Press{Qt::Key_PageDown, Qt::ControlModifier, 1},
                             Press{Qt::Key_Tab, ctrlShift, -1}, Press{Qt::Key_Backtab, ctrlShift, -1},
                             Press{Qt::Key_PageUp, Qt::ControlModifier, -1}}) {
    for (const int start : {0, 1}) {  // the focus in the sub-state table, or in the output grid
      tabs->setCurrentIndex(start);
      Settle();
      CGridCtrl& grid = start == 0 ? Grids().StateGrid() : Grids().OutputGrid();
      ClickCell(grid, 1, start == 0 ? 0 : 3);
      ASSERT_EQ(QApplication::focusWidget(), &grid);
      for (int i = 1; i <= count; ++i) {
        QWidget* target = QApplication::focusWidget() != nullptr ? QApplication::focusWidget() : window.get();
        QTest::keyClick(target, press.key, press.modifiers);
        Settle();
        EXPECT_EQ(tabs->currentIndex(), ((start + press.step * i) % count + count) % count)
            << "key " << press.key << " from tab " << start << ", press " << i;
      }
    }
  }
  EXPECT_EQ(vorn::CProfileSection("VornRigSim", "").GetInt("TabSel"), tabs->currentIndex());
}

TEST_F(MainWindowTest, EnterKeepsTheWindowOpenAndEscapeClosesItSavingTheState) {
  Open();
  Find<QLineEdit>("bitDepth")->setFocus();
  Key(Qt::Key_Return);
  fs::remove(SettingsFile("SimState.json"));
  QTest::keyClick(Find<QLineEdit>("holeDepth"), Qt::Key_Enter);
  Settle();
  EXPECT_TRUE(window->isVisible());

  Key(Qt::Key_Escape);
  EXPECT_FALSE(window->isVisible());
  EXPECT_EQ(window->result(), QDialog::Rejected);
  window.reset();
  EXPECT_TRUE(fs::exists(SettingsFile("SimState.json")));
}

TEST_F(MainWindowTest, AFailedRunStartSaysWhyAndLocksNothing) {
  Open();
  fs::remove_all(vorn::OutputFilesFolder());
  std::ofstream(vorn::OutputFilesFolder()) << "a file where the folder belongs";
  MessageBoxCatcher boxes;
  Click("run");
  ASSERT_EQ(boxes.boxes.size(), 1U);
  EXPECT_TRUE(boxes.boxes[0].text.startsWith("Failed to Connect: Unable to Open output file: " +
                                             QString::fromStdString(vorn::OutputFilesFolder()) + "/"))
      << boxes.boxes[0].text.toStdString();
  EXPECT_TRUE(boxes.boxes[0].text.endsWith(".csv"));
  EXPECT_FALSE(Find<QCheckBox>("run")->isChecked());
  EXPECT_FALSE(window->IsRunning());
  for (const char* name : kRunTimeControls) EXPECT_TRUE(Find(name)->isEnabled()) << name;
}

TEST_F(MainWindowTest, AServerLinkTellsWhetherAClientIsAttachedAndARunFeedsIt) {
  const uint16_t port = FreePort();
  vorn::CreateDataFolders();
  {
    CRigSim stored;
    CWitsCommSettings link;
    link.commType = TcpIp;
    link.tcpIpType = Master;
    link.nTcpIpPort = port;
    stored.SetCommSettings(link);
    SaveWitsCommSettings(stored);
  }
  Open();
  Click("run");
  ASSERT_TRUE(window->IsRunning());
  for (const char* name : kRunTimeControls) EXPECT_FALSE(Find(name)->isEnabled()) << name;
  EXPECT_TRUE(Find("settings")->isEnabled());
  EXPECT_TRUE(Find("defaultItems")->isEnabled());

  auto* state = Find<CColorStatic>("linkState");
  auto* message = Find<CColorStatic>("linkMessage");
  ASSERT_TRUE(WaitUntil([&] { return state->text() == "Connected"; }, 5000));
  EXPECT_TRUE(message->text().endsWith(" - Client NOT Connected")) << message->text().toStdString();
  EXPECT_EQ(state->BackgroundColour(), kGreen);
  EXPECT_EQ(message->BackgroundColour(), kYellow);

  QTcpSocket client;
  client.connectToHost("127.0.0.1", port);
  ASSERT_TRUE(WaitUntil([&] { return message->text().endsWith(" - Client Connected"); }, 5000))
      << message->text().toStdString();
  EXPECT_EQ(message->BackgroundColour(), kGreen);

  // Simulated time moves only by hand: ten seconds, then the ticks that follow evaluate and send.
  clocks.milliseconds += 10000;
  clocks.now += 10.0;
  client.write("&&\r\n0108321.5\r\n!!\r\n");
  QByteArray received;
  CGridCtrl& output = Grids().OutputGrid();
  CGridCtrl& witsIn = Grids().WitsInGrid();
  ASSERT_TRUE(WaitUntil(
      [&] {
        received += client.readAll();
        return received.contains("&&") && output.GetItemText(1, 2) != "-999.25" && witsIn.GetRowCount() == 2;
      },
      5000));
  EXPECT_EQ(output.GetItemText(1, 2), "1000");  // DEPTH
  EXPECT_EQ(output.GetCell(1, 2)->GetBackClr(), QColor(0, 220, 0));
  EXPECT_EQ(witsIn.GetItemText(1, 0), "1");
  EXPECT_EQ(witsIn.GetItemText(1, 1), "8");
  EXPECT_EQ(witsIn.GetItemText(1, 3), "321.5");
  EXPECT_EQ(witsIn.GetItemText(1, 4), "0");
  EXPECT_EQ(Grids().ChannelGrid().GetItemText(1, 1), "1000.00");

  // The three tabs as the operator sees them during the run, for the eye.
  auto* tabs = Find<QTabWidget>("tabs");
  window->resize(1000, 640);
  for (int tab = 0; tab < 3; ++tab) {
    tabs->setCurrentIndex(tab);
    Settle();
    window->grab().save(ScreenshotPath(QString("main-window-tab%1.png").arg(tab)));
  }

  Click("run");
  EXPECT_FALSE(window->IsRunning());
  EXPECT_EQ(state->text(), "Closed");
  for (const char* name : kRunTimeControls) EXPECT_TRUE(Find(name)->isEnabled()) << name;
}

TEST_F(MainWindowTest, AModeChangeOfTheEngineReachesTheWindowAndIsSaved) {
  Open();
  // The last metres of a trip in: back on bottom, the engine drills on by itself.
  Engine().SetMode(TripIn);
  Engine().m_subState[TripIn] = TripPipeMoving;
  Engine().m_fHoleDepth = 1000.0;
  Engine().m_fDepth = 999.99;
  Engine().m_fBlockHeight_ = 50.0;
  SaveSimSettings(Engine());
  SaveSimState(Engine());  // a run starts from the saved state
  Click("run");
  ASSERT_TRUE(window->IsRunning());
  ASSERT_TRUE(WaitUntil(
      [&] {
        clocks.milliseconds += 100;
        clocks.now += 0.1;
        return Engine().m_settings.m_mode == Drill;
      },
      5000));
  Settle();
  EXPECT_EQ(Find<CColorStatic>("modeField")->text(), "Drill");
  EXPECT_EQ(Find<QComboBox>("modeBox")->currentIndex(), Drill);
  EXPECT_EQ(Grids().StateGrid().GetRowCount(), 13);
  CRigSim saved;
  LoadSimSettings(saved);
  EXPECT_EQ(saved.m_settings.m_mode, Drill);
}

TEST_F(MainWindowTest, TheDialogButtonsEditAndSaveTheirRecordsOnlyOnOk) {
  Open();
  const auto written = [](const char* name) { return fs::exists(SettingsFile(name)); };
  fs::remove(SettingsFile("SimSettings.json"));
  AnswerNextDialog<CSimSettingsDlg>([](CSimSettingsDlg& dialog) { ClickButton(dialog, "cancelButton"); });
  Click("settings");
  EXPECT_FALSE(written("SimSettings.json"));

  // The gain slider acts at once, cancelled or not; OK copies the whole record back and saves it.
  AnswerNextDialog<CSimSettingsDlg>([](CSimSettingsDlg& dialog) {
    auto* slider = dialog.findChild<QSlider*>("gainSlider");
    // The slider hands over its position as it is drawn, and only a shown window draws.
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    slider->setValue(40);
    slider->repaint();
    ClickButton(dialog, "okButton");
  });
  Click("settings");
  EXPECT_EQ(Engine().m_settings.m_nFlowSPPGain, 40);
  ASSERT_TRUE(written("SimSettings.json"));
  CRigSim saved;
  LoadSimSettings(saved);
  EXPECT_EQ(saved.m_settings.m_nFlowSPPGain, 40);

  fs::remove(SettingsFile("WitsCommSettings.json"));
  AnswerNextDialog<CCommsSettingsDlg>([](CCommsSettingsDlg& dialog) {
    dialog.findChild<QLineEdit*>("tcpPortEdit")->setText("4321");
    ClickButton(dialog, "okButton");
  });
  Click("commSettings");
  EXPECT_EQ(Engine().m_witsLink.m_settings.nTcpIpPort, 4321);
  EXPECT_TRUE(written("WitsCommSettings.json"));

  QString version;
  AnswerNextDialog<CAboutDlg>([&version](CAboutDlg& about) {
    version = about.VersionLine();
    about.accept();
  });
  Click("about");
  EXPECT_EQ(version, "VornRigSim v1.0.2.7");
  EXPECT_TRUE(window->isVisible());
}

TEST_F(MainWindowTest, TheDialogsAreDrawnInTheWindowsDialogFont) {
  const QFont desktop = QApplication::font();
  const auto restore = qScopeGuard([desktop] { QApplication::setFont(desktop); });
  QFont large = desktop;
  large.setPointSizeF(11.0);  // a desktop whose font is not the dialogs' size
  QApplication::setFont(large);
  Open();
  std::vector<QFont> fonts;
  AnswerNextDialog<CSimSettingsDlg>([&fonts](CSimSettingsDlg& dialog) {
    fonts.push_back(dialog.font());
    dialog.reject();
  });
  Click("settings");
  AnswerNextDialog<CCommsSettingsDlg>([&fonts](CCommsSettingsDlg& dialog) {
    fonts.push_back(dialog.font());
    dialog.reject();
  });
  Click("commSettings");
  AnswerNextDialog<CAboutDlg>([&fonts](CAboutDlg& about) {
    fonts.push_back(about.font());
    about.reject();
  });
  Click("about");
  ASSERT_EQ(fonts.size(), 3U);
  for (const QFont& font : fonts) {
    EXPECT_EQ(font, window->font()) << font.toString().toStdString();
    EXPECT_EQ(font.pointSizeF(), 8.0);
  }
}

TEST_F(MainWindowTest, DepthCommandsMoveTheOtherDepthWhenTheyCrossAndRefuseText) {
  Open();
  Engine().SetHoleDepth(1000.0);
  Engine().SetBitDepth(1000.0);
  SetText("bitDepth", "1500");
  fs::remove(SettingsFile("SimState.json"));
  Click("setBitDepth");
  EXPECT_EQ(Engine().m_fDepth, 1500.0);
  EXPECT_EQ(Engine().m_fHoleDepth, 1500.0);
  EXPECT_EQ(Grids().ChannelGrid().GetItemText(1, 1), "1500.00");
  EXPECT_TRUE(fs::exists(SettingsFile("SimState.json")));

  Engine().SetBitDepth(1000.0);
  SetText("holeDepth", "900");
  Click("setHoleDepth");
  EXPECT_EQ(Engine().m_fHoleDepth, 900.0);
  EXPECT_EQ(Engine().m_fDepth, 900.0);

  // Text in the bit-depth box stops the reading there: the hole-depth box is not read either.
  SetText("bitDepth", "12abc");
  SetText("holeDepth", "700");
  MessageBoxCatcher boxes;
  Click("setHoleDepth");
  ASSERT_EQ(boxes.boxes.size(), 1U);
  EXPECT_EQ(boxes.boxes[0].text, "Enter a number.");
  EXPECT_EQ(window->focusWidget(), Find("bitDepth"));
  EXPECT_EQ(Find<QLineEdit>("bitDepth")->selectedText(), "12abc");
  EXPECT_EQ(Engine().m_fHoleDepth, 900.0);  // the entry read before, 900
}

TEST_F(MainWindowTest, TheModeBoxSavesBothFilesEvenForTheModeAlreadyShown) {
  Open();
  auto* box = Find<QComboBox>("modeBox");
  const auto choose = [&](int index) {
    fs::remove(SettingsFile("SimSettings.json"));
    fs::remove(SettingsFile("SimState.json"));
    box->setCurrentIndex(index);
    emit box->activated(index);
    Settle();
  };
  choose(Drill);
  EXPECT_EQ(Engine().m_settings.m_mode, Drill);
  EXPECT_EQ(Find<CColorStatic>("modeField")->text(), "Drill");
  EXPECT_EQ(Grids().StateGrid().GetRowCount(), 13);
  EXPECT_TRUE(fs::exists(SettingsFile("SimSettings.json")));
  EXPECT_TRUE(fs::exists(SettingsFile("SimState.json")));

  Engine().m_subState[Drill] = DrillingRotating;
  choose(Drill);
  EXPECT_EQ(Engine().GetSubState(), DrillingRotating);
  EXPECT_TRUE(fs::exists(SettingsFile("SimSettings.json")));
  EXPECT_TRUE(fs::exists(SettingsFile("SimState.json")));
}

TEST_F(MainWindowTest, TheDefaultStartStateIsSetOnlyWhenTheOperatorSaysYes) {
  Open();
  Engine().SetMode(TripIn);
  Engine().SetBitDepth(2500.0);
  ClickAndAnswerNo("defaultStartState", "Set to Default Starting State?", "Reset to Default State");
  EXPECT_EQ(Engine().m_fDepth, 2500.0);
  MessageBoxCatcher boxes(QMessageBox::Yes);
  Click("defaultStartState");
  CRigSim fresh;
  fresh.SetDefaultStartState();
  EXPECT_EQ(Engine().m_fDepth, fresh.m_fDepth);
  EXPECT_EQ(Engine().m_settings.m_mode, fresh.m_settings.m_mode);
  EXPECT_EQ(Find<CColorStatic>("modeField")->text(), QString::fromStdString(RigModeNames()[fresh.m_settings.m_mode]));
  EXPECT_EQ(Find<QComboBox>("modeBox")->currentIndex(), fresh.m_settings.m_mode);
}

TEST_F(MainWindowTest, TheDefaultStartStateOutlivesARestart) {
  Open();
  auto* box = Find<QComboBox>("modeBox");
  box->setCurrentIndex(TripIn);
  emit box->activated(TripIn);
  SetText("bitDepth", "2500");
  Click("setBitDepth");
  MessageBoxCatcher boxes(QMessageBox::Yes);
  Click("defaultStartState");
  window.reset();

  Open();
  EXPECT_EQ(Engine().m_settings.m_mode, Drill);
  EXPECT_EQ(Engine().m_fDepth, 1000.0);
  EXPECT_EQ(Find<CColorStatic>("modeField")->text(), "Drill");
  EXPECT_EQ(Grids().StateGrid().GetRowCount(), 13);
}

TEST_F(MainWindowTest, SettingsOkKeepsAModeTheEngineChangedWhileTheDialogWasOpen) {
  Open();
  auto* box = Find<QComboBox>("modeBox");
  box->setCurrentIndex(TripIn);
  emit box->activated(TripIn);
  Settle();
  AnswerNextDialog<CSimSettingsDlg>([this](CSimSettingsDlg& dialog) {
    // A trip reaches the bottom while the operator edits: the tick sets Drill and tells the window.
    Engine().m_settings.m_mode = Drill;
    window->OnModeChanged(Drill);
    TypeValue(*dialog.findChild<CVornMFCPropertyGridCtrl*>("propertyList"), "Stand Length", "90");
    ClickButton(dialog, "okButton");
  });
  Click("settings");
  EXPECT_EQ(Engine().m_settings.m_mode, Drill);
  EXPECT_EQ(Engine().m_settings.m_fStandLength, 90.0);  // the rest of the record is the dialog's
  EXPECT_EQ(Find<CColorStatic>("modeField")->text(), "Drill");
  EXPECT_EQ(box->currentIndex(), Drill);
  CRigSim saved;
  LoadSimSettings(saved);
  EXPECT_EQ(saved.m_settings.m_mode, Drill);
}

TEST_F(MainWindowTest, SettingsDefaultThenOkChangesTheModeAsTheModeBoxDoes) {
  Open();
  auto* box = Find<QComboBox>("modeBox");
  box->setCurrentIndex(TripOut);
  emit box->activated(TripOut);
  Settle();
  Engine().m_subState[TripOut] = TripPipeMoving;
  Engine().m_subState[Drill] = DrillingRotating;
  fs::remove(SettingsFile("SimSettings.json"));
  fs::remove(SettingsFile("SimState.json"));
  AnswerNextDialog<CSimSettingsDlg>([](CSimSettingsDlg& dialog) {
    ClickButton(dialog, "defaultButton");
    ClickButton(dialog, "okButton");
  });
  Click("settings");

  EXPECT_EQ(Engine().m_settings.m_mode, Drill);
  EXPECT_EQ(Engine().m_subState[TripOut], 0);  // both machines start again, as for a choice in the box
  EXPECT_EQ(Engine().m_subState[Drill], 0);
  EXPECT_EQ(box->currentIndex(), Drill);
  EXPECT_EQ(Find<CColorStatic>("modeField")->text(), "Drill");
  EXPECT_EQ(Grids().StateGrid().GetRowCount(), 13);
  EXPECT_EQ(Grids().StateGrid().GetCell(1, 0)->GetBackClr(), QColor(0, 220, 0));
  EXPECT_TRUE(fs::exists(SettingsFile("SimSettings.json")));
  EXPECT_TRUE(fs::exists(SettingsFile("SimState.json")));
}

TEST_F(MainWindowTest, ARunStartNeverGoesBackPastAFailedSaveAndSaysSo) {
  SaveServerLinkSettings();
  Open();
  ConsoleCapture console;
  SetText("bitDepth", "1500");
  Click("setBitDepth");
  SetText("bitDepth", "2000");
  {
    const vorn::test::FileSizeLimit diskFull(16);
    Click("setBitDepth");
  }
  Click("run");
  ASSERT_TRUE(window->IsRunning());
  EXPECT_EQ(Engine().m_fDepth, 2000.0);  // not the 1500 of the last good save
  const std::string path = SimStatePath();
  EXPECT_NE(console.Lines().find("State not saved: unable to write " + path + "\n"), std::string::npos)
      << console.Lines();
  EXPECT_NE(console.Lines().find("State not loaded: the last save of " + path +
                                 " failed; the run goes on from the state in memory\n"),
            std::string::npos)
      << console.Lines();

  // The state saved at the stop ends that: the next start reads the file again.
  Click("run");
  {
    CRigSim other;
    other.SetBitDepth(2500.0);
    SaveSimState(other);
  }
  Click("run");
  EXPECT_EQ(Engine().m_fDepth, 2500.0);

  // A run that moved the rig and could not save it at its stop: the next run goes on from there.
  Engine().m_fDepth = 2600.0;
  {
    const vorn::test::FileSizeLimit diskFull(16);
    Click("run");
  }
  ASSERT_FALSE(window->IsRunning());
  Click("run");
  EXPECT_EQ(Engine().m_fDepth, 2600.0);
  Click("run");
}

}  // namespace
