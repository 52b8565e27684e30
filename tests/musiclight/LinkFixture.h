#pragma once
// A private window bus for one test, with a stand-in window that collects
// the messages sent to it.

#include <vector>

#include "platform/WindowBus.h"
#include "tests/support/PrivateRuntimeDir.h"

namespace musiclight::test {

using PrivateBus = testsupport::PrivateRuntimeDir;

struct CollectingWindow {
  CollectingWindow(const char* className, const char* title)
      : window(className, title, [this](const platform::BusMessage& m) { received.push_back(m); }) {}
  platform::BusWindow window;
  std::vector<platform::BusMessage> received;
};

}  // namespace musiclight::test
