#pragma once
// Tells the UI thread when a process ends, whether or not this program is
// its parent (the updater is started detached): a pidfd watched by the
// event loop. `ended` runs once, on the event loop, also when the process
// had already gone when the watch began. With `settleMs`, `ended` runs that
// long after the end: what the process sent just before it ended (over a
// socket read by the same event loop) is taken in first.

#include <functional>
#include <memory>

#include <QtGlobal>

class QSocketNotifier;

namespace app {

class ProcessWatch {
 public:
  ProcessWatch(qint64 pid, std::function<void()> ended, int settleMs = 0);
  ~ProcessWatch();
  ProcessWatch(const ProcessWatch&) = delete;
  ProcessWatch& operator=(const ProcessWatch&) = delete;

 private:
  void Ended();

  int fd_ = -1;
  int settleMs_ = 0;
  std::unique_ptr<QSocketNotifier> notifier_;
  std::function<void()> ended_;
  std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);  // guards the queued call
};

}  // namespace app
