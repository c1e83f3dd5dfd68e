#pragma once

#include <string>
#include <string_view>

namespace vorn {

// Whole-file text with the program's Windows-compatible bytes on disk: every LF is written as CR LF,
// CR LF reads back as LF, and every UTF-8 byte-order mark (EF BB BF) is dropped on reading.
[[nodiscard]] std::string ReadTextFile(const std::string& path);  // empty when unreadable
bool WriteTextFile(const std::string& path, std::string_view text);   // false when it cannot be opened
bool AppendTextFile(const std::string& path, std::string_view text);  // creates a missing file

// Makes a new file holding the text, never touching one that exists.
enum class NewFileResult { Created, Exists, Failed };
[[nodiscard]] NewFileResult CreateNewTextFile(const std::string& path, std::string_view text);

// The bytes that WriteTextFile puts on disk for a text: every LF as CR LF.
[[nodiscard]] std::string ToDiskText(std::string_view text);

}  // namespace vorn
