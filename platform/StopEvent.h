#pragma once
// A manual-reset event, used as every worker's stop signal: once set it stays
// set until Reset. Waits on it are bounded, and blocking operations elsewhere
// (HID reads, cross-thread sends) subscribe to it so that setting the event
// cancels them at once.

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <map>
#include <mutex>

namespace platform {

class StopEvent {
 public:
  StopEvent() = default;
  StopEvent(const StopEvent&) = delete;
  StopEvent& operator=(const StopEvent&) = delete;

  void Set();
  void Reset();
  bool IsSet() const;

  // Waits until the event is set or the time runs out; true when set.
  bool WaitFor(std::chrono::milliseconds timeout) const;

  // Calls `onSet` (on the setting thread) when the event is set while the
  // subscription lives; immediately when it is already set. The callback must
  // not block and must not touch the event's subscriptions.
  class Subscription {
   public:
    Subscription() = default;
    Subscription(Subscription&& other) noexcept;
    Subscription& operator=(Subscription&& other) noexcept;
    ~Subscription();
    void Release();

   private:
    friend class StopEvent;
    Subscription(const StopEvent* event, uint64_t id) : event_(event), id_(id) {}
    const StopEvent* event_ = nullptr;
    uint64_t id_ = 0;
  };
  [[nodiscard]] Subscription Subscribe(std::function<void()> onSet) const;

 private:
  void Unsubscribe(uint64_t id) const;

  mutable std::mutex lock_;  // guards set_, callbacks_, nextId_
  mutable std::condition_variable changed_;
  bool set_ = false;
  mutable std::map<uint64_t, std::function<void()>> callbacks_;
  mutable uint64_t nextId_ = 1;
};

}  // namespace platform
