#include "support/TextFile.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

namespace vorn {
namespace {

bool WriteWithMode(const std::string& path, std::string_view text, const char* mode) {
  FILE* file = std::fopen(path.c_str(), mode);
  if (file == nullptr) return false;
  const std::string bytes = ToDiskText(text);
  std::fwrite(bytes.data(), 1, bytes.size(), file);
  std::fclose(file);
  return true;
}

}  // namespace

// Every LF becomes CR LF, as a Windows text-mode write does.
std::string ToDiskText(std::string_view text) {
  std::string bytes;
  bytes.reserve(text.size() + text.size() / 16);
  for (const char c : text) {
    if (c == '\n') bytes += '\r';
    bytes += c;
  }
  return bytes;
}

std::string ReadTextFile(const std::string& path) {
  FILE* file = std::fopen(path.c_str(), "rb");
  if (file == nullptr) return {};
  std::string bytes;
  char buffer[65536];
  size_t got = 0;
  while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0) bytes.append(buffer, got);
  std::fclose(file);

  std::string text;
  text.reserve(bytes.size());
  for (size_t i = 0; i < bytes.size(); ++i) {
    const char c = bytes[i];
    if (c == '\xEF' && i + 2 < bytes.size() && bytes[i + 1] == '\xBB' && bytes[i + 2] == '\xBF') {
      i += 2;  // a byte-order mark, wherever it stands
      continue;
    }
    if (c == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') continue;
    text += c;
  }
  return text;
}

bool WriteTextFile(const std::string& path, std::string_view text) { return WriteWithMode(path, text, "wb"); }

NewFileResult CreateNewTextFile(const std::string& path, std::string_view text) {
  FILE* file = std::fopen(path.c_str(), "wbx");  // exclusive: fails on a file that is there
  if (file == nullptr) return errno == EEXIST ? NewFileResult::Exists : NewFileResult::Failed;
  const std::string bytes = ToDiskText(text);
  std::fwrite(bytes.data(), 1, bytes.size(), file);
  std::fclose(file);
  return NewFileResult::Created;
}

bool AppendTextFile(const std::string& path, std::string_view text) {
  // One open that also makes a missing file, and one write: a run's files take a line several times
  // a second, a fleet's thousands of times.
  const int file = ::open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0666);
  if (file < 0) return false;
  const std::string bytes = ToDiskText(text);
  std::size_t written = 0;
  while (written < bytes.size()) {
    const ssize_t count = ::write(file, bytes.data() + written, bytes.size() - written);
    if (count < 0 && errno == EINTR) continue;
    if (count <= 0) break;
    written += static_cast<std::size_t>(count);
  }
  ::close(file);
  return true;
}

}  // namespace vorn
