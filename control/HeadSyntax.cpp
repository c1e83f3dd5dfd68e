#include "control/HeadSyntax.h"

#include <array>
#include <cstring>

namespace vorn::control {

namespace {

constexpr std::array<std::string_view, 8> kMethods = {"GET", "HEAD", "POST", "PUT", "DELETE", "OPTIONS", "PATCH",
                                                      "TRACE"};
constexpr std::string_view kRequestLine = "the request line is not '<METHOD> /<path> HTTP/1.1'";
constexpr std::string_view kHeaderLine = "a header line is not '<name>: <value>'";

bool IsAlphaNumeric(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9'); }

// RFC 9110's token characters.
bool IsTokenChar(char c) { return IsAlphaNumeric(c) || std::strchr("!#$%&'*+-.^_`|~", c) != nullptr; }

// Unreserved, sub-delimiters, ':', '@', '/', '?', '%' (escapes) and '#'.
bool IsTargetChar(char c) { return IsAlphaNumeric(c) || (c != '\0' && std::strchr("-._~!$&'()*+,;=:@/?%#", c)); }

bool IsValueChar(char c) {
  const auto u = static_cast<unsigned char>(c);
  return c == '\t' || (u >= 0x20 && u != 0x7F);
}

}  // namespace

CHeadSyntax::Step CHeadSyntax::Fail(std::string_view problem) {
  m_problem = problem;
  return Step::Bad;
}

CHeadSyntax::Step CHeadSyntax::MethodByte(char byte) {
  if (byte == ' ') {
    const std::string_view method(m_method, m_methodLength);
    for (std::string_view known : kMethods) {
      if (known == method) {
        m_state = State::Target;
        return Step::More;
      }
    }
    return Fail(kRequestLine);
  }
  if (m_methodLength == sizeof m_method) return Fail(kRequestLine);
  m_method[m_methodLength++] = byte;
  const std::string_view method(m_method, m_methodLength);
  for (std::string_view known : kMethods) {
    if (known.starts_with(method)) return Step::More;
  }
  return Fail(kRequestLine);
}

CHeadSyntax::Step CHeadSyntax::Feed(char byte) {
  switch (m_state) {
    case State::Start:
      if (byte == '\r' || byte == '\n') return Step::More;
      m_state = State::Method;
      return MethodByte(byte);
    case State::Method: return MethodByte(byte);
    case State::Target:
      if (byte == ' ' && m_targetLength > 0) {
        m_state = State::Version;
        return Step::More;
      }
      if (m_targetLength == 0) {
        if (byte != '/' && byte != '*') return Fail(kRequestLine);
        m_targetIsStar = byte == '*';
      } else if (m_targetIsStar || !IsTargetChar(byte)) {
        return Fail(kRequestLine);
      }
      m_targetLength = 1 + (m_targetLength > 0 ? 1 : 0);
      return Step::More;
    case State::Version: {
      // "HTTP/1.0" or "HTTP/1.1", then the line end.
      static constexpr std::string_view kVersion = "HTTP/1.";
      if (m_versionLength < kVersion.size()) {
        if (byte != kVersion[m_versionLength]) return Fail(kRequestLine);
      } else if (m_versionLength == kVersion.size()) {
        if (byte != '0' && byte != '1') return Fail(kRequestLine);
      } else if (byte == '\r') {
        m_state = State::RequestLineCr;
        return Step::More;
      } else if (byte == '\n') {
        m_state = State::LineStart;
        return Step::More;
      } else {
        return Fail(kRequestLine);
      }
      ++m_versionLength;
      return Step::More;
    }
    case State::RequestLineCr:
      if (byte != '\n') return Fail(kRequestLine);
      m_state = State::LineStart;
      return Step::More;
    case State::LineStart:
      if (byte == '\r') {
        m_state = State::BlankCr;
        return Step::More;
      }
      if (byte == '\n') return Step::End;
      if (!IsTokenChar(byte)) return Fail(kHeaderLine);  // also a folded line, which starts with a space
      m_state = State::Name;
      return Step::More;
    case State::Name:
      if (byte == ':') {
        m_state = State::Value;
        return Step::More;
      }
      return IsTokenChar(byte) ? Step::More : Fail(kHeaderLine);
    case State::Value:
      if (byte == '\r') {
        m_state = State::HeaderCr;
        return Step::More;
      }
      if (byte == '\n') {
        m_state = State::LineStart;
        return Step::More;
      }
      return IsValueChar(byte) ? Step::More : Fail(kHeaderLine);
    case State::HeaderCr:
      if (byte != '\n') return Fail(kHeaderLine);
      m_state = State::LineStart;
      return Step::More;
    case State::BlankCr: return byte == '\n' ? Step::End : Fail(kHeaderLine);
  }
  return Fail(kRequestLine);
}

}  // namespace vorn::control
