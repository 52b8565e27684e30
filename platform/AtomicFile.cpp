#include "platform/AtomicFile.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <string>
#include <unistd.h>

#include "platform/Trace.h"

namespace platform {
namespace {

bool WriteAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t n = ::write(fd, bytes.data(), bytes.size());
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    bytes.remove_prefix(size_t(n));
  }
  return true;
}

// The process's umask, read without changing it (umask() itself would set it,
// racing with other threads creating files).
mode_t CurrentUmask() {
  std::FILE* status = std::fopen("/proc/self/status", "re");
  unsigned mask = 022;
  if (status) {
    char line[128];
    while (std::fgets(line, sizeof line, status))
      if (std::sscanf(line, "Umask: %o", &mask) == 1) break;
    std::fclose(status);
  }
  return mode_t(mask & 0777);
}

// The mode the written file gets: the old file's, or for a new file what
// creating it the ordinary way would give.
mode_t TargetMode(const std::filesystem::path& path) {
  struct stat st {};
  if (::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode)) return st.st_mode & 07777;
  return 0666 & ~CurrentUmask();
}

void TraceFailure(const std::filesystem::path& path, const char* step) {
  Trace("atomic write failed (" + std::string(step) + "): " + path.string() + ": " +
        std::strerror(errno));
}

}  // namespace

bool WriteFileAtomic(const std::filesystem::path& path, std::string_view bytes) {
  std::filesystem::path temp = path;
  temp += ".tmp-XXXXXX";
  std::string pattern = temp.string();
  const int fd = ::mkstemp(pattern.data());
  if (fd < 0) {
    TraceFailure(path, "create");
    return false;
  }
  // mkstemp creates the file 0600: keep the old file's mode instead, so a
  // rewrite never widens or narrows who may read it.
  ::fchmod(fd, TargetMode(path));
  const bool written = WriteAll(fd, bytes) && ::fsync(fd) == 0;
  const int savedErrno = errno;
  const bool closed = ::close(fd) == 0;
  if (!written || !closed) {
    errno = written ? errno : savedErrno;
    TraceFailure(path, "write");
    ::unlink(pattern.c_str());
    return false;
  }
  if (::rename(pattern.c_str(), path.c_str()) != 0) {
    TraceFailure(path, "rename");
    ::unlink(pattern.c_str());
    return false;
  }
  return true;
}

}  // namespace platform
