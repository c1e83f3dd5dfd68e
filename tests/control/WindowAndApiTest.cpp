// The window and the control API driving one engine at once, on offscreen Qt: what one issues, the
// other shows.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QPushButton>
#include <QTest>
#include <memory>

#include "control/ControlServer.h"
#include "tests/common/EventWait.h"
#include "tests/control/HttpClient.h"
#include "ui/ColorStatic.h"
#include "ui/VornRigSimDlg.h"

namespace {

using vorn::test::CEventReader;
using vorn::test::CHttpClient;
using vorn::test::WaitUntil;

bool Has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

TEST(WindowAndApiTest, BothDriveOneEngineAndEachShowsTheOthersCommands) {
  CVornRigSimDlg window;
  window.show();
  CWitsCommSettings link;
  link.nTcpIpPort = vorn::test::FreePort();
  ASSERT_TRUE(window.Controller().SetLinkSettings(link).IsDone());
  vorn::control::CControlServer server([&window](int rig) { return rig == 0 ? &window.Controller() : nullptr; },
                                       {"127.0.0.1", 0, std::nullopt, 0, {}});
  std::string error;
  ASSERT_TRUE(server.Listen(error)) << error;
  CHttpClient api(server.Port());
  CEventReader events(server.Port());
  ASSERT_TRUE(events.WaitOpen());
  auto* modeBox = window.findChild<QComboBox*>("modeBox");
  auto* runBox = window.findChild<QCheckBox*>("run");
  auto* setBitDepth = window.findChild<QPushButton*>("setBitDepth");
  auto* modeField = window.findChild<QLabel*>("modeField");
  ASSERT_TRUE(modeBox && runBox && setBitDepth && modeField);

  // The API's mode shows in the window's mode box and field.
  ASSERT_EQ(api.Send("POST", "/api/v1/mode", R"({"mode": "Trip Out"})").status, 200);
  EXPECT_EQ(modeBox->currentIndex(), TripOut);
  EXPECT_EQ(modeField->text(), "Trip Out");

  // The window's mode reaches the API and its stream.
  modeBox->setCurrentIndex(Idle);
  emit modeBox->activated(Idle);
  EXPECT_TRUE(Has(api.Get("/api/v1/status").body, R"("mode":{"index":0,"name":"Idle"})"));
  EXPECT_EQ(events.WaitFor({R"("event":"mode","index":0)"}, 10000),
            R"({"event":"mode","index":0,"name":"Idle","byEngine":false})");

  // A run the API starts checks the window's Run box and locks its run-time controls ...
  ASSERT_EQ(api.Send("POST", "/api/v1/run", R"({"running": true})").status, 200);
  EXPECT_TRUE(runBox->isChecked());
  EXPECT_FALSE(setBitDepth->isEnabled());
  EXPECT_EQ(api.Send("POST", "/api/v1/bit-depth", R"({"depth": 10})").status, 409);
  // ... and the window's Run box stops it for both.
  QTest::mouseClick(runBox, Qt::LeftButton);
  EXPECT_FALSE(window.Controller().IsRunning());
  EXPECT_TRUE(Has(api.Get("/api/v1/status").body, R"("running":false)"));
  EXPECT_FALSE(events.WaitFor({R"("event":"run","running":false)"}, 10000).empty());
  EXPECT_TRUE(setBitDepth->isEnabled());
  ASSERT_EQ(api.Send("POST", "/api/v1/bit-depth", R"({"depth": 1500})").status, 200);
  EXPECT_EQ(window.Engine().m_fDepth, 1500.0);
}

}  // namespace
