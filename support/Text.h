#pragma once

#include <string>
#include <string_view>
#include <vector>

// Text is UTF-8 in std::string everywhere below the user interface; the program's 8-bit text (link
// bytes, files, the dictionary) keeps its bytes as they are.
namespace vorn {

// The text between the first start marker and the next end marker after it (see Text.cpp).
[[nodiscard]] std::string ExtractBetween(std::string_view text, std::string_view start, std::string_view end);

// Cuts text at every character of the delimiter set; keeps empty pieces unless the delimiter is
// exactly one space. The list is emptied first and returned.
std::vector<std::string>& SplitText(std::string_view text, std::string_view delimiters,
                                    std::vector<std::string>& pieces);

// The text without white space (space, tab, CR, LF, vertical tab, form feed) at either end.
[[nodiscard]] std::string_view TrimWhiteSpace(std::string_view text);

// One field of a CSV row: quoted the usual way when it holds a comma, a double quote or a line break,
// so it cannot shift the later columns of its row; as it stands otherwise.
[[nodiscard]] std::string CsvField(const std::string& text);

[[nodiscard]] std::string JoinText(const std::vector<std::string>& pieces, std::string_view separator);

// The folder that holds a path: everything before the last "/" (Linux paths split at "/").
[[nodiscard]] std::string ParentFolder(std::string_view path);

// The 8-bit form of program text. Text is already 8-bit UTF-8 here, so the bytes pass unchanged;
// kept as a routine so that every place that puts text on a link or into a file says so.
[[nodiscard]] std::string WideToNarrow(std::string_view text);
[[nodiscard]] std::string NarrowToWide(std::string_view bytes);

// The name at an index of a list of names (modes, sub-states, item types), or `outside` for an index
// that lies outside the list, as a hand-edited settings file can give.
[[nodiscard]] std::string NameAt(const std::vector<std::string>& names, int index, std::string_view outside = {});

// printf-style formatting into a std::string for texts and integers. Numbers that reach a frame, a
// file or a grid are formatted with FormatG / FormatFixed (Numbers.h), never here.
[[nodiscard]] std::string Sprintf(const char* format, ...) __attribute__((format(printf, 1, 2)));

}  // namespace vorn
