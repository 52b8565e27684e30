#include "platform/SingleInstance.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include "platform/Paths.h"

namespace platform {

std::string InstanceLock::LockFilePath(std::string_view name) {
  const std::filesystem::path folder = RuntimeFolder();
  if (folder.empty()) return {};  // refused: no lock anyone else could reach
  std::string safe;
  for (char c : name) safe += (c == '/' || c == '\\') ? '_' : c;
  return (folder / ("vx27-" + safe + ".lock")).string();
}

InstanceLock::~InstanceLock() { Release(); }

InstanceLock::InstanceLock(InstanceLock&& other) noexcept : fd_(other.fd_) { other.fd_ = -1; }

InstanceLock& InstanceLock::operator=(InstanceLock&& other) noexcept {
  if (this != &other) {
    Release();
    fd_ = other.fd_;
    other.fd_ = -1;
  }
  return *this;
}

bool InstanceLock::TryAcquire(std::string_view name) {
  Release();
  const std::string path = LockFilePath(name);
  if (path.empty()) return false;
  // O_NOFOLLOW: a link planted in our place must not make us open (or create)
  // a file somewhere else.
  const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
  if (fd < 0) return false;
  if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
    ::close(fd);
    return false;
  }
  fd_ = fd;
  return true;
}

void InstanceLock::Release() {
  if (fd_ < 0) return;
  ::flock(fd_, LOCK_UN);
  ::close(fd_);
  fd_ = -1;
}

bool InstanceLock::IsHeld(std::string_view name) {
  InstanceLock probe;
  return !probe.TryAcquire(name);
}

}  // namespace platform
