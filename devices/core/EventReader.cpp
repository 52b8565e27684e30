#include "devices/core/EventReader.h"

#include <vector>

#include "platform/Trace.h"

namespace devices {
namespace {
constexpr auto kStopPoll = std::chrono::milliseconds(1);
}  // namespace

std::optional<uint16_t> EventValue(std::span<const uint8_t> report) {
  if (report.size() < 3) return std::nullopt;
  return uint16_t(report[1] | report[2] << 8);
}

void StopDeviceThread(platform::Worker& worker, std::chrono::milliseconds bound) {
  if (!worker.Running()) return;
  // A thread past its bound is traced and then still joined: never killed.
  if (worker.Stop(bound, kThreadTimeoutTrace)) Trace(kThreadEndedTrace);
}

EventReader::EventReader(hid::CHidInterface& handle, std::atomic<bool>& open, std::string exitTrace)
    : handle_(handle), open_(open), exitTrace_(std::move(exitTrace)) {}

EventReader::~EventReader() { Stop(); }

bool EventReader::Start(OnValue onValue) {
  if (worker_.Running()) Stop();
  return worker_.Start([this, onValue = std::move(onValue)](const platform::StopEvent& stop) {
    Run(stop, onValue);
  });
}

void EventReader::Stop() { StopDeviceThread(worker_, kEventThreadStopBound); }

void EventReader::Run(const platform::StopEvent& stop, const OnValue& onValue) {
  std::vector<uint8_t> buffer;
  while (!stop.WaitFor(kStopPoll)) {
    if (!open_.load()) continue;
    buffer.assign(std::max<size_t>(handle_.InputReportByteLength(), 3), 0);
    uint32_t got = 0;
    // No time-out: the worker's stop event ends the read.
    if (!handle_.Read(buffer, &got, hid::kInfinite) || got == 0) continue;
    const std::optional<uint16_t> value = EventValue(std::span(buffer.data(), got));
    if (!value) continue;
    Trace(kEventReceivedTrace);
    onValue(*value);
  }
  Trace(exitTrace_);
}

}  // namespace devices
