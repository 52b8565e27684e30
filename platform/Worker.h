#pragma once
// A worker thread with a manual-reset stop event. Stopping signals the event,
// waits up to a bound, writes the caller's trace text when the bound passes,
// and then keeps waiting for the thread to finish: a thread is never killed.

#include <chrono>
#include <functional>
#include <future>
#include <string>
#include <thread>

#include "platform/StopEvent.h"

namespace platform {

class Worker {
 public:
  Worker() = default;
  ~Worker();  // stops with a 1000 ms bound and no trace text
  Worker(const Worker&) = delete;
  Worker& operator=(const Worker&) = delete;

  // Starts the body on a new thread with the stop event reset. False when a
  // thread is already running.
  bool Start(std::function<void(const StopEvent& stop)> body);

  // Signals the stop event and joins. Returns true when the thread ended within
  // `bound`; otherwise traces `timeoutTrace` (when not empty), waits for the
  // join all the same and returns false. Does nothing when not started.
  bool Stop(std::chrono::milliseconds bound, std::string_view timeoutTrace = {});

  bool Running() const { return thread_.joinable(); }
  StopEvent& Event() { return stop_; }
  const StopEvent& Event() const { return stop_; }
  std::thread::id Id() const { return thread_.get_id(); }

 private:
  StopEvent stop_;
  std::future<void> finished_;
  std::thread thread_;
};

}  // namespace platform
