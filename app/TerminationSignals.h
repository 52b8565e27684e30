#pragma once
// Turns SIGTERM and SIGINT into a call on the UI thread, so the program ends
// through its normal exit path (windows closed, message loop left, teardown
// in reverse order) instead of dying inside a signal handler. The handler
// only writes a byte to a socket pair; a socket notifier reads it in the
// event loop. The previous handlers come back when the object goes.

#include <functional>
#include <memory>

class QSocketNotifier;

namespace app {

class TerminationSignals {
 public:
  explicit TerminationSignals(std::function<void()> onSignal);
  ~TerminationSignals();
  TerminationSignals(const TerminationSignals&) = delete;
  TerminationSignals& operator=(const TerminationSignals&) = delete;

  bool Installed() const { return installed_; }

 private:
  std::function<void()> onSignal_;
  std::unique_ptr<QSocketNotifier> notifier_;
  bool installed_ = false;
};

}  // namespace app
