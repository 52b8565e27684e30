#include "platform/Worker.h"

#include "platform/Trace.h"

namespace platform {
namespace {

thread_local const StopEvent* tThisThreadStop = nullptr;

}  // namespace

const StopEvent* ThisThreadStop() { return tThisThreadStop; }

bool SleepFor(std::chrono::milliseconds duration, const StopEvent* stop) {
  if (!stop) stop = tThisThreadStop;
  if (!stop) {
    std::this_thread::sleep_for(duration);
    return true;
  }
  return !stop->WaitFor(duration);
}

Worker::~Worker() {
  Stop(std::chrono::milliseconds(1000));
  // Destroyed by its own body: a thread cannot join itself. After the body
  // the thread touches nothing of this object.
  if (thread_.joinable()) thread_.detach();
}

bool Worker::Start(std::function<void(const StopEvent& stop)> body) {
  if (thread_.joinable()) return false;
  stop_.Reset();
  std::promise<void> done;
  finished_ = done.get_future();
  thread_ = std::thread([this, body = std::move(body), done = std::move(done)]() mutable {
    tThisThreadStop = &stop_;
    body(stop_);
    tThisThreadStop = nullptr;
    done.set_value();
  });
  return true;
}

bool Worker::Stop(std::chrono::milliseconds bound, std::string_view timeoutTrace) {
  // Called by the body itself: only set the event. The body never reads
  // thread_, which Start may still be assigning while the body already runs.
  if (tThisThreadStop == &stop_) {
    stop_.Set();
    return false;
  }
  if (!thread_.joinable()) return true;
  stop_.Set();
  const bool inTime = finished_.wait_for(bound) == std::future_status::ready;
  if (!inTime && !timeoutTrace.empty()) Trace(timeoutTrace);
  thread_.join();
  return inTime;
}

}  // namespace platform
