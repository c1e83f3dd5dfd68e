#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// Entries of a run's WITS log: "OUT" for every frame the engine writes to the WITS link, "IN" for what
// arrives on it. Each entry is a header line with its local time, then its text; entries keep LF line
// ends and no CR, and appending them in text mode puts CR LF on disk.

// A frame's entry. A frame the link refused says so, and why, in its header line.
[[nodiscard]] std::string WitsOutEntry(double nowSeconds, std::string_view frame, std::string_view notSentReason = {});
// A frame's entry with the note its header line carries as given ("cut short after 1 of 3 pieces: ...").
[[nodiscard]] std::string WitsOutNotedEntry(double nowSeconds, std::string_view frame, std::string_view note);

// An IN entry holds at most this much of its arrival's text; a line after it says how much more came.
inline constexpr std::size_t kMaxWitsInEntryBytes = 4096;

// An arrival's entry, ended with a line end so that the next entry's header starts its own line.
[[nodiscard]] std::string WitsInEntry(double nowSeconds, std::string_view text);

// Arrivals that the log only counted.
struct UnloggedArrivals {
  uint64_t bytes = 0;
  uint64_t arrivals = 0;
};

// The entry that says how much received text a minute did not log.
[[nodiscard]] std::string WitsUnloggedEntry(double nowSeconds, const UnloggedArrivals& unlogged);

// Keeps the IN entries to 1 MiB of received text a minute, however fast a peer sends: once a minute
// has logged that much, its further arrivals are only counted. A minute begins with the first
// arrival after the previous one ended.
class CWitsInLogBudget {
 public:
  static constexpr std::size_t kBytesPerMinute = 1 << 20;
  static constexpr int32_t kMinuteMs = 60'000;

  // Whether an arrival of `textBytes` is logged; otherwise it is counted. Call EndMinute first, so
  // that a minute that has run its course does not take the arrival.
  [[nodiscard]] bool Admit(uint32_t nowMs, std::size_t textBytes);

  // Ends the minute once it has run its course, or at once when `now` is set (the run stops). Gives
  // what it only counted, when it counted anything.
  [[nodiscard]] std::optional<UnloggedArrivals> EndMinute(uint32_t nowMs, bool now = false);

 private:
  std::optional<uint32_t> m_minuteStartMs;
  std::size_t m_loggedBytes = 0;
  UnloggedArrivals m_unlogged;
};
