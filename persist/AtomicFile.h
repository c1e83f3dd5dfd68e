#pragma once

#include <string>
#include <string_view>

namespace vorn {

// Replaces the file at path with the text, in the settings files' disk form (CR LF line ends), so that
// a crash, a kill or a full disk never leaves it empty or cut short: the text goes to a temporary file
// in the same folder, is flushed to the disk, and is renamed over the old file. On failure the old
// file stays as it was, no temporary file is left behind, and false comes back.
// A path that is a symbolic link (or a chain of them) stays one: the file it leads to is replaced, in
// that file's own folder, and keeps its permissions. A link that leads nowhere gets its file made.
bool WriteTextFileAtomically(const std::string& path, std::string_view text);

// Removes the temporary files that saves to path left behind when they were killed before their
// rename; nothing else.
void RemoveSaveLeftovers(const std::string& path);

}  // namespace vorn
