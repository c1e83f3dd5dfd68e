#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <string>
#include <string_view>

#include "control/HeadSyntax.h"

namespace vorn::control {

// Follows the requests on one connection as their bytes arrive, before the HTTP server buffers them,
// so a request that is too big is refused from its head alone, or at the latest once the bytes of
// one request pass the bound: it never has to be held in memory whole. It reads only what framing
// needs: where a head ends, its Content-Length, Transfer-Encoding and Expect, and that the head is
// well formed (CHeadSyntax).
class CRequestSizeGuard {
 public:
  static constexpr size_t kBodyLimit = 64 * 1024;
  static constexpr size_t kHeadLimit = 16 * 1024;

  enum class Verdict {
    Pass,            // nothing to do
    SendContinue,    // a head asked "Expect: 100-continue" and its body is welcome
    BodyTooLarge,    // 413: Content-Length above kBodyLimit
    HeadTooLarge,    // 431: a request head above kHeadLimit
    LengthRequired,  // 411: a chunked body, whose size is not known in advance
    BadFraming,      // 400: a Content-Length that is no number, or given twice with two values
    BadRequest,      // 400: a malformed request line or header line (see Problem())
  };

  // Takes the next bytes received on the connection. After any verdict other than Pass and
  // SendContinue the connection is to be answered and closed: further bytes give the same verdict.
  Verdict Feed(std::string_view bytes);

  // What is wrong with a head refused as BadRequest.
  [[nodiscard]] std::string_view Problem() const { return m_syntax.Problem(); }
  // Whether part of a request (its head, or its body) has come and the rest has not.
  [[nodiscard]] bool InRequest() const { return !m_head.empty() || m_bodyLeft > 0; }
  // The Content-Length of the request whose head was read last (0 when it had none).
  [[nodiscard]] uint64_t DeclaredLength() const { return m_bodyLength; }
  // Whether the connection ends after the answer to the oldest request not yet answered: its head
  // said "Connection: close", or it is HTTP/1.0 without "Connection: keep-alive". One call per answer.
  [[nodiscard]] bool TakeCloseAfterAnswer();

 private:
  Verdict EndOfHead();

  CHeadSyntax m_syntax;       // of the head being read
  std::string m_head;         // the head read so far (bounded by kHeadLimit)
  uint64_t m_bodyLength = 0;  // of the current request
  uint64_t m_bodyLeft = 0;    // body bytes still to come
  Verdict m_final = Verdict::Pass;
  std::deque<bool> m_closeAfter;  // one per head read and not yet answered
};

}  // namespace vorn::control
