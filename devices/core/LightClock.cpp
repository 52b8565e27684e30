#include "devices/core/LightClock.h"

namespace devices {

SteadyLightClock::SteadyLightClock() : origin_(std::chrono::steady_clock::now()) {}

uint64_t SteadyLightClock::Ticks() const {
  const auto us = std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() - origin_);
  return uint64_t(us.count()) / kTickMicroseconds;
}

bool SteadyLightClock::WaitNextTick(const platform::StopEvent& stop) {
  for (;;) {
    if (stop.IsSet()) return true;
    const uint64_t now = Ticks();
    if (now > seen_) {
      seen_ = now;
      return false;
    }
    const auto elapsed =
        std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() - origin_);
    const int64_t left = int64_t((seen_ + 1) * kTickMicroseconds) - int64_t(elapsed.count());
    // Rounded up, so one wait reaches the next tick.
    if (stop.WaitFor(std::chrono::milliseconds(left > 0 ? (left + 999) / 1000 : 0))) return true;
  }
}

bool SteadyLightClock::Sleep(std::chrono::milliseconds duration, const platform::StopEvent& stop) {
  const bool stopped = stop.WaitFor(duration);
  seen_ = Ticks();
  return stopped;
}

uint32_t ManualLightClock::TickCount() const { return TickMs(Ticks()); }

uint64_t ManualLightClock::Ticks() const {
  std::lock_guard guard(lock_);
  return ticks_;
}

void ManualLightClock::Advance(uint64_t ticks) {
  {
    std::lock_guard guard(lock_);
    ticks_ += ticks;
  }
  changed_.notify_all();
}

bool ManualLightClock::WaitUntil(uint64_t tick, const platform::StopEvent& stop) {
  // The stop event wakes the wait through the same condition.
  const platform::StopEvent::Subscription woken = stop.Subscribe([this] {
    { std::lock_guard guard(lock_); }
    changed_.notify_all();
  });
  std::unique_lock guard(lock_);
  waiting_ = true;
  target_ = tick;
  changed_.notify_all();
  changed_.wait(guard, [&] { return stop.IsSet() || ticks_ >= tick; });
  waiting_ = false;
  if (stop.IsSet()) return true;
  seen_ = ticks_;
  return false;
}

bool ManualLightClock::WaitNextTick(const platform::StopEvent& stop) {
  uint64_t next;
  {
    std::lock_guard guard(lock_);
    next = seen_ + 1;
  }
  return WaitUntil(next, stop);
}

bool ManualLightClock::Sleep(std::chrono::milliseconds duration, const platform::StopEvent& stop) {
  const uint64_t ticks = (uint64_t(duration.count()) * 1000 + kTickMicroseconds - 1) / kTickMicroseconds;
  uint64_t until;
  {
    std::lock_guard guard(lock_);
    until = ticks_ + ticks;
  }
  return WaitUntil(until, stop);
}

bool ManualLightClock::WaitIdle(std::chrono::milliseconds bound) const {
  std::unique_lock guard(lock_);
  return changed_.wait_for(guard, bound, [&] { return waiting_ && ticks_ < target_; });
}

}  // namespace devices
