#pragma once
// The device emulator as a HID backend. Devices are added once and can then be
// plugged and unplugged at any moment from any thread; an unplugged device
// disappears from the listing, its paths stop opening and every connection
// open on it fails. Paths have the form "emu:<id>#vid_..&pid_..&mi_..[&col..]",
// stable for a device across plug cycles.

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>
#include <string_view>
#include <vector>

#include "emulator/EmulatedDevice.h"
#include "hid/HidBackend.h"

namespace emulator {

inline constexpr std::string_view kPathPrefix = "emu:";

class Emulator : public hid::HidBackend {
 public:
  Emulator() = default;
  // Stops the restart thread (a restart under way ends at its next step)
  // and joins it.
  ~Emulator() override;
  Emulator(const Emulator&) = delete;
  Emulator& operator=(const Emulator&) = delete;

  // Adds a device; it is plugged in unless `plugged` is false.
  std::shared_ptr<EmulatedDevice> Add(DeviceDesc desc, bool plugged = true);
  bool Plug(uint32_t id);
  bool Unplug(uint32_t id);
  std::shared_ptr<EmulatedDevice> Find(uint32_t id) const;
  // The first device with that name.
  std::shared_ptr<EmulatedDevice> FindByName(std::string_view name) const;
  std::vector<std::shared_ptr<EmulatedDevice>> Devices() const;

  // The next `count` listings fail (discovery tests).
  void FailNextEnumerations(int count);
  // Listings asked for so far, failed ones included.
  int EnumerationCount() const;

  bool Enumerate(std::vector<std::string>& paths) override;
  std::shared_ptr<hid::HidConnection> Open(std::string_view path, const hid::OpenMode& mode) override;
  bool IsPresent(std::string_view path) override;
  bool Owns(std::string_view path) const override;
  // Every device of this backend is emulated.
  bool IsEmulated(std::string_view path) override { return Owns(path); }
  // Moves on every plug and unplug.
  std::optional<uint64_t> ChangeCount() override;

  // A device restart after a firmware update, on the emulator's restart
  // thread: wait the gap (the host reads the reply meanwhile), unplug, wait
  // the gap, take the new version (if any), wait the gap, plug in. Returns at once. The gap (300 ms unless set) lets a host
  // that polls for changes see the device leave.
  void Restart(uint32_t id, std::optional<uint16_t> version);
  void SetRestartGap(std::chrono::milliseconds gap);
  // Restarts asked for and not yet finished.
  int PendingRestarts() const;

 private:
  struct Target {
    std::shared_ptr<EmulatedDevice> device;
    std::shared_ptr<VirtualInterface> iface;
    size_t collection = 0;
  };
  // The plugged device, interface and collection a path names, if any.
  bool Resolve(std::string_view path, Target* target) const;

  mutable std::mutex lock_;  // guards devices_, nextId_, failListings_
  std::vector<std::shared_ptr<EmulatedDevice>> devices_;
  uint32_t nextId_ = 1;
  int failListings_ = 0;
  int listings_ = 0;
  std::atomic<uint64_t> changes_{0};

  void RestartLoop();
  mutable std::mutex restartLock_;  // guards everything below
  std::condition_variable restartWake_;
  std::deque<std::pair<uint32_t, std::optional<uint16_t>>> restarts_;
  int restartsRunning_ = 0;
  bool stopping_ = false;
  std::chrono::milliseconds restartGap_{300};
  std::thread restarter_;  // started with the first restart
};

}  // namespace emulator
