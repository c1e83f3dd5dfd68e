#include "engine/WitsLog.h"

#include <algorithm>

#include "support/Clock.h"
#include "support/Text.h"
#include "support/Time.h"

namespace {

// "OUT 2026-Dec-10 9:03:07.045", a note when there is one, and the line end.
std::string EntryHeader(std::string_view direction, double nowSeconds, std::string_view note) {
  std::string header(direction);
  header += vorn::FormatDashedTimestamp(vorn::SecondsToSystemTime(nowSeconds), " ");
  if (!note.empty()) {
    header += ' ';
    header += note;
  }
  header += '\n';
  return header;
}

std::string Entry(std::string_view direction, double nowSeconds, std::string_view note, std::string_view text) {
  std::string entry = EntryHeader(direction, nowSeconds, note);
  entry += text;
  std::erase(entry, '\r');
  return entry;
}

}  // namespace

std::string WitsOutEntry(double nowSeconds, std::string_view frame, std::string_view notSentReason) {
  const std::string note = notSentReason.empty() ? std::string() : "not sent: " + std::string(notSentReason);
  return Entry("OUT ", nowSeconds, note, frame);
}

std::string WitsOutNotedEntry(double nowSeconds, std::string_view frame, std::string_view note) {
  return Entry("OUT ", nowSeconds, note, frame);
}

std::string WitsInEntry(double nowSeconds, std::string_view text) {
  std::string entry = Entry("IN ", nowSeconds, {}, text.substr(0, kMaxWitsInEntryBytes));
  if (entry.back() != '\n') entry += '\n';
  if (text.size() > kMaxWitsInEntryBytes) {
    entry += vorn::Sprintf("... %zu more bytes not logged\n", text.size() - kMaxWitsInEntryBytes);
  }
  return entry;
}

std::string WitsUnloggedEntry(double nowSeconds, const UnloggedArrivals& unlogged) {
  const std::string note =
      vorn::Sprintf("not logged: %llu bytes in %llu arrival%s (more than %zu bytes in one minute)",
                    static_cast<unsigned long long>(unlogged.bytes), static_cast<unsigned long long>(unlogged.arrivals),
                    unlogged.arrivals == 1 ? "" : "s", CWitsInLogBudget::kBytesPerMinute);
  return EntryHeader("IN ", nowSeconds, note);
}

bool CWitsInLogBudget::Admit(uint32_t nowMs, std::size_t textBytes) {
  if (!m_minuteStartMs) m_minuteStartMs = nowMs;
  if (m_loggedBytes < kBytesPerMinute) {
    m_loggedBytes += std::min(textBytes, kMaxWitsInEntryBytes);
    return true;
  }
  m_unlogged.bytes += textBytes;
  ++m_unlogged.arrivals;
  return false;
}

std::optional<UnloggedArrivals> CWitsInLogBudget::EndMinute(uint32_t nowMs, bool now) {
  if (!m_minuteStartMs) return std::nullopt;
  if (!now && vorn::ElapsedMs(nowMs, *m_minuteStartMs) < kMinuteMs) return std::nullopt;
  const UnloggedArrivals unlogged = m_unlogged;
  *this = CWitsInLogBudget();
  if (unlogged.arrivals == 0) return std::nullopt;
  return unlogged;
}
