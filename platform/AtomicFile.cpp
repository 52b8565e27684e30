#include "platform/AtomicFile.h"

#include <cerrno>
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
  // mkstemp creates the file 0600; give it the usual permissions of a user file.
  ::fchmod(fd, 0644);
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
