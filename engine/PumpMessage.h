#pragma once

#include <cstdint>
#include <string_view>

// The desktop notice of the pumps starting or stopping, as cooperating programs expect it: a
// ClientMessage of format 32 whose type is the atom below, carrying the message number, 1 (pumps
// running) or 0 (pumps stopped), and 0. Shared by the broadcaster and tools/pump-listener.
namespace vorn::pumps {

inline constexpr std::uint32_t kMessageNumber = 1210;  // 0x4BA
inline constexpr std::string_view kMessageType = "_VORN_WINDOW_MESSAGE";
inline constexpr std::string_view kReceiverTitlePrefix = "QUARKLET";
// Titles take part up to their 255th character.
inline constexpr std::size_t kTitleCharacters = 255;

// True when a window with this title (UTF-8) receives the notice: its first eight characters are
// exactly "QUARKLET", letter case included.
[[nodiscard]] constexpr bool IsReceiverTitle(std::string_view title) {
  return title.starts_with(kReceiverTitlePrefix);
}

}  // namespace vorn::pumps
