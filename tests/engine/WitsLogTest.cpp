#include <gtest/gtest.h>

#include <QTcpSocket>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "support/DataRoot.h"
#include "support/TextFile.h"
#include "support/Time.h"
#include "tests/common/EventWait.h"
#include "tests/engine/EngineFixture.h"

namespace {

using vorn::test::RawBytes;
using vorn::test::WaitUntil;

constexpr int kWaitMs = 5000;

class WitsLogTest : public vorn::test::EngineInOwnRootTest {
 protected:
  WitsLogTest() {
    engine->m_strWitsLogPath = vorn::WitsLogFilesFolder() + "/WitsLog.txt";
  }
  void Receive(const std::string& text) {
    engine->CommsReceiverIF_OnReceive(std::vector<uint8_t>(text.begin(), text.end()), WitsLink);
  }
  std::string Stamp() const { return vorn::FormatDashedTimestamp(vorn::SecondsToSystemTime(clocks.seconds), " "); }
  std::string Log() const { return RawBytes(engine->m_strWitsLogPath); }
  size_t LogSize() const {
    std::error_code error;
    const auto size = std::filesystem::file_size(engine->m_strWitsLogPath, error);
    return error ? 0 : static_cast<size_t>(size);
  }
  // The log bytes appended by `action`.
  template <typename Action>
  std::string Appended(Action action) {
    const size_t before = LogSize();
    action();
    std::ifstream log(engine->m_strWitsLogPath, std::ios::binary);
    log.seekg(static_cast<std::streamoff>(before));
    return {std::istreambuf_iterator<char>(log), std::istreambuf_iterator<char>()};
  }
};

TEST_F(WitsLogTest, EveryEntryHeaderStartsItsOwnLine) {
  Receive("abc");
  Receive("&&\r\n");
  Receive("x\r");
  Receive("\r\n");
  const std::string in = "IN " + Stamp() + "\r\n";
  EXPECT_EQ(Log(), in + "abc\r\n" + in + "&&\r\n" + in + "x\r\n" + in + "\r\n");
}

TEST_F(WitsLogTest, AnInEntryKeepsTheFirst4096BytesAndSaysHowManyMoreCame) {
  std::string text;
  while (text.size() < 10'000) text += "0108 123.45\r\n";
  text.resize(10'000);
  std::string kept = text.substr(0, 4096);  // ends inside a line
  std::erase(kept, '\r');
  EXPECT_EQ(Appended([&] { Receive(text); }),
            "IN " + Stamp() + "\r\n" + vorn::ToDiskText(kept) + "\r\n... 5904 more bytes not logged\r\n");
  const std::string exact(4096, 'y');
  EXPECT_EQ(Appended([&] { Receive(exact); }), "IN " + Stamp() + "\r\n" + exact + "\r\n");
}

TEST_F(WitsLogTest, PastOneMiBOfReceivedTextInAMinuteArrivalsAreOnlyCounted) {
  engine->m_settings.m_fWitsOutInterval = 1e9;
  Tick(2);  // the one clock-driven frame goes out now, none later
  const std::string block(4096, 'z');
  for (int i = 0; i < 256; ++i) Receive(block);  // 1 MiB: the minute's whole allowance
  const size_t full = LogSize();
  Receive(block);
  for (int i = 0; i < 10; ++i) Receive(std::string(5000, 'w'));
  EXPECT_EQ(LogSize(), full);
  clocks.Advance(59'800);
  EXPECT_EQ(Appended([&] { Tick(); }), "");  // 59.9 s after the minute's first arrival
  // The note comes with the tick that ends the minute, without waiting for another arrival.
  const std::string note = Appended([&] { Tick(); });
  EXPECT_EQ(note, "IN " + Stamp() + " not logged: 54096 bytes in 11 arrivals (more than 1048576 bytes in one minute)\r\n");
  EXPECT_EQ(Appended([&] { Tick(); }), "");

  // A new minute logs again; the stop of the run notes what its unfinished minute did not log.
  EXPECT_EQ(Appended([&] { Receive("abc"); }), "IN " + Stamp() + "\r\nabc\r\n");
  for (int i = 0; i < 257; ++i) Receive(block);
  clocks.Advance(1000);
  EXPECT_EQ(Appended([&] { engine->StopRun(); }),
            "IN " + Stamp() + " not logged: 4096 bytes in 1 arrival (more than 1048576 bytes in one minute)\r\n");
  EXPECT_EQ(Appended([&] { engine->StopRun(); }), "");
}

TEST_F(WitsLogTest, AFrameTheLinkRefusedIsLoggedWithTheReason) {
  const std::string empty = "\r\n&&\r\n\r\n!!\r\n";
  EXPECT_EQ(Appended([&] { engine->DoWitsOut(); }), "OUT " + Stamp() + " not sent: link not open" + empty);

  CWitsCommSettings settings;
  settings.nTcpIpPort = vorn::test::FreePort();
  engine->SetCommSettings(settings);
  std::string error;
  ASSERT_TRUE(engine->StartRun(error)) << error;
  EXPECT_EQ(Appended([&] { engine->DoWitsOut(); }), "OUT " + Stamp() + " not sent: no client connected" + empty);

  // A client that reads nothing, and no event loop to move bytes on: the send bound is reached.
  QTcpSocket idle;
  idle.connectToHost("127.0.0.1", static_cast<quint16>(settings.nTcpIpPort));
  ASSERT_TRUE(WaitUntil([&] { return engine->m_witsLink.HasClient(); }, kWaitMs));
  engine->m_outputItems = {
      COutputItem(false, true, "BIG", 0, ItemText, 0, 0, 0, std::string(300'000, 'v'), FilterBoth, false, 1, 1)};
  std::string entries;
  for (int i = 0; i < 4; ++i) {
    engine->m_outputItems[0].Evaluate(*engine, clocks.seconds);
    entries += Appended([&] { engine->DoWitsOut(); });
  }
  const std::string frame = "&&\r\n0101" + std::string(300'000, 'v') + "\r\n!!\r\n";
  const std::string sent = "OUT " + Stamp() + "\r\n" + frame;
  EXPECT_EQ(entries, sent + sent + sent + "OUT " + Stamp() + " not sent: send buffer full\r\n" + frame);
  engine->StopRun();
}

}  // namespace
