#include "platform/Worker.h"

#include "platform/Trace.h"

namespace platform {

Worker::~Worker() { Stop(std::chrono::milliseconds(1000)); }

bool Worker::Start(std::function<void(const StopEvent& stop)> body) {
  if (thread_.joinable()) return false;
  stop_.Reset();
  std::promise<void> done;
  finished_ = done.get_future();
  thread_ = std::thread([this, body = std::move(body), done = std::move(done)]() mutable {
    body(stop_);
    done.set_value();
  });
  return true;
}

bool Worker::Stop(std::chrono::milliseconds bound, std::string_view timeoutTrace) {
  if (!thread_.joinable()) return true;
  stop_.Set();
  const bool inTime = finished_.wait_for(bound) == std::future_status::ready;
  if (!inTime && !timeoutTrace.empty()) Trace(timeoutTrace);
  if (thread_.get_id() == std::this_thread::get_id()) {
    thread_.detach();  // a worker stopping itself cannot join itself
  } else {
    thread_.join();
  }
  return inTime;
}

}  // namespace platform
