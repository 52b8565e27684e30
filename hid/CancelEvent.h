#pragma once
// The events that end a waiting HID transfer early, all seen through one
// mechanism, platform::StopEvent subscriptions:
//  - an interface's cancel event, auto-reset: one signal ends at most one
//    transfer, the first that consumes it; a signal given while no transfer
//    waits stays set and ends the next transfer at once;
//  - the stop event of the worker that waits (left set: it ends every later
//    wait of that worker too);
//  - the connection's own close (each backend subscribes to it as well).

#include <functional>

#include "platform/StopEvent.h"

namespace hid {

class CancelEvent {
 public:
  CancelEvent() = default;
  CancelEvent(const CancelEvent&) = delete;
  CancelEvent& operator=(const CancelEvent&) = delete;

  void Set() { event_.Set(); }
  // True, clearing the event, when it was set.
  bool Consume() { return event_.Consume(); }
  bool IsSet() const { return event_.IsSet(); }
  void Reset() { event_.Reset(); }

  [[nodiscard]] platform::StopEvent::Subscription Subscribe(std::function<void()> wake) const {
    return event_.Subscribe(std::move(wake));
  }

 private:
  platform::StopEvent event_;
};

// What may end one transfer before its time-out, besides the connection's
// close: the interface's cancel event and the waiting worker's stop event.
class Cancellation {
 public:
  // NOLINTNEXTLINE(google-explicit-constructor): a cancel event alone is a cancellation
  Cancellation(CancelEvent& cancel, const platform::StopEvent* stop = nullptr)
      : cancel_(cancel), stop_(stop) {}

  // True when the transfer must end now; a set cancel event is consumed.
  bool Requested() const { return (stop_ && stop_->IsSet()) || cancel_.Consume(); }

  // Calls `wake` whenever the cancel or the stop event is set while the
  // result lives (at once for one already set). `wake` must only notify.
  struct Watch {
    platform::StopEvent::Subscription cancel;
    platform::StopEvent::Subscription stop;
  };
  [[nodiscard]] Watch Subscribe(const std::function<void()>& wake) const {
    Watch w;
    w.cancel = cancel_.Subscribe(wake);
    if (stop_) w.stop = stop_->Subscribe(wake);
    return w;
  }

 private:
  CancelEvent& cancel_;
  const platform::StopEvent* stop_;
};

}  // namespace hid
