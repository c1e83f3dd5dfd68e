#pragma once

#include <string>
#include <string_view>

// Entries of a run's WITS log: "OUT" for every frame the engine writes to the WITS link, "IN" for what
// arrives on it. Each entry is a header line with its local time, then its text; entries keep LF line
// ends and no CR, and appending them in text mode puts CR LF on disk.

// A frame's entry.
[[nodiscard]] std::string WitsOutEntry(double nowSeconds, std::string_view frame);

// An arrival's entry, ended with a line end so that the next entry's header starts its own line.
[[nodiscard]] std::string WitsInEntry(double nowSeconds, std::string_view text);
