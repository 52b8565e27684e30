#include "platform/StopEvent.h"

#include <vector>

namespace platform {

void StopEvent::Set() {
  std::vector<uint64_t> ids;
  {
    std::lock_guard guard(lock_);
    if (set_) return;
    set_ = true;
    for (const auto& [id, cb] : callbacks_) ids.push_back(id);
  }
  changed_.notify_all();
  // Each callback runs outside the lock (it may wake a wait that takes other
  // locks), but is marked running so that its Release waits for it.
  for (const uint64_t id : ids) {
    std::function<void()> cb;
    {
      std::lock_guard guard(lock_);
      const auto at = callbacks_.find(id);
      if (at == callbacks_.end()) continue;  // released meanwhile
      cb = at->second;
      running_[id] = std::this_thread::get_id();
    }
    cb();
    {
      std::lock_guard guard(lock_);
      running_.erase(id);
    }
    changed_.notify_all();
  }
}

void StopEvent::Reset() {
  std::lock_guard guard(lock_);
  set_ = false;
}

bool StopEvent::IsSet() const {
  std::lock_guard guard(lock_);
  return set_;
}

bool StopEvent::Consume() {
  std::lock_guard guard(lock_);
  const bool was = set_;
  set_ = false;
  return was;
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
  std::unique_lock guard(lock_);
  callbacks_.erase(id);
  changed_.wait(guard, [&] {
    const auto at = running_.find(id);
    return at == running_.end() || at->second == std::this_thread::get_id();
  });
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
