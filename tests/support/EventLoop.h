#pragma once
// Running the Qt event loop in tests with bounded waits.

#include <functional>

#include <QCoreApplication>
#include <QElapsedTimer>

namespace testsupport {

// Runs the event loop until `done` holds or `limitMs` pass; true when done.
inline bool WaitFor(const std::function<bool()>& done, int limitMs = 5000) {
  QElapsedTimer clock;
  clock.start();
  while (!done()) {
    if (clock.elapsed() > limitMs) return false;
    QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
  }
  return true;
}

// Runs the event loop for `ms` milliseconds.
inline void PumpFor(int ms) {
  QElapsedTimer clock;
  clock.start();
  while (clock.elapsed() < ms) QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
}

}  // namespace testsupport
