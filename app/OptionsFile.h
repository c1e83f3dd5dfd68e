#pragma once

#include <QStringList>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// An options file holds command-line options for a program started by a service manager
// (/etc/vornrigsim/<instance>.conf): words separated by spaces, tabs or line ends, as a shell would
// split them without expanding anything. A word may be quoted, "..." or '...', to hold spaces; inside
// double quotes a backslash keeps the next " or \. A # that begins a word begins a comment to the
// end of the line.

// The largest options file read: a few lines are expected, a device named by mistake must not hang.
inline constexpr std::size_t kMaxOptionsFileBytes = 64 * 1024;

struct SplitOptions {
  std::vector<std::string> words;
  std::string error;  // "line N: ..." when the text does not split; then no words
};

[[nodiscard]] SplitOptions SplitOptionsText(std::string_view text);

// The arguments with each "--options-file FILE" (or "--options-file=FILE") replaced by the file's
// words, in place, so options after it still win over the file's. The reason, naming the file and the
// line, when a file cannot be read or split or names another options file.
struct ExpandedArguments {
  QStringList arguments;
  std::optional<std::string> error;
};
[[nodiscard]] ExpandedArguments ExpandOptionsFiles(const QStringList& arguments);
