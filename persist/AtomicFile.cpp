#include "persist/AtomicFile.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include "support/Text.h"
#include "support/TextFile.h"

namespace vorn {
namespace {

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

}  // namespace

bool WriteTextFileAtomically(const std::string& path, std::string_view text) {
  std::string pattern = path + ".tmp-XXXXXX";
  std::vector<char> name(pattern.begin(), pattern.end());
  name.push_back('\0');
  const int fd = mkostemp(name.data(), O_CLOEXEC);
  if (fd < 0) return false;
  const bool written = WriteAll(fd, ToDiskText(text)) && fsync(fd) == 0;
  const mode_t mask = umask(0);  // a new file gets the permissions an ordinary create would give it
  umask(mask);
  fchmod(fd, 0666 & ~mask);
  const bool closed = close(fd) == 0;
  if (!written || !closed || std::rename(name.data(), path.c_str()) != 0) {
    unlink(name.data());
    return false;
  }
  SyncFolder(path);
  return true;
}

}  // namespace vorn
