#pragma once
// The companion's sound server streams (libpulse simple API; PipeWire answers
// through pipewire-pulse). Each runs on a thread of its own, reconnects one
// second after the server goes away or refuses, and stops within one hop
// (about 11 ms) of its owner's destruction.

#include <functional>
#include <memory>
#include <thread>
#include <vector>

#include "musiclight/capture/BandAnalysis.h"
#include "platform/StopEvent.h"

namespace musiclight::capture {

// Records "@DEFAULT_MONITOR@" (what the default output plays) as 48 kHz mono
// float samples, one hop of 512 at a time.
class MonitorCapture {
 public:
  using Sink = std::function<void(std::vector<float>)>;
  explicit MonitorCapture(Sink sink);  // called on the capture thread
  ~MonitorCapture();
  MonitorCapture(const MonitorCapture&) = delete;
  MonitorCapture& operator=(const MonitorCapture&) = delete;

 private:
  void Run();
  Sink sink_;
  platform::StopEvent stop_;
  std::thread thread_;
};

// Plays a test signal to the default output, standing in for a music player.
class SignalPlayer {
 public:
  explicit SignalPlayer(TestSignal signal);
  ~SignalPlayer();
  SignalPlayer(const SignalPlayer&) = delete;
  SignalPlayer& operator=(const SignalPlayer&) = delete;

 private:
  void Run();
  TestSignal signal_;
  platform::StopEvent stop_;
  std::thread thread_;
};

}  // namespace musiclight::capture
