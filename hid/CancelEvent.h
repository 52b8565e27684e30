#pragma once
// An auto-reset event that aborts a waiting HID transfer. One signal aborts at
// most one transfer: the first transfer that consumes it. A signal given while
// no transfer waits stays set and aborts the next transfer at once.
// A transfer that waits registers a waker, which Set calls so that the
// transfer's own wait (a condition variable, a poll) ends early.

#include <atomic>
#include <cstdint>
#include <functional>
#include <map>
#include <mutex>

namespace hid {

class CancelEvent {
 public:
  CancelEvent() = default;
  CancelEvent(const CancelEvent&) = delete;
  CancelEvent& operator=(const CancelEvent&) = delete;

  void Set();
  // True, clearing the event, when it was set.
  bool Consume() { return set_.exchange(false); }
  bool IsSet() const { return set_.load(); }
  void Reset() { set_.store(false); }

  // While the returned object lives, Set calls `wake` (on the setting thread,
  // under the event's waker lock: `wake` must only notify).
  class Waker {
   public:
    Waker() = default;
    Waker(Waker&& other) noexcept : event_(other.event_), id_(other.id_) { other.event_ = nullptr; }
    Waker& operator=(Waker&&) = delete;
    ~Waker();

   private:
    friend class CancelEvent;
    Waker(CancelEvent* event, uint64_t id) : event_(event), id_(id) {}
    CancelEvent* event_ = nullptr;
    uint64_t id_ = 0;
  };
  [[nodiscard]] Waker Watch(std::function<void()> wake);

 private:
  std::atomic<bool> set_{false};
  std::mutex wakersLock_;  // guards wakers_ and nextId_; held while wakers run
  std::map<uint64_t, std::function<void()>> wakers_;
  uint64_t nextId_ = 1;
};

}  // namespace hid
