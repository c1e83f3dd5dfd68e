#include <gtest/gtest.h>

#include <QDir>
#include <QProcess>
#include <QProcessEnvironment>
#include <csignal>
#include <filesystem>

#include "support/DataRoot.h"
#include "support/ProfileSection.h"
#include "support/System.h"
#include "tests/common/EventWait.h"
#include "tests/pump/XDisplay.h"

namespace {

using namespace vorn::test;

// Whether the image shows the mode field's cyan anywhere: the window has been drawn.
bool ShowsModeField(const QImage& image) {
  const QRgb cyan = qRgb(0, 230, 230);
  for (int y = 0; y < image.height(); ++y) {
    const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
    for (int x = 0; x < image.width(); ++x) {
      if ((line[x] & 0xFFFFFF) == (cyan & 0xFFFFFF)) return true;
    }
  }
  return false;
}

// The real program on a private X server, once per tab: it opens its window on the stored tab, the
// window is saved as a picture under the build tree for the eye, and a stop signal closes it the way
// the close box does.
TEST(RealWindow, TheProgramOpensItsWindowOnEachStoredTabAndClosesOnSigterm) {
  if (XServer::Program().isEmpty()) GTEST_SKIP() << "No X server: Xvfb is not installed (apt-get install xvfb)";
  XServer server;
  const std::string display = server.Start({}, "1280x900x24");
  if (display.empty()) GTEST_SKIP() << "No X server: Xvfb did not start";
  QDir().mkpath(VORN_SCREENSHOT_DIR);
  const std::string title = "Vorn Rig Sim " + vorn::GetVersionText();

  for (int tab = 0; tab < 3; ++tab) {
    vorn::CProfileSection("VornRigSim", "").WriteInt("TabSel", tab);
    std::filesystem::remove(std::filesystem::path(vorn::SettingsFolder()) / "SimState.json");

    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("DISPLAY", QString::fromStdString(display));
    environment.insert("QT_QPA_PLATFORM", "xcb");
    QProcess program;
    program.setProcessEnvironment(environment);
    program.setProgram(VORN_SIMULATOR_BINARY);
    program.start();
    ASSERT_TRUE(program.waitForStarted(10000));

    uint32_t window = 0;
    QImage picture;
    ASSERT_TRUE(WaitUntil(
        [&] {
          if (window == 0) window = FindWindowByTitle(display, title);
          if (window != 0) picture = GrabWindow(display, window);
          return ShowsModeField(picture);
        },
        20000))
        << "tab " << tab << ": " << program.readAllStandardError().toStdString();
    EXPECT_GE(picture.width(), 300);
    picture.save(QString(VORN_SCREENSHOT_DIR "/real-window-tab%1.png").arg(tab));

    ::kill(static_cast<pid_t>(program.processId()), SIGTERM);
    ASSERT_TRUE(WaitUntil([&] { return program.state() == QProcess::NotRunning; }, 10000));
    EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(program.exitCode(), 0);
    EXPECT_TRUE(std::filesystem::exists(std::filesystem::path(vorn::SettingsFolder()) / "SimState.json"));
  }
}

}  // namespace
