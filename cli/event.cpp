// vx27ctl event <dev> <hex>: the emulated device sends one event report
// (for example 0401: its settings changed) on its event collection; the
// command reads it back there as the program's event thread would and prints
// "event <value>".

#include <cstdio>

#include "cli/Command.h"
#include "cli/DeviceSession.h"
#include "devices/core/EventReader.h"
#include "emulator/firmware/Events.h"
#include "hid/CHidInterface.h"

namespace cli {
namespace {

constexpr const char* kUsage = "<dev> <hex value>";
constexpr uint32_t kReadBackMs = 1000;

int Run(const std::vector<std::string>& args) {
  return RunDeviceCommand(args, "event", kUsage, 2, 2,
                          [](DeviceSession& s, const std::vector<std::string>& pos) -> std::optional<int> {
    std::string text = pos[1];
    if (text.rfind("0x", 0) != 0 && text.rfind("0X", 0) != 0) text = "0x" + text;
    const std::optional<uint32_t> value = ParseNumber(text, 0xFFFF);
    if (!value) return std::nullopt;
    auto* emulation = s.Emulation();
    const auto* unit = emulation ? emulation->Find(pos[0]) : nullptr;
    if (!unit) {
      std::fprintf(stderr, "vx27ctl: event needs an emulated %s (--emulate or VX27_EMULATE)\n", pos[0].c_str());
      return protocol::kNoReply;
    }
    const std::string path = emulator::firmware::EventPath(*unit->device);
    hid::CHidInterface events(s.Backend());
    if (path.empty() || !events.Open(path, true, true, true, false)) {
      std::fprintf(stderr, "vx27ctl: %s has no event collection\n", pos[0].c_str());
      return protocol::kNoReply;
    }
    if (!emulator::firmware::SendEvent(*unit->device, uint16_t(*value))) return protocol::kNotWritten;
    std::vector<uint8_t> report(std::max<size_t>(events.InputReportByteLength(), 3), 0);
    uint32_t got = 0;
    if (!events.Read(report, &got, kReadBackMs)) return protocol::kNoReply;
    const auto read = devices::EventValue(std::span(report.data(), got));
    if (!read) return protocol::kNoReply;
    std::printf("event %04x\n", *read);
    return protocol::kOk;
  });
}

VX27_CLI_COMMAND(Command{"event", kUsage, "make an emulated device send one event report", Run});

}  // namespace
}  // namespace cli
