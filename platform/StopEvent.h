#pragma once
// A manual-reset event, used as every worker's stop signal: once set it stays
// set until Reset. It is also the one way a blocking wait learns that it must
// end: HID reads and writes, cross-thread sends and sleeps subscribe to the
// events that may end them (the worker's stop event, an interface's cancel
// event, a connection's close), and setting any of them wakes the wait.

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <map>
#include <mutex>
#include <thread>

namespace platform {

class StopEvent {
 public:
  StopEvent() = default;
  StopEvent(const StopEvent&) = delete;
  StopEvent& operator=(const StopEvent&) = delete;

  void Set();
  void Reset();
  bool IsSet() const;
  // Clears the event and tells whether it was set: used as an auto-reset
  // event, one signal ends at most one wait.
  bool Consume();

  // Waits until the event is set or the time runs out; true when set.
  bool WaitFor(std::chrono::milliseconds timeout) const;

  // Calls `onSet` (on the setting thread) when the event is set while the
  // subscription lives; immediately when it is already set. The callback must
  // not block. Once Release (or the destructor) returns, the callback is not
  // running and will not run, unless Release is called from the callback
  // itself.
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

  mutable std::mutex lock_;  // guards set_, callbacks_, nextId_, running_
  mutable std::condition_variable changed_;
  bool set_ = false;
  mutable std::map<uint64_t, std::function<void()>> callbacks_;
  mutable uint64_t nextId_ = 1;
  // Callbacks being called right now, with the thread calling each.
  mutable std::map<uint64_t, std::thread::id> running_;
};

}  // namespace platform
