#pragma once
// Timers keyed by id for one window or control, standing in for SetTimer and
// KillTimer: setting an id that is already armed re-arms it with the new
// interval; the callback runs on the UI thread with the id. Calls from another
// thread are queued to the UI thread.

#include <cstdint>
#include <functional>
#include <map>
#include <memory>

class QObject;
class QTimer;

namespace platform {

class TimerSet {
 public:
  using Callback = std::function<void(uint32_t id)>;

  // `context` is a QObject on the UI thread that the timers belong to.
  TimerSet(QObject* context, Callback onTimer);
  ~TimerSet();
  TimerSet(const TimerSet&) = delete;
  TimerSet& operator=(const TimerSet&) = delete;

  void SetTimer(uint32_t id, uint32_t intervalMs);
  void KillTimer(uint32_t id);
  void KillAll();
  bool IsArmed(uint32_t id) const;  // UI thread only
  // The period of an armed timer in ms, 0 when it is not armed (UI thread only).
  uint32_t Interval(uint32_t id) const;

 private:
  void SetOnUi(uint32_t id, uint32_t intervalMs);
  void KillOnUi(uint32_t id);
  void KillAllOnUi();

  QObject* context_;
  Callback onTimer_;
  std::map<uint32_t, std::unique_ptr<QTimer>> timers_;  // UI thread only
  std::shared_ptr<bool> alive_;
};

}  // namespace platform
