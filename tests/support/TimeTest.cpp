#include <gtest/gtest.h>

#include <QSettings>
#include <cstdlib>
#include <filesystem>

#include "support/Console.h"
#include "support/ProfileSection.h"
#include "support/System.h"
#include "support/Time.h"
#include "support/VornTimer.h"

namespace {

vorn::SystemTime Moment(int year, int month, int day, int hour, int minute, int second, int ms) {
  vorn::SystemTime t;
  t.wYear = static_cast<uint16_t>(year);
  t.wMonth = static_cast<uint16_t>(month);
  t.wDay = static_cast<uint16_t>(day);
  t.wHour = static_cast<uint16_t>(hour);
  t.wMinute = static_cast<uint16_t>(minute);
  t.wSecond = static_cast<uint16_t>(second);
  t.wMilliseconds = static_cast<uint16_t>(ms);
  return t;
}

TEST(TimeStamps, TheThreeFormatsByteForByte) {
  const vorn::SystemTime t = Moment(2021, 3, 7, 14, 5, 9, 45);
  const double seconds = vorn::SystemTimeToSeconds(t);
  EXPECT_EQ(vorn::FormatFileStamp(seconds), "3_7_2021_14_05_09");
  EXPECT_EQ(vorn::FormatDashedTimestamp(t, " "), "2021-Mar-07 14:05:09.045");
  EXPECT_EQ(vorn::FormatSlashedTimestamp(t, " "), "3/7/2021 14:05:09.045");
  EXPECT_EQ(vorn::FormatDashedTimestamp(Moment(2021, 0, 7, 4, 5, 9, 0), " "), "2021-" "\?\?\?" "-07 4:05:09.000");
  EXPECT_EQ(vorn::FormatSlashedTimestamp(Moment(2000, 1, 1, 0, 0, 0, 999), " "), "1/1/2000 0:00:00.999");
}

TEST(TimeStamps, MonthAbbreviationAndElapsed) {
  EXPECT_EQ(vorn::MonthAbbreviation(1), "Jan");
  EXPECT_EQ(vorn::MonthAbbreviation(12), "Dec");
  EXPECT_EQ(vorn::MonthAbbreviation(0), "???");
  EXPECT_EQ(vorn::MonthAbbreviation(13), "???");
  EXPECT_EQ(vorn::FormatElapsed(0), "0:00:00.000");
  EXPECT_EQ(vorn::FormatElapsed(59.999), "0:00:59.999");
  EXPECT_EQ(vorn::FormatElapsed(62.046), "0:01:02.046");
  EXPECT_EQ(vorn::FormatElapsed(3600 * 27 + 0.5), "27:00:00.500");
}

TEST(TimeValues, DayArithmeticBothWays) {
  EXPECT_EQ(vorn::SystemTimeToSeconds(Moment(2000, 1, 1, 0, 0, 0, 0)), 0.0);
  EXPECT_EQ(vorn::SystemTimeToSeconds(Moment(2000, 1, 2, 0, 0, 1, 500)), 86401.5);

  const vorn::SystemTime rounded = vorn::SecondsToSystemTime(0.9996);
  EXPECT_EQ(rounded.wSecond, 1);
  EXPECT_EQ(rounded.wMilliseconds, 0);
  EXPECT_EQ(rounded.wDay, 1);

  // Every day across two leap years and a century rule comes back as it went in.
  for (int days = 0; days < 3 * 366 + 365 * 100; days += 37) {
    const double seconds = days * 86400.0 + 3723.25;
    const vorn::SystemTime t = vorn::SecondsToSystemTime(seconds);
    EXPECT_EQ(vorn::SystemTimeToSeconds(t), seconds) << days;
  }
  const vorn::SystemTime leap = vorn::SecondsToSystemTime(vorn::SystemTimeToSeconds(Moment(2024, 2, 29, 23, 59, 59, 0)));
  EXPECT_EQ(leap.wMonth, 2);
  EXPECT_EQ(leap.wDay, 29);
  EXPECT_EQ(leap.wDayOfWeek, 4);  // a Thursday
  EXPECT_EQ(vorn::SecondsToSystemTime(0).wDayOfWeek, 6);  // 2000-01-01, a Saturday
}

TEST(TimeValues, NowIsTheLocalCalendarTime) {
  const double now = vorn::NowSeconds();
  time_t raw = time(nullptr);
  tm local{};
  localtime_r(&raw, &local);
  const vorn::SystemTime t = vorn::SecondsToSystemTime(now);
  EXPECT_EQ(t.wYear, local.tm_year + 1900);
  EXPECT_EQ(t.wMonth, local.tm_mon + 1);
  EXPECT_EQ(t.wDay, local.tm_mday);
  EXPECT_NEAR(t.wHour * 60 + t.wMinute, local.tm_hour * 60 + local.tm_min, 1);
}

TEST(VornTimer, TheLineHasTwoSpacesBeforeTheParenthesisAndATrailingSpace) {
  uint32_t clock = 0xFFFF'FFF0u;
  vorn::CVornTimer timer("CRigSim::DoWitsOut", [&clock] { return clock; });
  EXPECT_EQ(timer.Line(clock), "CRigSim::DoWitsOut 0 ms  (0:00:00.000) ");
  EXPECT_EQ(timer.Line(clock + 62046), "CRigSim::DoWitsOut 62046 ms  (0:01:02.046) ");  // across the wrap
}

TEST(Profile, IntegersAndPlacementsRoundTripInTheTestsOwnStore) {
  const char* config = std::getenv("XDG_CONFIG_HOME");
  ASSERT_NE(config, nullptr);
  vorn::CProfileSection main("VornRigSim", "");
  vorn::CProfileSection dialog("VornRigSim", "SetDlg");
  EXPECT_EQ(main.GetInt("TabSel"), 0);
  main.WriteInt("TabSel", 2);
  EXPECT_EQ(main.GetInt("TabSel"), 2);
  EXPECT_EQ(dialog.GetInt("TabSel"), 0);

  vorn::WindowPlacement placement;
  placement.left = 10;
  placement.top = -20;
  placement.right = 810;
  placement.bottom = 620;
  placement.showCmd = 3;
  dialog.WritePlacement("WindowPlacment", placement);
  vorn::WindowPlacement back;
  ASSERT_TRUE(dialog.GetPlacement("WindowPlacment", back));
  EXPECT_EQ(back.length, 44);
  EXPECT_EQ(back.left, 10);
  EXPECT_EQ(back.top, -20);
  EXPECT_EQ(back.bottom, 620);
  EXPECT_EQ(back.showCmd, 3);
  EXPECT_FALSE(main.GetPlacement("WindowPlacment", back));
  EXPECT_TRUE(std::filesystem::exists(std::string(config) + "/VornRigSim/VornRigSim.ini"));
}

TEST(Profile, APlacementOfAnyOtherSizeIsIgnored) {
  {
    QSettings store(QSettings::IniFormat, QSettings::UserScope, "VornRigSim", "VornRigSim");
    store.setValue("VornRigSim/WindowPlacment", QByteArray(43, '\1'));
  }
  vorn::WindowPlacement placement;
  placement.left = 77;
  EXPECT_FALSE(vorn::CProfileSection("VornRigSim", "").GetPlacement("WindowPlacment", placement));
  EXPECT_EQ(placement.left, 77);
}

TEST(Profile, TheConsoleSwitchIsWrittenBackAndFollowed) {
  vorn::CProfileSection local("_Local", "");
  EXPECT_EQ(vorn::InitConsoleFromProfile(), 0);
  EXPECT_FALSE(vorn::ConsoleEnabled());
  local.WriteInt("ConsoleWindow", 1);
  EXPECT_EQ(vorn::InitConsoleFromProfile(), 1);
  EXPECT_TRUE(vorn::ConsoleEnabled());
  local.WriteInt("ConsoleWindow", 0);
  vorn::InitConsoleFromProfile();
  EXPECT_FALSE(vorn::ConsoleEnabled());
}

TEST(Version, TextComesFromTheBuild) { EXPECT_EQ(vorn::GetVersionText(), "v1.0.2.7"); }

}  // namespace
