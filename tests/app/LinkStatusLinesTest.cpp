#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "app/LinkStatusLines.h"
#include "comms/WitsCommSettings.h"

namespace {

constexpr const char* kSerialRetry = "Trying to Connect to Comm Port 5 @ 3/7/2021 14:05:09.045";
constexpr const char* kClientRetry = "Trying to Connect IP='10.0.0.7' Port=1234) @ 3/7/2021 14:05:09.145";

TEST(LinkStatusLinesTest, TheTimeStampIsWhatFollowsTheLastAtSign) {
  EXPECT_EQ(WithoutTimeStamp(kSerialRetry), "Trying to Connect to Comm Port 5");
  EXPECT_EQ(WithoutTimeStamp(kClientRetry), "Trying to Connect IP='10.0.0.7' Port=1234)");
  // Texts without a time stamp stay whole, even where an address holds an at sign.
  EXPECT_EQ(WithoutTimeStamp("Connected TCP/IP Port 1234 - Client NOT Connected"),
            "Connected TCP/IP Port 1234 - Client NOT Connected");
  EXPECT_EQ(WithoutTimeStamp("Trying to Connect IP='a @ b' Port=1) @ 12/31/2029 23:59:59.999"),
            "Trying to Connect IP='a @ b' Port=1)");
  EXPECT_EQ(WithoutTimeStamp("Trying to Connect IP='a @ b' Port=1)"), "Trying to Connect IP='a @ b' Port=1)");
  EXPECT_EQ(WithoutTimeStamp(""), "");
}

TEST(LinkStatusLinesTest, ARetryingLinkPrintsItsFirstLineThenAtMostOneEveryTenSecondsWithTheAttempts) {
  CLinkStatusLines lines;
  uint32_t now = 4'294'960'000u;  // the clock wraps at 2^32 during the test
  uint64_t attempts = 1;
  EXPECT_EQ(lines.Next(TryingToConnect, kSerialRetry, attempts, now),
            std::string("Link Trying to Connect: ") + kSerialRetry);
  // Every tick a new attempt with a new time: nothing new to say.
  for (int tick = 0; tick < 200; ++tick) {
    now += 100;
    ++attempts;
    EXPECT_EQ(lines.Next(TryingToConnect, std::string("Trying to Connect to Comm Port 5 @ 3/7/2021 14:05:") +
                                              std::to_string(10 + tick / 10) + ".045",
                         attempts, now),
              std::nullopt);
  }
  // 20 s later, across the clock's wrap, a new text is printed.
  EXPECT_EQ(lines.Next(TryingToConnect, "OnConnect Error Code: 111", ++attempts, now += 100),
            "Link Trying to Connect: OnConnect Error Code: 111 (202 attempts)");

  // A text that keeps changing while retrying: one line per 10 s, with the attempts so far.
  CLinkStatusLines client;
  now = 1000;
  attempts = 1;
  ASSERT_TRUE(client.Next(TryingToConnect, kClientRetry, attempts, now));
  std::vector<std::pair<int, std::string>> printed;
  for (int tick = 1; tick <= 300; ++tick) {
    now += 100;
    ++attempts;
    const std::string status = tick % 2 == 1 ? "OnConnect Error Code: 111" : kClientRetry;
    if (const auto line = client.Next(TryingToConnect, status, attempts, now)) printed.emplace_back(tick, *line);
  }
  const std::vector<std::pair<int, std::string>> expected = {
      {101, "Link Trying to Connect: OnConnect Error Code: 111 (102 attempts)"},
      {202, std::string("Link Trying to Connect: ") + kClientRetry + " (203 attempts)"}};
  EXPECT_EQ(printed, expected);
}

TEST(LinkStatusLinesTest, StateChangesAndTextChangesOfAConnectedLinkPrintAtOnce) {
  CLinkStatusLines lines;
  uint32_t now = 0;
  const std::string listening = "Connected TCP/IP Port 1234";
  EXPECT_EQ(lines.Next(Connected, listening + " - Client NOT Connected", 0, now),
            "Link Connected: " + listening + " - Client NOT Connected");
  EXPECT_EQ(lines.Next(Connected, listening + " - Client Connected", 0, now += 100),
            "Link Connected: " + listening + " - Client Connected");
  EXPECT_EQ(lines.Next(Connected, listening + " - Client Connected", 0, now += 100), std::nullopt);
  EXPECT_EQ(lines.Next(Connected, listening + " - Client NOT Connected", 0, now += 100),
            "Link Connected: " + listening + " - Client NOT Connected");

  // A state change, even back and forth within one tick's time, is never held back; the attempts
  // count from the last time the link was connected.
  CLinkStatusLines serial;
  EXPECT_TRUE(serial.Next(Connected, "Connected to Comm Port 5  baudrate = 9600", 7, now));
  EXPECT_EQ(serial.Next(TryingToConnect, kSerialRetry, 8, now += 100), std::string("Link Trying to Connect: ") + kSerialRetry);
  EXPECT_EQ(serial.Next(TryingToConnect, "Trying to Connect to Comm Port 5 @ 3/7/2021 14:06:00.000", 9, now += 10000),
            std::nullopt);
  EXPECT_EQ(serial.Next(TryingToConnect, "Server.Listen failed", 100, now += 10000),
            "Link Trying to Connect: Server.Listen failed (93 attempts)");
  EXPECT_EQ(serial.Next(Connected, "Connected to Comm Port 5  baudrate = 9600", 101, now += 100),
            "Link Connected: Connected to Comm Port 5  baudrate = 9600");
  EXPECT_EQ(serial.Next(Closed, "", 101, now += 1), "Link Closed: ");
}

}  // namespace
