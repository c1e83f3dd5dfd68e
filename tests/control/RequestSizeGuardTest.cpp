#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "control/RequestSizeGuard.h"

namespace {

using vorn::control::CRequestSizeGuard;
using Verdict = CRequestSizeGuard::Verdict;

std::string Post(size_t bodySize, const std::string& extraHeaders = {}) {
  return "POST /api/v1/mode HTTP/1.1\r\nHost: x\r\nContent-Length: " + std::to_string(bodySize) + "\r\n" +
         extraHeaders + "\r\n" + std::string(bodySize, 'b');
}

// The verdicts a stream gives when it arrives cut at `cut`, in two pieces.
Verdict FeedCut(const std::string& stream, size_t cut) {
  CRequestSizeGuard guard;
  const Verdict first = guard.Feed(std::string_view(stream).substr(0, cut));
  if (first != Verdict::Pass && first != Verdict::SendContinue) return first;
  const Verdict second = guard.Feed(std::string_view(stream).substr(cut));
  return second == Verdict::SendContinue ? first : second;
}

TEST(RequestSizeGuardTest, RequestsWithinTheLimitPassCutAnywhere) {
  const std::string stream =
      Post(10) + "GET /api/v1/status HTTP/1.1\r\n\r\n" + Post(CRequestSizeGuard::kBodyLimit) + "\r\n" + Post(0);
  for (size_t cut = 0; cut <= stream.size(); cut += (cut < 400 ? 1 : 997)) {
    EXPECT_EQ(FeedCut(stream, cut), Verdict::Pass) << cut;
  }
}

TEST(RequestSizeGuardTest, BodyOverTheLimitIsRefusedFromItsHeadAlone) {
  const std::string head = Post(CRequestSizeGuard::kBodyLimit + 1).substr(0, 70);
  CRequestSizeGuard guard;
  EXPECT_EQ(guard.Feed(head.substr(0, head.find("\r\n\r\n") + 4)), Verdict::BodyTooLarge);
  EXPECT_EQ(guard.DeclaredLength(), CRequestSizeGuard::kBodyLimit + 1);  // what the refusal drains
  EXPECT_EQ(guard.Feed("more"), Verdict::BodyTooLarge);

  // A second request on the same connection, cut anywhere, is followed as well.
  const std::string stream = Post(5) + Post(8 * 1024 * 1024);
  for (size_t cut = 0; cut < 300; ++cut) EXPECT_EQ(FeedCut(stream, cut), Verdict::BodyTooLarge) << cut;
  // Header names in any case; a length beyond 64 bits is too large, not a parse error.
  EXPECT_EQ(CRequestSizeGuard().Feed("PUT /x HTTP/1.1\r\ncontent-LENGTH:  70000 \r\n\r\n"), Verdict::BodyTooLarge);
  EXPECT_EQ(CRequestSizeGuard().Feed("PUT /x HTTP/1.1\r\nContent-Length: 99999999999999999999999\r\n\r\n"),
            Verdict::BodyTooLarge);
}

TEST(RequestSizeGuardTest, OtherFramingProblemsEndTheConnection) {
  EXPECT_EQ(CRequestSizeGuard().Feed("GET /x HTTP/1.1\r\nX: " + std::string(20000, 'a')), Verdict::HeadTooLarge);
  EXPECT_EQ(CRequestSizeGuard().Feed("PUT /x HTTP/1.1\r\nTransfer-Encoding: chunked\r\n\r\n"), Verdict::LengthRequired);
  EXPECT_EQ(CRequestSizeGuard().Feed("PUT /x HTTP/1.1\r\nContent-Length: 12a\r\n\r\n"), Verdict::BadFraming);
  EXPECT_EQ(CRequestSizeGuard().Feed("PUT /x HTTP/1.1\r\nContent-Length: 1\r\nContent-Length: 2\r\n\r\nab"),
            Verdict::BadFraming);
}

TEST(RequestSizeGuardTest, ContinueIsAskedForOnlyForAWelcomeBody) {
  CRequestSizeGuard guard;
  EXPECT_EQ(guard.Feed(Post(10, "Expect: 100-continue\r\n").substr(0, 90)), Verdict::SendContinue);
  EXPECT_EQ(CRequestSizeGuard().Feed(Post(70000, "Expect: 100-continue\r\n").substr(0, 100)), Verdict::BodyTooLarge);
}

TEST(RequestSizeGuardTest, ConnectionEndsAfterAnswersThatAskForIt) {
  CRequestSizeGuard guard;
  EXPECT_EQ(guard.Feed("GET /a HTTP/1.1\r\n\r\n"
                       "GET /b HTTP/1.1\r\nConnection: close\r\n\r\n"
                       "GET /c HTTP/1.0\r\n\r\n"
                       "GET /d HTTP/1.0\r\nConnection: Keep-Alive\r\n\r\n"),
            Verdict::Pass);
  EXPECT_FALSE(guard.TakeCloseAfterAnswer());
  EXPECT_TRUE(guard.TakeCloseAfterAnswer());
  EXPECT_TRUE(guard.TakeCloseAfterAnswer());
  EXPECT_FALSE(guard.TakeCloseAfterAnswer());
  EXPECT_FALSE(guard.TakeCloseAfterAnswer());  // none left
}

}  // namespace
