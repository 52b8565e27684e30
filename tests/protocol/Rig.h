#pragma once
// A command channel opened on an emulated device with its firmware: the one
// fake every channel test shares. The channel's fixed sleeps are skipped so the
// tests stay fast; the time-outs are the real ones.

#include <gtest/gtest.h>

#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "emulator/firmware/Firmware.h"
#include "platform/Trace.h"
#include "protocol/CommandChannel.h"

namespace protocol::test {

struct Rig {
  explicit Rig(emulator::DeviceModel model, bool receiver = false, bool wirelessOn = true)
      : emu(std::make_shared<emulator::Emulator>()),
        unit(emulator::firmware::AddDevice(*emu, model, receiver, wirelessOn)),
        channel(emu) {
    channel.SetSleeper([](std::chrono::milliseconds) {});
    path = emulator::firmware::CommandPath(*unit.device, model);
    opened = channel.OpenHandle(receiver ? ConnectionMode::Receiver : ConnectionMode::Wired, path);
  }

  emulator::firmware::CommandFirmware& fw() { return *unit.firmware; }
  std::vector<emulator::firmware::LoggedRequest> Requests() const { return unit.firmware->Log(); }

  std::shared_ptr<emulator::Emulator> emu;
  emulator::firmware::EmulatedUnit unit;
  CCommandChannel channel;
  std::string path;
  bool opened = false;
};

// Trace lines written while it lives.
struct TraceLines {
  TraceLines()
      : sink([this](std::string_view line) {
          std::lock_guard guard(lock);
          lines.emplace_back(line);
        }) {}
  size_t Count(std::string_view text) {
    std::lock_guard guard(lock);
    size_t n = 0;
    for (const auto& l : lines) n += l == text;
    return n;
  }
  std::vector<std::string> Lines() {
    std::lock_guard guard(lock);
    return lines;
  }
  std::mutex lock;
  std::vector<std::string> lines;
  platform::ScopedTraceSink sink;
};

}  // namespace protocol::test
