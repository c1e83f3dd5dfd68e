#pragma once

#include <cstdint>
#include <string_view>

namespace vorn::control {

// Checks a request head byte by byte as it arrives, so a malformed one is refused (400) at its first
// wrong byte, before the HTTP parser behind could give up on it without an answer. It takes what the
// API needs and no more: "<METHOD> <target> HTTP/1.0" or "HTTP/1.1", the method one of GET, HEAD,
// POST, PUT, DELETE, OPTIONS, PATCH, TRACE, the target a path ("/...") or "*" of printable URL
// characters, then header lines "<token>:<value>" whose values hold no control characters but tabs,
// lines ending in CR LF or LF, and a blank line. Line ends before the request line are passed over.
class CHeadSyntax {
 public:
  enum class Step {
    More,  // the byte belongs to the head; more to come
    End,   // the byte ended the head (the blank line)
    Bad,   // the byte makes the head malformed; Problem() says how
  };

  Step Feed(char byte);
  // Whether the byte fed last was a line end before the request line (not part of any head).
  [[nodiscard]] bool Skipped() const { return m_state == State::Start; }
  [[nodiscard]] std::string_view Problem() const { return m_problem; }
  // Ready for the next request's head.
  void Reset() { *this = CHeadSyntax(); }

 private:
  enum class State {
    Start, Method, Target, Version, RequestLineCr,
    LineStart, Name, Value, HeaderCr, BlankCr,
  };

  Step Fail(std::string_view problem);
  Step MethodByte(char byte);

  State m_state = State::Start;
  std::string_view m_problem;
  char m_method[8] = {};
  uint8_t m_methodLength = 0;
  uint8_t m_versionLength = 0;
  uint8_t m_targetLength = 0;  // up to 2: whether a target of "*" stays alone
  bool m_targetIsStar = false;
};

}  // namespace vorn::control
