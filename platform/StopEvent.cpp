#include "platform/StopEvent.h"

#include <vector>

namespace platform {

void StopEvent::Set() {
  std::vector<std::function<void()>> toCall;
  {
    std::lock_guard guard(lock_);
    if (set_) return;
    set_ = true;
    for (auto& [id, cb] : callbacks_) toCall.push_back(cb);
  }
  changed_.notify_all();
  for (auto& cb : toCall) cb();
}

void StopEvent::Reset() {
  std::lock_guard guard(lock_);
  set_ = false;
}

bool StopEvent::IsSet() const {
  std::lock_guard guard(lock_);
  return set_;
}

bool StopEvent::WaitFor(std::chrono::milliseconds timeout) const {
  std::unique_lock guard(lock_);
  return changed_.wait_for(guard, timeout, [this] { return set_; });
}

StopEvent::Subscription StopEvent::Subscribe(std::function<void()> onSet) const {
  std::unique_lock guard(lock_);
  if (set_) {
    guard.unlock();
    onSet();
    return {};
  }
  const uint64_t id = nextId_++;
  callbacks_.emplace(id, std::move(onSet));
  return Subscription(this, id);
}

void StopEvent::Unsubscribe(uint64_t id) const {
  std::lock_guard guard(lock_);
  callbacks_.erase(id);
}

StopEvent::Subscription::Subscription(Subscription&& other) noexcept
    : event_(other.event_), id_(other.id_) {
  other.event_ = nullptr;
}

StopEvent::Subscription& StopEvent::Subscription::operator=(Subscription&& other) noexcept {
  if (this != &other) {
    Release();
    event_ = other.event_;
    id_ = other.id_;
    other.event_ = nullptr;
  }
  return *this;
}

StopEvent::Subscription::~Subscription() { Release(); }

void StopEvent::Subscription::Release() {
  if (event_) event_->Unsubscribe(id_);
  event_ = nullptr;
}

}  // namespace platform
