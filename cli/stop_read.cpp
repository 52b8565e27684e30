// vx27ctl stop-read <dev> <ms>: a worker reads the device's command interface
// with an infinite time-out; after <ms> the worker is stopped, and the command
// prints how long the read took to end. Nobody closes the interface: the
// worker's stop event alone must free the read.

#include <atomic>
#include <chrono>
#include <cstdio>
#include <thread>
#include <vector>

#include "cli/Command.h"
#include "cli/DeviceSession.h"
#include "platform/Worker.h"

namespace cli {
namespace {

constexpr const char* kUsage = "<dev> <ms>";

int Run(const std::vector<std::string>& args) {
  return RunDeviceCommand(args, "stop-read", kUsage, 2, 2,
                          [](DeviceSession& s, const std::vector<std::string>& a) -> std::optional<int> {
    const auto ms = ParseNumber(a[1], 60000);
    if (!ms) return std::nullopt;
    hid::CHidInterface& hid =
        s.Channel().WiredDevice().IsOpen() ? s.Channel().WiredDevice() : s.Channel().ReceiverDevice();
    using Clock = std::chrono::steady_clock;
    std::atomic<bool> read{true};
    std::atomic<Clock::rep> endedAt{0};
    platform::Worker reader;
    reader.Start([&](const platform::StopEvent&) {
      std::vector<uint8_t> buffer(hid.InputReportByteLength());
      read = hid.Read(buffer, nullptr, hid::kInfinite);
      endedAt = Clock::now().time_since_epoch().count();
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(*ms));
    const auto stopAt = Clock::now();
    const bool inTime = reader.Stop(std::chrono::milliseconds(1000));
    const auto took = std::chrono::duration_cast<std::chrono::microseconds>(
        Clock::time_point(Clock::duration(endedAt.load())) - stopAt);
    std::printf("read ended %lld us after the stop\n", static_cast<long long>(took.count()));
    std::printf("interface open %s\n", hid.IsOpen() ? "yes" : "no");
    // 1 when the read ended by the stop alone, within the worker's bound.
    return !read && inTime && hid.IsOpen() ? 1 : 0;
  });
}

VX27_CLI_COMMAND(Command{"stop-read", kUsage,
                         "read with no time-out on a worker, stop the worker after <ms>, print how long the read took to end",
                         Run});

}  // namespace
}  // namespace cli
