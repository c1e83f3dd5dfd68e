#include "app/LinkStatusLines.h"

#include <string_view>

#include "comms/WitsCommSettings.h"
#include "engine/LinkStatus.h"
#include "support/Clock.h"

std::string WithoutTimeStamp(const std::string& status) {
  constexpr std::string_view kAt = " @ ";
  const size_t at = status.rfind(kAt);
  if (at == std::string::npos) return status;
  const std::string_view time = std::string_view(status).substr(at + kAt.size());
  // month/day/year hour:minutes:seconds.milliseconds: digits and those separators only
  const bool isTime = !time.empty() && time.find_first_not_of("0123456789/:. ") == std::string_view::npos;
  return isTime ? status.substr(0, at) : status;
}

std::optional<std::string> CLinkStatusLines::Next(int state, const std::string& status, uint64_t attempts,
                                                  uint32_t nowMs) {
  if (state == Connected) m_attemptsWhenConnected = attempts;
  std::string text = WithoutTimeStamp(status);
  std::string line = "Link " + LinkStateText(state) + ": " + status;
  if (m_bPrinted && state == m_state) {
    if (text == m_text) return std::nullopt;
    if (state != Connected) {
      const int32_t sinceLine = vorn::ElapsedMs(nowMs, m_lineMs);
      if (sinceLine >= 0 && sinceLine < kRetryLineIntervalMs) return std::nullopt;
      line += " (" + std::to_string(attempts - m_attemptsWhenConnected) + " attempts)";
    }
  }
  m_bPrinted = true;
  m_state = state;
  m_text = std::move(text);
  m_lineMs = nowMs;
  return line;
}
