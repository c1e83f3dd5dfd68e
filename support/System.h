#pragma once

#include <string>

namespace vorn {

// Starts program with the file as its one argument, in the file's parent folder, without waiting.
bool LaunchWithFile(const std::string& program, const std::string& filePath);

// "v1.0.2.7": the program's version from the build.
[[nodiscard]] std::string GetVersionText();

}  // namespace vorn
