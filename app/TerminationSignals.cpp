#include "app/TerminationSignals.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QSocketNotifier>

#include "platform/Trace.h"

namespace app {
namespace {

int g_pipe[2] = {-1, -1};  // [0] read in the event loop, [1] written by the handler
struct sigaction g_oldTerm, g_oldInt;

extern "C" void OnTerminationSignal(int) {
  const int saved = errno;
  const char byte = 1;
  if (g_pipe[1] >= 0) (void)!write(g_pipe[1], &byte, 1);
  errno = saved;
}

}  // namespace

TerminationSignals::TerminationSignals(std::function<void()> onSignal) : onSignal_(std::move(onSignal)) {
  if (g_pipe[0] >= 0) return;  // one instance per process
  if (socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0, g_pipe) != 0) {
    Trace("termination signals: no socket pair");
    g_pipe[0] = g_pipe[1] = -1;
    return;
  }
  notifier_ = std::make_unique<QSocketNotifier>(g_pipe[0], QSocketNotifier::Read);
  QObject::connect(notifier_.get(), &QSocketNotifier::activated, [this] {
    char buf[16];
    while (read(g_pipe[0], buf, sizeof buf) > 0) {
    }
    if (onSignal_) onSignal_();
  });
  struct sigaction sa {};
  sa.sa_handler = OnTerminationSignal;
  sigemptyset(&sa.sa_mask);
  sa.sa_flags = SA_RESTART;
  sigaction(SIGTERM, &sa, &g_oldTerm);
  sigaction(SIGINT, &sa, &g_oldInt);
  installed_ = true;
}

TerminationSignals::~TerminationSignals() {
  if (!installed_) return;
  sigaction(SIGTERM, &g_oldTerm, nullptr);
  sigaction(SIGINT, &g_oldInt, nullptr);
  notifier_.reset();
  close(g_pipe[0]);
  close(g_pipe[1]);
  g_pipe[0] = g_pipe[1] = -1;
}

}  // namespace app
