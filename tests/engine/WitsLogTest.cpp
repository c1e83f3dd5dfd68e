#include <gtest/gtest.h>

#include "support/DataRoot.h"
#include "support/Time.h"
#include "tests/engine/EngineFixture.h"

namespace {

using vorn::test::RawBytes;

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
};

TEST_F(WitsLogTest, EveryEntryHeaderStartsItsOwnLine) {
  Receive("abc");
  Receive("&&\r\n");
  Receive("x\r");
  Receive("\r\n");
  const std::string in = "IN " + Stamp() + "\r\n";
  EXPECT_EQ(Log(), in + "abc\r\n" + in + "&&\r\n" + in + "x\r\n" + in + "\r\n");
}

}  // namespace
