#pragma once
// The light thread's time. Effect speeds were tuned against a system tick of
// 15.625 ms: the tick count advanced in steps of 15 or 16 ms and the thread's
// 1 ms wait lasted a whole tick, so the loop made one pass per tick. The clock
// gives the tick count in milliseconds, quantised to that tick, and a wait
// for the next tick that the stop event ends at once. Tests and the
// command-line tool step a manual clock instead.

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>

#include "platform/StopEvent.h"

namespace devices {

inline constexpr uint32_t kTickMicroseconds = 15625;

// Milliseconds at the start of tick `ticks`.
constexpr uint32_t TickMs(uint64_t ticks) { return uint32_t(ticks * kTickMicroseconds / 1000); }

class LightClock {
 public:
  virtual ~LightClock() = default;
  virtual uint32_t TickCount() const = 0;
  // Waits for a tick the caller has not seen yet. True when `stop` ended the
  // wait (or was set already), false when a new tick began.
  virtual bool WaitNextTick(const platform::StopEvent& stop) = 0;
  // Waits about `duration`, rounded up to whole ticks; true when `stop` ended it.
  virtual bool Sleep(std::chrono::milliseconds duration, const platform::StopEvent& stop) = 0;
};

class SteadyLightClock final : public LightClock {
 public:
  SteadyLightClock();
  uint32_t TickCount() const override { return TickMs(Ticks()); }
  bool WaitNextTick(const platform::StopEvent& stop) override;
  bool Sleep(std::chrono::milliseconds duration, const platform::StopEvent& stop) override;

 private:
  uint64_t Ticks() const;
  std::chrono::steady_clock::time_point origin_;
  uint64_t seen_ = 0;  // the waiter's last tick (one waiter: the light thread)
};

// Ticks advance only when told. Its one waiter may be on another thread:
// `WaitIdle` tells the stepping side when that waiter has caught up, so a
// test steps a thread pass by pass without sleeping.
class ManualLightClock final : public LightClock {
 public:
  uint32_t TickCount() const override;
  bool WaitNextTick(const platform::StopEvent& stop) override;
  bool Sleep(std::chrono::milliseconds duration, const platform::StopEvent& stop) override;

  void Advance(uint64_t ticks = 1);
  uint64_t Ticks() const;
  // Waits up to `bound` until the waiter is blocked on a tick still to come;
  // false when the bound passed.
  bool WaitIdle(std::chrono::milliseconds bound = std::chrono::milliseconds(5000)) const;

 private:
  bool WaitUntil(uint64_t tick, const platform::StopEvent& stop);

  mutable std::mutex lock_;  // guards the fields below
  mutable std::condition_variable changed_;
  uint64_t ticks_ = 0;
  uint64_t seen_ = 0;
  uint64_t target_ = 0;  // the tick the waiter waits for
  bool waiting_ = false;
};

}  // namespace devices
