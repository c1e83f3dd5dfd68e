#include <gtest/gtest.h>

#include "wits/WitsFrame.h"

namespace {

TEST(WitsFrameTest, FramesAreWrittenExactly) {
  EXPECT_EQ(FormatWitsDataLine(1, 23, "95"), "012395");
  EXPECT_EQ(FormatWitsDataLine(150, 3, "7"), "150037");
  EXPECT_EQ(FormatWitsDataLine(-1, 5, ""), "-105");
  EXPECT_EQ(BuildWitsFrame({}), "&&\r\n\r\n!!\r\n");
  EXPECT_EQ(BuildWitsFrame({"012395"}), "&&\r\n012395\r\n!!\r\n");
  // A value is never escaped, even when it holds the frame's own marks.
  EXPECT_EQ(BuildWitsFrame({"0101a!!b", "0102x\r\ny"}), "&&\r\n0101a!!b\r\n0102x\r\ny\r\n!!\r\n");
}

TEST(WitsFrameTest, AFrameInPiecesIsReadOnlyWhenComplete) {
  std::string buffer;
  for (const char* piece : {"&&\r\n01", "0812.5\r\n!"}) {
    buffer += piece;
    EXPECT_TRUE(ParseWitsFrames(buffer).empty());
  }
  buffer += "!\r\n";
  EXPECT_EQ(ParseWitsFrames(buffer), (std::vector<WitsDataLine>{{1, 8, "12.5"}}));
  EXPECT_EQ(buffer, "");
}

TEST(WitsFrameTest, FramesInOneArrivalAreReadInOrderWithTheirSurroundings) {
  std::string buffer = "noise&&\r\n0108 7\r\n0120 0\r\n!!\r\n&&\r\n010899\r\nxx\r\n0a0b1\r\n!!  \r\n&&\r\n0130";
  EXPECT_EQ(ParseWitsFrames(buffer), (std::vector<WitsDataLine>{{1, 8, " 7"}, {1, 20, " 0"}, {1, 8, "99"}, {0, 0, "1"}}));
  EXPECT_EQ(buffer, "&&\r\n0130");  // the next frame's start waits for its end

  // The first line on the "&&" line, and lines after a "!!" inside a value, are lost.
  buffer = "&&0101x\r\n0102a!!b\r\n0103c\r\n!!";
  EXPECT_EQ(ParseWitsFrames(buffer), (std::vector<WitsDataLine>{}));
  EXPECT_EQ(buffer, "");  // no frame start: nothing of it can be part of a frame

  // Text before a frame start goes at once, a final "&" stays for the next arrival.
  buffer = "noise\r\n&&\r\n0108";
  EXPECT_TRUE(ParseWitsFrames(buffer).empty());
  EXPECT_EQ(buffer, "&&\r\n0108");
  buffer = "&&\r\n0108 1\r\n!!\r\nnoise&";
  EXPECT_EQ(ParseWitsFrames(buffer), (std::vector<WitsDataLine>{{1, 8, " 1"}}));
  EXPECT_EQ(buffer, "&");
  buffer += "&\r\n0110 2\r\n!!";
  EXPECT_EQ(ParseWitsFrames(buffer), (std::vector<WitsDataLine>{{1, 10, " 2"}}));
}

TEST(WitsFrameTest, TextAfterAFrameKeepsItsLineEndsForTheNextArrival) {
  // The arrival ends just after a data line's line end: the next line must not join it.
  std::string buffer = "&&\r\n0108 1\r\n!!\r\n&&\r\n0110 2\r\n";
  EXPECT_EQ(ParseWitsFrames(buffer), (std::vector<WitsDataLine>{{1, 8, " 1"}}));
  buffer += "0112 3\r\n!!\r\n";
  EXPECT_EQ(ParseWitsFrames(buffer), (std::vector<WitsDataLine>{{1, 10, " 2"}, {1, 12, " 3"}}));

  // The arrival ends just after the next frame's "&&" line: its first data line must not join it.
  buffer = "&&\r\n0108 1\r\n!!\r\n&&\r\n";
  EXPECT_EQ(ParseWitsFrames(buffer), (std::vector<WitsDataLine>{{1, 8, " 1"}}));
  EXPECT_EQ(buffer, "&&\r\n");  // white space in front of the next frame goes
  buffer += "0110 2\r\n0112 3\r\n!!";
  EXPECT_EQ(ParseWitsFrames(buffer), (std::vector<WitsDataLine>{{1, 10, " 2"}, {1, 12, " 3"}}));
}

TEST(WitsFrameTest, TheInputBufferStaysWithinItsBound) {
  std::string noise(kMaxWitsInBufferBytes + 10, 'x');
  EXPECT_EQ(BoundWitsInBuffer(noise), kMaxWitsInBufferBytes + 10);
  EXPECT_EQ(noise, "");

  std::string withStart = std::string(kMaxWitsInBufferBytes, 'x') + "&&\r\n0108";
  BoundWitsInBuffer(withStart);
  EXPECT_EQ(withStart, "&&\r\n0108");
  withStart += "5\r\n!!";
  EXPECT_EQ(ParseWitsFrames(withStart), (std::vector<WitsDataLine>{{1, 8, "5"}}));

  std::string endsInAmpersand = std::string(kMaxWitsInBufferBytes + 1, 'x') + "&";
  BoundWitsInBuffer(endsInAmpersand);
  EXPECT_EQ(endsInAmpersand, "&");

  std::string hugeFrame = "&&" + std::string(kMaxWitsInBufferBytes, '1');
  BoundWitsInBuffer(hugeFrame);
  EXPECT_EQ(hugeFrame, "");

  std::string small = "abc&&";
  EXPECT_EQ(BoundWitsInBuffer(small), 0u);
  EXPECT_EQ(small, "abc&&");
}

TEST(WitsFrameTest, OnlyTheExactSkidCommandSetsAGain) {
  EXPECT_EQ(ReadSkidGain("&&\r\nDP:85\r\n!!\r\n"), 85);
  EXPECT_EQ(ReadSkidGain("junk&&\r\n  DP: 120 \r\n!!"), 120);
  EXPECT_EQ(ReadSkidGain("&&\r\nDP:abc\r\n!!\r\n"), 0);
  EXPECT_EQ(ReadSkidGain("&&\r\ndp:120\r\n!!\r\n"), std::nullopt);
  EXPECT_EQ(ReadSkidGain("&&\r\nDP:1:2\r\n!!\r\n"), std::nullopt);
  EXPECT_EQ(ReadSkidGain("&&\r\nDP:1\r\nDP:2\r\n!!\r\n"), std::nullopt);
  EXPECT_EQ(ReadSkidGain("&&\r\nDP:85\r\n"), std::nullopt);
  EXPECT_EQ(ReadSkidGain("&&\r\n\r\n!!"), std::nullopt);
}

}  // namespace
