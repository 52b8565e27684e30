#include "hid/CancelEvent.h"

namespace hid {

void CancelEvent::Set() {
  set_.store(true);
  std::lock_guard guard(wakersLock_);
  for (auto& [id, wake] : wakers_) wake();
}

CancelEvent::Waker CancelEvent::Watch(std::function<void()> wake) {
  std::lock_guard guard(wakersLock_);
  const uint64_t id = nextId_++;
  wakers_.emplace(id, std::move(wake));
  return Waker(this, id);
}

CancelEvent::Waker::~Waker() {
  if (!event_) return;
  std::lock_guard guard(event_->wakersLock_);
  event_->wakers_.erase(id_);
}

}  // namespace hid
