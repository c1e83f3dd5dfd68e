#include "control/RequestSizeGuard.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <optional>

namespace vorn::control {

namespace {

std::string Lower(std::string_view text) {
  std::string lower(text);
  std::transform(lower.begin(), lower.end(), lower.begin(), [](unsigned char c) { return std::tolower(c); });
  return lower;
}

std::string_view Trimmed(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r')) text.remove_suffix(1);
  return text;
}

}  // namespace

CRequestSizeGuard::Verdict CRequestSizeGuard::Feed(std::string_view bytes) {
  Verdict verdict = Verdict::Pass;
  while (!bytes.empty() && m_final == Verdict::Pass) {
    if (m_bodyLeft > 0) {
      const uint64_t take = std::min<uint64_t>(m_bodyLeft, bytes.size());
      m_bodyLeft -= take;
      bytes.remove_prefix(static_cast<size_t>(take));
      continue;
    }
    // The head, byte by byte up to its blank line: its syntax is checked as it comes.
    while (!bytes.empty()) {
      const char byte = bytes.front();
      bytes.remove_prefix(1);
      const CHeadSyntax::Step step = m_syntax.Feed(byte);
      if (step == CHeadSyntax::Step::Bad) {
        m_final = Verdict::BadRequest;
        break;
      }
      if (m_syntax.Skipped()) continue;  // a line end between requests
      m_head.push_back(byte);
      if (m_head.size() > kHeadLimit) {
        m_final = Verdict::HeadTooLarge;
        break;
      }
      if (step == CHeadSyntax::Step::End) {
        m_syntax.Reset();
        const Verdict atEnd = EndOfHead();
        if (atEnd == Verdict::SendContinue)
          verdict = atEnd;
        else if (atEnd != Verdict::Pass)
          m_final = atEnd;
        break;
      }
    }
  }
  return m_final != Verdict::Pass ? m_final : verdict;
}

CRequestSizeGuard::Verdict CRequestSizeGuard::EndOfHead() {
  const std::string head = std::move(m_head);
  m_head.clear();
  std::optional<uint64_t> length;
  bool chunked = false;
  bool expectContinue = false;
  size_t at = head.find('\n');  // the request line is passed over, but for its version
  const bool http10 = Trimmed(std::string_view(head).substr(0, at)).ends_with("HTTP/1.0");
  std::optional<std::string> connection;
  while (at != std::string::npos && at + 1 < head.size()) {
    const size_t next = head.find('\n', at + 1);
    const std::string_view line =
        std::string_view(head).substr(at + 1, (next == std::string::npos ? head.size() : next) - at - 1);
    at = next;
    const size_t colon = line.find(':');
    if (colon == std::string_view::npos) continue;
    const std::string name = Lower(Trimmed(line.substr(0, colon)));
    const std::string value = Lower(Trimmed(line.substr(colon + 1)));
    if (name == "content-length") {
      uint64_t number = 0;
      const auto [end, error] = std::from_chars(value.data(), value.data() + value.size(), number);
      if (value.empty() || error != std::errc() || end != value.data() + value.size()) {
        // Digits beyond 64 bits are a length no body here can have.
        if (error == std::errc::result_out_of_range) return Verdict::BodyTooLarge;
        return Verdict::BadFraming;
      }
      if (length && *length != number) return Verdict::BadFraming;
      length = number;
    } else if (name == "transfer-encoding") {
      chunked = true;  // any coding: the parser behind takes none without a length
    } else if (name == "expect") {
      expectContinue = value == "100-continue";
    } else if (name == "connection") {
      connection = value;
    }
  }
  m_closeAfter.push_back(http10 ? connection != "keep-alive" : connection == "close");
  if (chunked) return Verdict::LengthRequired;
  m_bodyLength = length.value_or(0);
  if (m_bodyLength > kBodyLimit) return Verdict::BodyTooLarge;
  m_bodyLeft = m_bodyLength;
  return expectContinue && m_bodyLength > 0 ? Verdict::SendContinue : Verdict::Pass;
}

bool CRequestSizeGuard::TakeCloseAfterAnswer() {
  if (m_closeAfter.empty()) return false;
  const bool close = m_closeAfter.front();
  m_closeAfter.pop_front();
  return close;
}

}  // namespace vorn::control
