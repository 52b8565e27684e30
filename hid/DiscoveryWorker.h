#pragma once
// The discovery worker: every 100 ms it lists the present HID collections
// (only while some interface slot is free), claims a slot for each supported
// collection it can open and sends the owner UM_INTERFACE_ARRIVED with the
// slot index; a claimed slot whose path is no longer present is released and
// reported with UM_INTERFACE_REMOVED. Both are synchronous sends. After its
// first complete listing it posts the identity message once, which brings
// the main window to the front.
//
// A quiet pass costs next to nothing: while the backend's change count stands
// still, a pass re-uses the last listing instead of listing again and skips
// the removal probes (the paths the last probes found are still there); a
// full listing and a full probe still run at least every kFullListingEvery,
// in case an event was lost. A path that opened but matches no row of the
// table is not opened again until something changes, and the re-used listing
// is not walked again while no slot was claimed or released (a path that
// failed to open is tried again on every pass).

#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "hid/CHidInterface.h"
#include "hid/HidBackend.h"
#include "hid/InterfaceSlots.h"
#include "platform/MessageTarget.h"
#include "platform/Messages.h"
#include "platform/StopEvent.h"
#include "platform/Worker.h"

namespace hid {

inline constexpr auto kDiscoveryStopPoll = std::chrono::milliseconds(1);
inline constexpr auto kDiscoveryPause = std::chrono::milliseconds(100);
inline constexpr auto kFullListingEvery = std::chrono::seconds(5);
inline constexpr const char* kDiscoveryExitTrace = "抓取设备线程设定退出";

class DiscoveryWorker {
 public:
  // `identityMessage` is the registered identity message (0: none is posted).
  DiscoveryWorker(std::shared_ptr<HidBackend> backend, InterfaceSlots& slots,
                  platform::MessageTarget& owner, platform::MessageId identityMessage);
  ~DiscoveryWorker();
  DiscoveryWorker(const DiscoveryWorker&) = delete;
  DiscoveryWorker& operator=(const DiscoveryWorker&) = delete;

  // Runs Run on a thread of its own; false when already running.
  bool Start();
  // Sets the stop event and joins; true when the thread ended within `bound`.
  bool Stop(std::chrono::milliseconds bound = std::chrono::milliseconds(1000));
  bool Running() const { return worker_.Running(); }

  // The worker's loop, on the calling thread, until `stop` is set.
  void Run(const platform::StopEvent& stop);

  // One arrival scan (when a slot is free) and one removal scan. A failed
  // listing is traced and skipped; the next pass tries again. Returns false
  // when the listing failed.
  bool Pass(const platform::StopEvent& stop);

  // Full listings run so far (tests, benchmarks).
  int Listings() const { return listings_; }
  // The clock that times the full listings (tests step it).
  using Clock = std::function<std::chrono::steady_clock::time_point()>;
  void SetClock(Clock clock) { clock_ = std::move(clock); }

 private:
  // `count` and `now`: the backend's change count and the time at the start
  // of the pass.
  void ArrivalScan(const platform::StopEvent& stop, std::optional<uint64_t> count,
                   std::chrono::steady_clock::time_point now);
  void RemovalScan(const platform::StopEvent& stop, std::optional<uint64_t> count,
                   std::chrono::steady_clock::time_point now);
  // After the first complete listing: the identity message, once.
  void PostIdentityOnce();

  std::shared_ptr<HidBackend> backend_;
  InterfaceSlots& slots_;
  platform::MessageTarget& owner_;
  platform::MessageId identityMessage_;
  std::unique_ptr<CHidInterface> hid_;  // created on the first pass
  bool firstPass_ = true;
  bool lastListingOk_ = true;
  // When a scan last ran in full: the backend's change count then and the
  // time. While the count stands still the scan's result still holds.
  struct LastScan {
    bool valid = false;
    std::optional<uint64_t> count;
    std::chrono::steady_clock::time_point when{};
    bool StillHolds(std::optional<uint64_t> now, std::chrono::steady_clock::time_point at) const {
      return valid && now && now == count && at - when < kFullListingEvery;
    }
  };
  LastScan listing_;
  LastScan probes_;
  std::vector<std::string> listed_;  // what listing_ found
  std::set<std::string> unclaimable_;  // opened, but no table row takes them
  // The slots' change count after the last complete walk of listed_ in which
  // every open succeeded; while both stand still a walk finds nothing new.
  std::optional<uint64_t> walked_;
  int listings_ = 0;
  Clock clock_ = [] { return std::chrono::steady_clock::now(); };
  platform::Worker worker_;
};

}  // namespace hid
