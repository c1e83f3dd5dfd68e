#include <gtest/gtest.h>

#include <QTcpSocket>

#include "support/Time.h"
#include "tests/common/EventWait.h"
#include "tests/engine/EngineFixture.h"

namespace {

using vorn::test::RawBytes;
using vorn::test::WaitUntil;

constexpr int kWaitMs = 5000;

class WitsExchangeTest : public vorn::test::EngineInOwnRootTest {
 protected:
  // Starts a run whose WITS link is a server on a free port, with one client attached.
  void StartServingRun() {
    CWitsCommSettings settings;
    settings.nTcpIpPort = vorn::test::FreePort();
    engine->SetCommSettings(settings);
    std::string error;
    ASSERT_TRUE(engine->StartRun(error)) << error;
    receiver.connectToHost("127.0.0.1", static_cast<quint16>(settings.nTcpIpPort));
    ASSERT_TRUE(WaitUntil([&] { return engine->m_witsLink.HasClient(); }, kWaitMs));
  }
  std::string Received(size_t count) {
    std::string text;
    WaitUntil([&] { return (text += receiver.readAll().toStdString()).size() >= count; }, kWaitMs);
    return text;
  }
  void Receive(const std::string& text, int32_t link = WitsLink) {
    engine->CommsReceiverIF_OnReceive(std::vector<uint8_t>(text.begin(), text.end()), link);
  }
  std::string Stamp() const { return vorn::FormatDashedTimestamp(vorn::SecondsToSystemTime(clocks.seconds), " "); }

  QTcpSocket receiver;
};

TEST_F(WitsExchangeTest, AFrameCarriesTheItemsWithNewValuesOnceAndIsLogged) {
  StartServingRun();
  engine->m_outputItems = {COutputItem(false, true, "A", 0, ItemConstant, 95, 0, 0, "", FilterBoth, false, 1, 23),
                           COutputItem(false, true, "B", 0, ItemText, 0, 0, 0, "x!!\r\ny", FilterBoth, false, 150, 3),
                           COutputItem(false, false, "C", 0, ItemConstant, 1, 0, 0, "", FilterBoth, false, 1, 1)};
  for (COutputItem& item : engine->m_outputItems) {
    if (item.m_bEnable) item.Evaluate(*engine, clocks.seconds);
  }
  engine->m_outputItems[0].Evaluate(*engine, clocks.seconds);  // twice: sent once, latest value
  engine->DoWitsOut();
  engine->DoWitsOut();  // nothing new: an empty frame
  const std::string first = "&&\r\n012395\r\n15003x!!\r\ny\r\n!!\r\n";
  const std::string empty = "&&\r\n\r\n!!\r\n";
  EXPECT_EQ(Received(first.size() + empty.size()), first + empty);
  const std::string entry = "OUT " + Stamp() + "\r\n";
  EXPECT_EQ(RawBytes(engine->m_strWitsLogPath),
            entry + "&&\r\n012395\r\n15003x!!\r\ny\r\n!!\r\n" + entry + "&&\r\n\r\n!!\r\n");
}

TEST_F(WitsExchangeTest, ARunServesAClientFramesBothWaysAndLetsItGoAtTheStop) {
  StartServingRun();
  Tick(11);  // items evaluated, a frame due
  const std::string frame = Received(40);
  EXPECT_NE(frame.find("\r\n0108"), std::string::npos) << frame;  // the bit depth
  receiver.write("&&\r\n011012.5\r\n!!\r\n");
  ASSERT_TRUE(WaitUntil([&] { return !engine->m_witsInItems.empty(); }, kWaitMs));
  EXPECT_FALSE(engine->m_witsInItems.at({1, 10}).description.empty());
  engine->StopRun();
  EXPECT_TRUE(engine->m_witsInItems.empty());
  EXPECT_TRUE(WaitUntil([&] { return receiver.state() == QAbstractSocket::UnconnectedState; }, kWaitMs));
  const std::string log = RawBytes(engine->m_strWitsLogPath);
  EXPECT_NE(log.find("OUT "), std::string::npos);
  EXPECT_NE(log.find("IN " + Stamp() + "\r\n&&\r\n011012.5\r\n!!\r\n"), std::string::npos) << log;
  EXPECT_EQ(log.find("\r\r"), std::string::npos);
}

TEST_F(WitsExchangeTest, ArrivalsFillTheTableWithDescriptionsAndAreLogged) {
  std::string error;
  ASSERT_TRUE(engine->StartRun(error)) << error;
  Receive("&&\r\n0108");
  Receive("12.5\r\n!");
  EXPECT_TRUE(engine->m_witsInItems.empty());
  using namespace std::string_literals;
  Receive("!\r\n&&\r\n0768abc\r\n0108 7\r\n!!\r\n\0ignored"s);
  ASSERT_EQ(engine->m_witsInItems.size(), 2u);
  const CWitsInItem& bitDepth = engine->m_witsInItems.at({1, 8});
  EXPECT_EQ(bitDepth.valueText, " 7");  // the later line of the same key wins
  EXPECT_FALSE(bitDepth.description.empty());
  EXPECT_EQ(bitDepth.timeReceived, clocks.seconds);
  EXPECT_EQ(engine->m_witsInItems.at({7, 68}).description, "");
  EXPECT_EQ(engine->m_strWitsInBuffer, "");
  const std::string log = RawBytes(engine->m_strWitsLogPath);
  EXPECT_NE(log.find("IN " + Stamp() + "\r\n!\r\n&&\r\n0768abc\r\n0108 7\r\n!!\r\n"), std::string::npos) << log;

  // A stop empties the table; an incomplete frame waits for the next run.
  Receive("&&\r\n0110");
  engine->StopRun();
  EXPECT_TRUE(engine->m_witsInItems.empty());
  ASSERT_TRUE(engine->StartRun(error)) << error;
  Receive("5\r\n!!");
  EXPECT_EQ(engine->m_witsInItems.at({1, 10}).valueText, "5");
}

TEST_F(WitsExchangeTest, InPingModeEachArrivalIsAnsweredWithOneFrameAndTheClockSendsNone) {
  engine->m_settings.m_bRequiresPing = true;
  engine->m_settings.m_fWitsOutInterval = 0;
  StartServingRun();
  Tick(30);
  Receive("?");
  EXPECT_EQ(engine->m_strWitsInBuffer, "?");
  const std::string frame = Received(1);
  EXPECT_EQ(frame.substr(0, 4), "&&\r\n");
  EXPECT_EQ(frame.find("&&", 1), std::string::npos);  // one frame only
}

TEST_F(WitsExchangeTest, TheSkidLinkSetsOnlyTheGain) {
  Receive("&&\r\nDP:120\r\n!!\r\n", SkidLink);
  EXPECT_EQ(engine->m_settings.m_nFlowSPPGain, 120);
  Receive("&&\r\ndp:50\r\n!!\r\n", SkidLink);
  Receive("&&\r\nDP:50", SkidLink);
  Receive("\r\n!!\r\n", SkidLink);  // a command split over two arrivals is lost
  Receive("&&\r\nDP:50\r\n!!\r\n", 3);  // no such link
  EXPECT_EQ(engine->m_settings.m_nFlowSPPGain, 120);
  EXPECT_TRUE(engine->m_witsInItems.empty());
  EXPECT_EQ(engine->m_strWitsInBuffer, "");
}

}  // namespace
