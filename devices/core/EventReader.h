#pragma once
// A device's event thread: it reads the unsolicited input reports of one
// consumer-control handle and hands each report's usage value to a callback.
// It never sends a command; the callback only arms UI timers.
//
// The loop polls its stop event every 1 ms; while the handle is not open it
// waits; otherwise it reads one input report with no time-out. The read
// ends when the thread's stop event is set (a read on a worker follows that
// worker's stop), so stopping is prompt however long the device stays silent.

#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <span>
#include <string>

#include "hid/CHidInterface.h"
#include "platform/Worker.h"

namespace devices {

inline constexpr auto kEventThreadStopBound = std::chrono::milliseconds(500);
inline constexpr auto kLightThreadStopBound = std::chrono::milliseconds(1000);

// Trace texts of a stopped thread, by how the bounded wait ended.
inline constexpr const char* kThreadEndedTrace = "线程退出：：对象处于激发状态\n";
inline constexpr const char* kThreadTimeoutTrace = "线程退出：：对象处于非激发状态，超时\n";
inline constexpr const char* kEventReceivedTrace = "接收到自动添加设备的同步信息要求  TEST";
inline constexpr const char* kSyncRequestTrace = "接收到自动添加设备的同步信息要求";

// The 16-bit usage value an event report carries (report id first, value
// little-endian after it); nullopt when the report is too short.
std::optional<uint16_t> EventValue(std::span<const uint8_t> report);

// Stops a worker the way every device thread is stopped: signal, wait up to
// `bound`, trace the outcome, keep waiting for the join. Nothing happens for
// a worker that never ran.
void StopDeviceThread(platform::Worker& worker, std::chrono::milliseconds bound);

class EventReader {
 public:
  using OnValue = std::function<void(uint16_t value)>;

  // `handle` and `open` belong to the device's event channel; `exitTrace` is
  // written when the loop ends.
  EventReader(hid::CHidInterface& handle, std::atomic<bool>& open, std::string exitTrace);
  ~EventReader();
  EventReader(const EventReader&) = delete;
  EventReader& operator=(const EventReader&) = delete;

  bool Start(OnValue onValue);
  void Stop();  // bounded by kEventThreadStopBound, traced
  bool Running() const { return worker_.Running(); }

 private:
  void Run(const platform::StopEvent& stop, const OnValue& onValue);

  hid::CHidInterface& handle_;
  std::atomic<bool>& open_;
  std::string exitTrace_;
  platform::Worker worker_;
};

}  // namespace devices
