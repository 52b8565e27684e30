#pragma once
// The audio capture companion: holds the lock and the window the program
// looks for, analyses the default output's sound (or a test signal) and sends
// every analysis to the program's main window as a sample frame, whenever
// that window exists. It obeys the program's UWM_TOOL_BE19_MSG commands and
// sends the host colour the program sets back to it.

#include <QElapsedTimer>
#include <QTimer>
#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "musiclight/capture/BandWindow.h"
#include "musiclight/capture/PulseStream.h"
#include "musiclight/capture/BandAnalysis.h"
#include "platform/SingleInstance.h"
#include "platform/WindowBus.h"

namespace musiclight::capture {

struct CompanionOptions {
  std::optional<TestSignal> signal;  // replaces the monitor when set
  std::optional<TestSignal> play;    // played to the default output
  bool log = false;                  // prints what the program sends
};

class Companion {
 public:
  explicit Companion(CompanionOptions options);
  ~Companion();

  // Takes the lock and joins the bus; false (traced) when another companion
  // runs or the bus cannot be joined.
  bool Start();

  // Analyses samples on the UI thread and sends the frames.
  void OnSamples(std::span<const float> samples);

  // The band window, when there is a display to show it on (else null).
  BandWindow* Bands() const { return bands_.get(); }

 private:
  void OnBusMessage(const platform::BusMessage& message);
  void SendHostColour();
  template <typename... T>
  void Log(const char* format, T... values);

  CompanionOptions options_;
  platform::InstanceLock lock_;
  std::unique_ptr<platform::BusWindow> window_;
  BandAnalyser analyser_;
  uint64_t frameIndex_ = 0;
  bool capturing_ = true;  // frames flow until the program says stop
  bool shown_ = false;
  std::array<int32_t, 3> hostColour_{};
  std::array<int32_t, 3> groupColour_{};
  // Sources: a test signal paced by the clock, or the monitor stream.
  QTimer signalTimer_;
  QElapsedTimer signalClock_;
  uint64_t signalSamples_ = 0;
  std::unique_ptr<MonitorCapture> monitor_;
  std::unique_ptr<SignalPlayer> player_;
  std::unique_ptr<BandWindow> bands_;
};

}  // namespace musiclight::capture
