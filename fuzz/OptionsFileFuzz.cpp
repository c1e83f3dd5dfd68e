// An options file's text on arbitrary input: never a crash; words or an error, never both; and the
// words, each written back in double quotes, split into the same words.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "app/OptionsFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const SplitOptions split = SplitOptionsText(text);
  if (!split.error.empty() && !split.words.empty()) std::abort();
  if (!split.error.empty()) return 0;
  std::string quoted;
  for (const std::string& word : split.words) {
    if (word.find('\0') != std::string::npos) std::abort();  // a zero byte is refused, never taken
    quoted += '"';
    for (char c : word) {
      if (c == '"' || c == '\\') quoted += '\\';
      quoted += c;
    }
    quoted += "\" ";
  }
  if (SplitOptionsText(quoted).words != split.words) std::abort();
  return 0;
}
