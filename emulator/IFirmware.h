#pragma once
// The seam between an emulated USB interface and the model of the firmware
// behind it. The interface hands every output report written to it to its
// firmware; the firmware answers by queueing input reports on the sink, which
// delivers them to every open collection of the interface that declares the
// report's id (as hidraw does).

#include <chrono>
#include <cstdint>
#include <span>

namespace emulator {

class ReportSink {
 public:
  virtual ~ReportSink() = default;
  // One input report, report id first.
  virtual void QueueInput(std::span<const uint8_t> report) = 0;
};

// How the write of one output report ends.
struct WriteOutcome {
  bool accepted = true;  // false: the write fails
  // The write completes this long after it started; a write whose time-out is
  // shorter times out (the firmware has seen the report all the same).
  std::chrono::milliseconds delay{0};
};

class IFirmware {
 public:
  virtual ~IFirmware() = default;
  // An output report (report id first). `viaControl` marks reports sent
  // outside the transfer queue (SetOutputReport). Calls are serialised per
  // interface.
  virtual WriteOutcome OnOutputReport(std::span<const uint8_t> report, bool viaControl,
                                      ReportSink& input) = 0;
  // The device was plugged in or unplugged.
  virtual void OnPlugged(bool /*plugged*/) {}
};

}  // namespace emulator
