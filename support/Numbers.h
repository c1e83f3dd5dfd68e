#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// The program's one number reader and writer. Everything is read and written in the C locale, so a
// user's decimal-comma locale never reaches a frame, a file or a grid.
namespace vorn {

// Reads a decimal number: leading white space, an optional sign, digits with an optional point and
// fraction, an optional exponent; stops at the first character that does not fit, and gives 0 when
// nothing does. "inf", "nan", hexadecimal and values beyond the range of a double all read as 0, so
// no infinity or NaN can come in from any input.
[[nodiscard]] double ReadDecimal(std::string_view text);

// True when text holds a number as ReadDecimal reads it (at least one digit after white space and sign).
[[nodiscard]] bool HoldsDecimal(std::string_view text);
// True when the text is one such number and nothing else but white space around it: what a number
// box must hold to be taken.
[[nodiscard]] bool IsWholeDecimal(std::string_view text);

// Reads an integer: leading white space, an optional sign, digits; 0 without digits. A value beyond
// 32 bits saturates at INT32_MIN / INT32_MAX.
[[nodiscard]] int32_t ReadInteger(std::string_view text);
[[nodiscard]] bool HoldsInteger(std::string_view text);

// printf's "%g" and "%.Nf" in the C locale.
[[nodiscard]] std::string FormatG(double value);
[[nodiscard]] std::string FormatFixed(double value, int decimals);

}  // namespace vorn
