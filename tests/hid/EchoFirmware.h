#pragma once
// The smallest firmware model: it answers every output report with an input
// report carrying the same bytes, or fails or delays writes when told to.

#include <atomic>
#include <chrono>
#include <vector>

#include "emulator/IFirmware.h"

namespace hid::testing {

class EchoFirmware : public emulator::IFirmware {
 public:
  emulator::WriteOutcome OnOutputReport(std::span<const uint8_t> report, bool viaControl,
                                        emulator::ReportSink& input) override {
    ++writes;
    if (viaControl) ++controlWrites;
    if (answer.load()) input.QueueInput(report);
    return {accept.load(), std::chrono::milliseconds(delayMs.load())};
  }
  void OnPlugged(bool plugged) override { (plugged ? plugs : unplugs)++; }

  std::atomic<bool> answer{true};
  std::atomic<bool> accept{true};
  std::atomic<int> delayMs{0};
  std::atomic<int> writes{0};
  std::atomic<int> controlWrites{0};
  std::atomic<int> plugs{0};
  std::atomic<int> unplugs{0};
};

}  // namespace hid::testing
