#include "persist/AtomicFile.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <filesystem>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include "support/Text.h"
#include "support/TextFile.h"

namespace vorn {
namespace {

namespace fs = std::filesystem;

// A save's temporary file is the file's name with this, the X's made unique by mkostemp.
constexpr std::string_view kTemporarySuffix = ".tmp-XXXXXX";
constexpr int kMaxLinks = 40;  // as many as the system follows in one path

// The file that a save to path replaces: path itself, or the end of the chain of links that path
// starts (which need not exist yet). None for a loop or a chain too long.
std::optional<fs::path> SaveTarget(const std::string& path) {
  fs::path target(path);
  for (int links = 0; links <= kMaxLinks; ++links) {
    std::error_code error;
    if (!fs::is_symlink(fs::symlink_status(target, error))) return target;
    const fs::path next = fs::read_symlink(target, error);
    if (error) return std::nullopt;
    target = next.is_absolute() ? next : target.parent_path() / next;
  }
  return std::nullopt;
}

// The permissions the saved file gets: the old file's own, or those an ordinary create would give.
mode_t SavedFileMode(const fs::path& target) {
  struct stat info {};
  if (stat(target.c_str(), &info) == 0) return info.st_mode & 07777;
  const mode_t mask = umask(0);
  umask(mask);
  return 0666 & ~mask;
}

bool WriteAll(int fd, const std::string& bytes) {
  size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t written = write(fd, bytes.data() + done, bytes.size() - done);
    if (written < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    done += static_cast<size_t>(written);
  }
  return true;
}

// The folder's own entry is flushed too, so the rename itself survives a power cut.
void SyncFolder(const std::string& path) {
  const std::string folder = ParentFolder(path);
  const int fd = open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  fsync(fd);
  close(fd);
}

bool IsTemporaryNameOf(const std::string& name, const std::string& fileName) {
  const std::string_view stem = kTemporarySuffix.substr(0, kTemporarySuffix.find('X'));
  const size_t unique = kTemporarySuffix.size() - stem.size();
  if (name.size() != fileName.size() + stem.size() + unique) return false;
  if (name.compare(0, fileName.size(), fileName) != 0 || name.compare(fileName.size(), stem.size(), stem) != 0) {
    return false;
  }
  return std::all_of(name.end() - static_cast<long>(unique), name.end(), [](char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9');
  });
}

}  // namespace

bool WriteTextFileAtomically(const std::string& path, std::string_view text) {
  const std::optional<fs::path> target = SaveTarget(path);
  if (!target) return false;
  const std::string targetPath = target->string();
  std::string pattern = targetPath + std::string(kTemporarySuffix);
  std::vector<char> name(pattern.begin(), pattern.end());
  name.push_back('\0');
  const int fd = mkostemp(name.data(), O_CLOEXEC);
  if (fd < 0) return false;
  const bool written = WriteAll(fd, ToDiskText(text)) && fsync(fd) == 0;
  fchmod(fd, SavedFileMode(*target));
  const bool closed = close(fd) == 0;
  if (!written || !closed || std::rename(name.data(), targetPath.c_str()) != 0) {
    unlink(name.data());
    return false;
  }
  SyncFolder(targetPath);
  return true;
}

void RemoveSaveLeftovers(const std::string& path) {
  const std::optional<fs::path> target = SaveTarget(path);
  if (!target) return;
  const std::string fileName = target->filename().string();
  const fs::path folder = target->has_parent_path() ? target->parent_path() : fs::path(".");
  std::error_code error;
  for (const fs::directory_entry& entry : fs::directory_iterator(folder, error)) {
    std::error_code entryError;
    if (IsTemporaryNameOf(entry.path().filename().string(), fileName) &&
        fs::is_regular_file(entry.symlink_status(entryError))) {
      fs::remove(entry.path(), entryError);
    }
  }
}

}  // namespace vorn
