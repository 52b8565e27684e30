#pragma once
// A process-wide named lock standing in for a named mutex: an exclusive flock
// on a file in the runtime folder. The kernel drops the lock when the holder
// exits, crashed or not, so a stale lock never blocks a new start.

#include <string>
#include <string_view>

namespace platform {

class InstanceLock {
 public:
  InstanceLock() = default;
  ~InstanceLock();
  InstanceLock(InstanceLock&& other) noexcept;
  InstanceLock& operator=(InstanceLock&& other) noexcept;
  InstanceLock(const InstanceLock&) = delete;
  InstanceLock& operator=(const InstanceLock&) = delete;

  // Takes the lock called `name` without waiting; false when another process
  // (or another InstanceLock in this one) holds it.
  [[nodiscard]] bool TryAcquire(std::string_view name);
  void Release();
  bool Held() const { return fd_ >= 0; }

  // True when some process holds the lock `name` (probe without keeping it).
  static bool IsHeld(std::string_view name);

  static std::string LockFilePath(std::string_view name);

 private:
  int fd_ = -1;
};

}  // namespace platform
