#include "support/Text.h"

#include <cstdarg>
#include <cstdio>
#include <vector>

namespace vorn {

std::string ExtractBetween(std::string_view text, std::string_view start, std::string_view end) {
  const size_t at = text.find(start);  // an empty marker is found at the beginning
  if (at == std::string_view::npos) return {};
  const size_t from = at + start.size();
  if (end.empty()) return std::string(text.substr(from));
  const size_t to = text.find(end, from);
  if (to == std::string_view::npos) return {};
  return std::string(text.substr(from, to - from));
}

std::vector<std::string>& SplitText(std::string_view text, std::string_view delimiters,
                                    std::vector<std::string>& pieces) {
  pieces.clear();
  const bool dropEmpty = delimiters == " ";
  size_t from = 0;
  while (true) {
    const size_t cut = text.find_first_of(delimiters, from);
    const std::string_view piece = text.substr(from, cut == std::string_view::npos ? cut : cut - from);
    if (!(dropEmpty && piece.empty())) pieces.emplace_back(piece);
    if (cut == std::string_view::npos || delimiters.empty()) break;
    from = cut + 1;
  }
  return pieces;
}

std::string_view TrimWhiteSpace(std::string_view text) {
  constexpr std::string_view kWhiteSpace = " \t\r\n\v\f";
  const size_t first = text.find_first_not_of(kWhiteSpace);
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(kWhiteSpace) - first + 1);
}

std::string CsvField(const std::string& text) {
  if (text.find_first_of(",\"\r\n") == std::string::npos) return text;
  std::string quoted = "\"";
  for (const char c : text) {
    if (c == '"') quoted += '"';
    quoted += c;
  }
  return quoted + "\"";
}

std::string JoinText(const std::vector<std::string>& pieces, std::string_view separator) {
  std::string text;
  for (size_t i = 0; i < pieces.size(); ++i) {
    if (i > 0) text += separator;
    text += pieces[i];
  }
  return text;
}

// Paths split at "/", the Linux folder separator.
std::string ParentFolder(std::string_view path) {
  std::vector<std::string> pieces;
  SplitText(path, "/", pieces);
  pieces.pop_back();  // SplitText always leaves at least one piece
  return JoinText(pieces, "/");
}

std::string WideToNarrow(std::string_view text) { return std::string(text); }
std::string NarrowToWide(std::string_view bytes) { return std::string(bytes); }

std::string NameAt(const std::vector<std::string>& names, int index, std::string_view outside) {
  if (index < 0 || static_cast<size_t>(index) >= names.size()) return std::string(outside);
  return names[static_cast<size_t>(index)];
}

std::string Sprintf(const char* format, ...) {
  va_list args;
  va_start(args, format);
  va_list copy;
  va_copy(copy, args);
  const int needed = std::vsnprintf(nullptr, 0, format, copy);
  va_end(copy);
  std::string text;
  if (needed > 0) {
    std::vector<char> buffer(static_cast<size_t>(needed) + 1);
    std::vsnprintf(buffer.data(), buffer.size(), format, args);
    text.assign(buffer.data(), static_cast<size_t>(needed));
  }
  va_end(args);
  return text;
}

}  // namespace vorn
