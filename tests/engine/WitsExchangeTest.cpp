#include <gtest/gtest.h>

#include <QTcpSocket>
#include <random>
#include <tuple>

#include "support/Time.h"
#include "tests/common/EventWait.h"
#include "tests/engine/EngineFixture.h"

namespace {

using vorn::test::RawBytes;
using vorn::test::WaitUntil;
using namespace std::string_literals;

constexpr int kWaitMs = 5000;

// A stream as a receiving system might send it: frames of random data lines, with noise, stray marks
// and zero bytes between and inside them, sometimes ending in a frame that is not complete.
std::string RandomStream(std::mt19937& rng) {
  const std::vector<std::string> noise = {"", "", "", "\r\n", "  \r\n", "junk\r\n", "\0"s, "&", "!!\r\n", "&&\r\n01"};
  const std::string valueChars = "0123456789.- abcXYZ&!\t";
  std::string stream;
  const int frames = 1 + static_cast<int>(rng() % 6);
  for (int f = 0; f < frames; ++f) {
    stream += noise[rng() % noise.size()];
    std::string frame = "&&\r\n";
    const int lines = static_cast<int>(rng() % 5);
    for (int l = 0; l < lines; ++l) {
      if (l > 0) frame += "\r\n";
      frame += vorn::Sprintf("%02u%02u", static_cast<unsigned>(rng() % 100), static_cast<unsigned>(rng() % 100));
      for (unsigned c = rng() % 10; c > 0; --c) frame += valueChars[rng() % valueChars.size()];
    }
    frame += rng() % 4 == 0 ? "\r\n!!" : "\r\n!!\r\n";
    if (rng() % 6 == 0) frame.insert(rng() % frame.size(), 1, '\0');
    stream += frame;
  }
  if (rng() % 3 == 0) stream += "&&\r\n0199 9\r\n";
  return stream;
}

// The stream cut into arrivals of 1 to maxPiece bytes.
std::vector<std::string> Cut(const std::string& stream, std::mt19937& rng, size_t maxPiece) {
  std::vector<std::string> pieces;
  for (size_t at = 0; at < stream.size();) {
    const size_t size = 1 + rng() % maxPiece;
    pieces.push_back(stream.substr(at, size));
    at += size;
  }
  return pieces;
}

std::vector<std::tuple<int32_t, int32_t, std::string, std::string>> Items(const CRigSim& engine) {
  std::vector<std::tuple<int32_t, int32_t, std::string, std::string>> items;
  for (const auto& [key, item] : engine.m_witsInItems) {
    items.emplace_back(key.record, key.item, item.valueText, item.description);
  }
  return items;
}

std::string Printable(const std::string& text) {
  std::string shown;
  for (const char c : text) {
    if (c == '\r') shown += "\\r";
    else if (c == '\n') shown += "\\n";
    else if (c == '\0') shown += "\\0";
    else shown += c;
  }
  return shown;
}

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
  Receive("!\r\n&&\r\n0768abc\r\n0108 7\r\n!!\r\n");
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

TEST_F(WitsExchangeTest, ArrivalCutAnywhereGivesTheSameItems) {
  CRigSim cut(clocks.Make());
  cut.m_pumpsMessage = nullptr;
  std::mt19937 rng(20261210);
  size_t itemsSeen = 0;
  for (int n = 0; n < 150; ++n) {
    const std::string stream = RandomStream(rng);
    engine->m_witsInItems.clear();
    engine->m_strWitsInBuffer.clear();
    Receive(stream);
    itemsSeen += engine->m_witsInItems.size();
    for (const size_t maxPiece : {size_t{1}, size_t{8}, size_t{64}}) {
      cut.m_witsInItems.clear();
      cut.m_strWitsInBuffer.clear();
      for (const std::string& piece : Cut(stream, rng, maxPiece)) {
        cut.CommsReceiverIF_OnReceive(std::vector<uint8_t>(piece.begin(), piece.end()), WitsLink);
      }
      ASSERT_EQ(Items(cut), Items(*engine)) << "pieces of up to " << maxPiece << " bytes of " << Printable(stream);
    }
  }
  EXPECT_GT(itemsSeen, 150u);  // the streams do carry items
}

TEST_F(WitsExchangeTest, AZeroByteIsDroppedAndNothingAfterItIsLost) {
  std::string error;
  ASSERT_TRUE(engine->StartRun(error)) << error;
  Receive("&&\r\n0108 1\0 2\r\n!!\r\n\0&&\r\n0110 5\r\n!!\r\n\0\0&&"s);
  EXPECT_EQ(engine->m_witsInItems.at({1, 8}).valueText, " 1 2");
  EXPECT_EQ(engine->m_witsInItems.at({1, 10}).valueText, " 5");
  EXPECT_EQ(engine->m_strWitsInBuffer, "&&");
  const std::string log = RawBytes(engine->m_strWitsLogPath);
  EXPECT_NE(log.find("IN " + Stamp() + "\r\n&&\r\n0108 1 2\r\n!!\r\n&&\r\n0110 5\r\n!!\r\n&&"), std::string::npos)
      << log;
}

TEST_F(WitsExchangeTest, TheTableKeepsTheFirst256CharactersOfAValue) {
  std::string error;
  ASSERT_TRUE(engine->StartRun(error)) << error;
  const std::string longValue = std::string(250, 'a') + std::string(50, 'b');
  const std::string exact(256, 'c');
  const std::string wide = std::string(255, 'd') + "\xC3\xA9" + "e";  // a two-byte character at the cut
  Receive("&&\r\n0101" + longValue + "\r\n0102" + exact + "\r\n0103" + wide + "\r\n!!\r\n");
  EXPECT_EQ(engine->m_witsInItems.at({1, 1}).valueText, longValue.substr(0, 256));
  EXPECT_EQ(engine->m_witsInItems.at({1, 2}).valueText, exact);
  EXPECT_EQ(engine->m_witsInItems.at({1, 3}).valueText, std::string(255, 'd'));
  Receive("&&\r\n0101" + std::string(60'000, 'x') + "\r\n!!\r\n");
  EXPECT_EQ(engine->m_witsInItems.at({1, 1}).valueText, std::string(256, 'x'));
  EXPECT_LE(engine->m_witsInItems.at({1, 1}).valueText.capacity(), 1024u);
  // The log shows the value as it came.
  EXPECT_NE(RawBytes(engine->m_strWitsLogPath).find("\r\n0101" + longValue + "\r\n"), std::string::npos);
}

TEST_F(WitsExchangeTest, InPingModeEachArrivalIsAnsweredWithOneFrameAndTheClockSendsNone) {
  engine->m_settings.m_bRequiresPing = true;
  engine->m_settings.m_fWitsOutInterval = 0;
  StartServingRun();
  Tick(30);
  Receive("?");
  EXPECT_EQ(engine->m_strWitsInBuffer, "");  // text that can be part of no frame is not kept
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

namespace {

using vorn::test::WaitUntil;

class WitsExchangeClientsTest : public vorn::test::EngineInOwnRootTest {
 protected:
  // A run whose WITS link serves three receivers, each connected.
  void StartServingThree() {
    CWitsCommSettings settings;
    settings.nTcpIpPort = vorn::test::FreePort();
    settings.nMaxClients = 3;
    engine->SetCommSettings(settings);
    std::string error;
    ASSERT_TRUE(engine->StartRun(error)) << error;
    for (int i = 0; i < 3; ++i) {
      receivers[i].connectToHost("127.0.0.1", static_cast<quint16>(settings.nTcpIpPort));
      ASSERT_TRUE(WaitUntil([&] { return engine->m_witsLink.ClientCount() == i + 1; }, 5000));
    }
  }
  // What receiver i holds once it has at least `count` bytes more.
  std::string Take(int i, size_t count) {
    WaitUntil([&] { return (held[i] += receivers[i].readAll().toStdString()).size() >= count; }, 5000);
    return std::exchange(held[i], {});
  }
  // The next whole frame receiver i gets.
  std::string TakeFrame(int i) {
    WaitUntil([&] { return (held[i] += receivers[i].readAll().toStdString()).ends_with("!!\r\n"); }, 5000);
    return std::exchange(held[i], {});
  }
  QTcpSocket receivers[3];
  std::string held[3];
};

TEST_F(WitsExchangeClientsTest, EachReceiverHasItsOwnInputAndAPingIsAnsweredToItAlone) {
  engine->m_settings.m_bRequiresPing = true;
  StartServingThree();
  const std::string answer = "&&\r\n\r\n!!\r\n";  // nothing new to send: an empty frame
  // Two receivers' frames arrive in halves, one between the other's: neither spoils the other.
  receivers[0].write("&&\r\n0108");
  EXPECT_EQ(Take(0, answer.size()), answer);
  receivers[1].write("&&\r\n0110");
  EXPECT_EQ(Take(1, answer.size()), answer);
  receivers[0].write("12.5\r\n!!\r\n");
  EXPECT_EQ(Take(0, answer.size()), answer);
  receivers[1].write("7\r\n!!\r\n");
  EXPECT_EQ(Take(1, answer.size()), answer);
  ASSERT_TRUE(WaitUntil([&] { return engine->m_witsInItems.size() == 2; }, 5000));
  EXPECT_EQ(engine->m_witsInItems.at({1, 8}).valueText, "12.5");
  EXPECT_EQ(engine->m_witsInItems.at({1, 10}).valueText, "7");
  WaitUntil([] { return false; }, 100);
  EXPECT_EQ(Take(2, 0), "");  // asked nothing, answered nothing
  EXPECT_EQ(Take(0, 0), "");

  // A receiver that leaves takes its half frame with it.
  receivers[2].write("&&\r\n0112");
  ASSERT_EQ(Take(2, answer.size()), answer);
  EXPECT_EQ(engine->m_witsInClientBuffers.size(), 3u);
  receivers[2].disconnectFromHost();
  ASSERT_TRUE(WaitUntil([&] { return engine->m_witsLink.ClientCount() == 2; }, 5000));
  EXPECT_EQ(engine->m_witsInClientBuffers.size(), 2u);
  engine->StopRun();
  EXPECT_TRUE(engine->m_witsInClientBuffers.empty());
}

TEST_F(WitsExchangeClientsTest, FramesAtTheOutputIntervalGoToEveryReceiver) {
  StartServingThree();
  Tick(11);  // items evaluated, a frame due
  const std::string first = TakeFrame(0);
  EXPECT_NE(first.find("\r\n0108"), std::string::npos) << first;
  EXPECT_EQ(TakeFrame(1), first);
  EXPECT_EQ(TakeFrame(2), first);
}

}  // namespace
