#include "platform/Timers.h"

#include <QMetaObject>
#include <QObject>
#include <QTimer>

#include "platform/MessageTarget.h"

namespace platform {

TimerSet::TimerSet(QObject* context, Callback onTimer)
    : context_(context), onTimer_(std::move(onTimer)), alive_(std::make_shared<bool>(true)) {}

TimerSet::~TimerSet() {
  *alive_ = false;
  KillAllOnUi();
}

void TimerSet::SetTimer(uint32_t id, uint32_t intervalMs) {
  if (OnUiThread()) return SetOnUi(id, intervalMs);
  std::weak_ptr<bool> alive = alive_;
  QMetaObject::invokeMethod(
      context_, [this, alive, id, intervalMs] { if (alive.lock()) SetOnUi(id, intervalMs); },
      Qt::QueuedConnection);
}

void TimerSet::KillTimer(uint32_t id) {
  if (OnUiThread()) return KillOnUi(id);
  std::weak_ptr<bool> alive = alive_;
  QMetaObject::invokeMethod(
      context_, [this, alive, id] { if (alive.lock()) KillOnUi(id); }, Qt::QueuedConnection);
}

void TimerSet::KillAll() {
  if (OnUiThread()) return KillAllOnUi();
  std::weak_ptr<bool> alive = alive_;
  QMetaObject::invokeMethod(
      context_, [this, alive] { if (alive.lock()) KillAllOnUi(); }, Qt::QueuedConnection);
}

bool TimerSet::IsArmed(uint32_t id) const {
  auto it = timers_.find(id);
  return it != timers_.end() && it->second->isActive();
}

uint32_t TimerSet::Interval(uint32_t id) const {
  auto it = timers_.find(id);
  return it != timers_.end() && it->second->isActive() ? uint32_t(it->second->interval()) : 0;
}

void TimerSet::SetOnUi(uint32_t id, uint32_t intervalMs) {
  auto& timer = timers_[id];
  if (!timer) {
    timer = std::make_unique<QTimer>();
    timer->setTimerType(Qt::PreciseTimer);
    QObject::connect(timer.get(), &QTimer::timeout, context_, [this, id] {
      if (onTimer_) onTimer_(id);
    });
  }
  timer->start(int(intervalMs));
}

namespace {
// A timer may be killed from its own callback, so it is deleted later.
void Retire(std::unique_ptr<QTimer> timer) {
  timer->stop();
  timer.release()->deleteLater();
}
}  // namespace

void TimerSet::KillOnUi(uint32_t id) {
  auto it = timers_.find(id);
  if (it == timers_.end()) return;
  Retire(std::move(it->second));
  timers_.erase(it);
}

void TimerSet::KillAllOnUi() {
  for (auto& [id, timer] : timers_) Retire(std::move(timer));
  timers_.clear();
}

}  // namespace platform
