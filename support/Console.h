#pragma once

#include <ostream>

namespace vorn {

// The diagnostic console: standard output when enabled (profile value "ConsoleWindow" not 0, or
// --console), otherwise a stream that discards everything.
[[nodiscard]] std::ostream& Console();
void EnableConsole(bool enabled);
[[nodiscard]] bool ConsoleEnabled();

// Reads "ConsoleWindow" from the "_Local" profile section, writes it back so the entry exists for the
// user to edit, and enables the console when it is not 0. Returns the value read.
int InitConsoleFromProfile();

}  // namespace vorn
