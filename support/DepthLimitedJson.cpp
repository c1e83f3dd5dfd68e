#include "support/DepthLimitedJson.h"

namespace vorn {

std::string JsonTooDeepMessage() {
  std::string message = "Arrays and objects nested deeper than ";
  message.append(std::to_string(kMaxJsonDepth)).append(" levels.");
  return message;
}

size_t JsonDepthExceededAt(std::string_view text, int maxDepth) {
  int depth = 0;
  bool inString = false;
  for (size_t at = 0; at < text.size(); ++at) {
    const char c = text[at];
    if (inString) {
      if (c == '\\') {
        ++at;  // the escaped character cannot end the string
      } else if (c == '"') {
        inString = false;
      }
    } else if (c == '"') {
      inString = true;
    } else if (c == '[' || c == '{') {
      if (++depth > maxDepth) return at;
    } else if ((c == ']' || c == '}') && depth > 0) {
      --depth;
    }
  }
  return std::string_view::npos;
}

}  // namespace vorn
