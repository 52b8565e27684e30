#pragma once
// A private window bus for one test, with a stand-in window that collects
// the messages sent to it.

#include <QTemporaryDir>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "platform/WindowBus.h"

namespace musiclight::test {

class PrivateBus {
 public:
  PrivateBus() {
    if (const char* v = std::getenv("XDG_RUNTIME_DIR")) saved_ = v, had_ = true;
    setenv("XDG_RUNTIME_DIR", dir_.path().toUtf8().constData(), 1);
  }
  ~PrivateBus() {
    if (had_) setenv("XDG_RUNTIME_DIR", saved_.c_str(), 1);
    else unsetenv("XDG_RUNTIME_DIR");
  }

 private:
  QTemporaryDir dir_;
  std::string saved_;
  bool had_ = false;
};

struct CollectingWindow {
  CollectingWindow(const char* className, const char* title)
      : window(className, title, [this](const platform::BusMessage& m) { received.push_back(m); }) {}
  platform::BusWindow window;
  std::vector<platform::BusMessage> received;
};

}  // namespace musiclight::test
