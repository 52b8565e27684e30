#include "app/UpdateWatch.h"

#include <sys/syscall.h>
#include <unistd.h>

#include <QSocketNotifier>
#include <QTimer>

namespace app {

ProcessWatch::ProcessWatch(qint64 pid, std::function<void()> ended, int settleMs)
    : settleMs_(settleMs), ended_(std::move(ended)) {
  if (pid > 0) fd_ = int(::syscall(SYS_pidfd_open, pid_t(pid), 0));
  if (fd_ < 0) {
    // Gone already (or no pidfd): it ended as far as we can tell.
    QTimer::singleShot(settleMs_, [this, alive = std::weak_ptr<bool>(alive_)] {
      if (alive.lock()) Ended();
    });
    return;
  }
  notifier_ = std::make_unique<QSocketNotifier>(qintptr(fd_), QSocketNotifier::Read);
  QObject::connect(notifier_.get(), &QSocketNotifier::activated, [this] {
    notifier_->setEnabled(false);
    // Not from inside the notifier's own signal: `ended` may destroy us.
    QTimer::singleShot(settleMs_, [this, alive = std::weak_ptr<bool>(alive_)] {
      if (alive.lock()) Ended();
    });
  });
}

ProcessWatch::~ProcessWatch() {
  alive_.reset();
  notifier_.reset();
  if (fd_ >= 0) ::close(fd_);
}

void ProcessWatch::Ended() {
  if (auto ended = std::move(ended_)) ended();
}

}  // namespace app
