#pragma once
// A worker thread with a manual-reset stop event. Stopping signals the event,
// waits up to a bound, writes the caller's trace text when the bound passes,
// and then keeps waiting for the thread to finish: a thread is never killed.
//
// While the body runs, its stop event is the thread's stop event
// (ThisThreadStop): every blocking wait made on the thread without a stop
// event of its own (HID reads and writes, MessageTarget::Send, SleepFor)
// subscribes to it, so setting it ends them all at once.

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
  // Called from the worker's own thread it only signals the event and returns
  // false at once: the body ends when it next looks at its stop event, and a
  // later Stop (or the destructor) joins it.
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

// The stop event of the worker running on this thread; null on other threads.
const StopEvent* ThisThreadStop();

// Sleeps up to `duration`, ending early when `stop` (by default the thread's
// stop event) is set. True when the whole time passed.
bool SleepFor(std::chrono::milliseconds duration, const StopEvent* stop = nullptr);

}  // namespace platform
