#include "cli/DeviceSession.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <iterator>
#include <fstream>
#include <sstream>

#include "emulator/firmware/Firmware.h"
#include "platform/AtomicFile.h"
#include "hid/HidBackend.h"
#include "hid/PathFields.h"
#include "hid/SupportedDevices.h"
#include "platform/Trace.h"

namespace cli {
namespace {

// The device kind of the command interface a name and connection select.
std::optional<uint16_t> KindOf(std::string_view name, bool receiver) {
  if (name == "mouse") return receiver ? hid::kind::kMouseReceiver : hid::kind::kMouseCable;
  if (name == "keyboard")
    return receiver ? hid::kind::kKeyboardReceiver : hid::kind::kKeyboardCable;
  if (receiver) return std::nullopt;
  if (name == "pad") return hid::kind::kMousePad;
  if (name == "headset") return hid::kind::kHeadset;
  return std::nullopt;
}

// An emulated device of that model and connection, with its firmware.
std::string EmulatedPath(emulator::Emulator& emu, std::string_view name, bool receiver) {
  const auto model = emulator::firmware::ModelFromName(name);
  if (!model) return {};
  for (const auto& device : emu.Devices()) {
    const std::string_view deviceName = device->Name();
    if (deviceName.substr(0, deviceName.find(':')) != name) continue;
    if (device->IsReceiver() != receiver || !device->Plugged()) continue;
    return emulator::firmware::CommandPath(*device, *model);
  }
  return {};
}

// The same, on the devices another program emulates ("--emulate attach").
std::string AttachedPath(emulator::AttachBackend& attached, std::string_view name, bool receiver) {
  for (const emulator::HostedDevice& device : attached.Devices()) {
    if (std::string_view(device.name).substr(0, device.name.find(':')) != name) continue;
    if (device.receiver == receiver && device.plugged && !device.commandPath.empty()) return device.commandPath;
  }
  return {};
}

// A present interface matching the supported-interface row of the kind.
std::string SupportedPath(hid::HidBackend& backend, uint16_t kind) {
  std::vector<std::string> paths;
  if (!backend.Enumerate(paths)) return {};
  for (const auto& row : hid::SupportedInterfaceTable) {
    if (row.DeviceKind != kind || row.InterfaceUse != hid::kUseCommand) continue;
    for (const std::string& p : paths)
      if (hid::PathFitsRow(backend, p, row)) return p;
  }
  return {};
}

}  // namespace

DeviceSession::~DeviceSession() {
  channel_.reset();
  emulation_.reset();  // keeps the emulated memory when asked to
}

bool DeviceSession::ParseOptions(const std::vector<std::string>& args) {
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (a == "--emulate") {
      if (i + 1 >= args.size()) {
        std::fprintf(stderr, "vx27ctl: --emulate needs a device list\n");
        return false;
      }
      emulateList_ = args[++i];
    } else if (a == "--receiver") {
      receiver_ = true;
    } else if (a == "--trace") {
      trace_ = true;
    } else {
      positional_.push_back(a);
    }
  }
  return true;
}

std::string DeviceSession::EmulateList() const {
  if (emulateList_) return *emulateList_;
  const char* list = std::getenv(emulator::kEmulateEnv);
  return list ? list : "";
}

bool DeviceSession::Open(std::string_view name) {
  if (trace_) {
    platform::SetTraceSink([](std::string_view line) {
      std::fprintf(stderr, "%.*s\n", int(line.size()), line.data());
    });
  }
  const auto kind = KindOf(name, receiver_);
  if (!kind) {
    std::fprintf(stderr, "vx27ctl: no device '%.*s'%s (mouse, keyboard, pad or headset; "
                 "--receiver for mouse and keyboard)\n",
                 int(name.size()), name.data(), receiver_ ? " through a receiver" : "");
    return false;
  }
  emulation_ = std::make_unique<emulator::firmware::ProgramEmulation>(
      emulateList_ ? std::optional<std::string_view>(*emulateList_) : std::nullopt);
  std::string path;
  if (emulation_->GetEmulator()) path = EmulatedPath(*emulation_->GetEmulator(), name, receiver_);
  if (emulation_->Attached()) path = AttachedPath(*emulation_->Attached(), name, receiver_);
  if (path.empty()) path = SupportedPath(*emulation_->Backend(), *kind);
  if (path.empty()) {
    std::fprintf(stderr, "vx27ctl: no %.*s%s found\n", int(name.size()), name.data(),
                 receiver_ ? " receiver" : "");
    return false;
  }
  channel_ = std::make_unique<protocol::CCommandChannel>(emulation_->Backend());
  const auto mode = receiver_ ? protocol::ConnectionMode::Receiver : protocol::ConnectionMode::Wired;
  if (!channel_->OpenHandle(mode, path)) {
    std::fprintf(stderr, "vx27ctl: cannot open %s\n", path.c_str());
    return false;
  }
  return true;
}

const emulator::firmware::EmulatedUnit* DeviceSession::OpenedUnit(std::string_view name) const {
  if (!emulation_) return nullptr;
  if (receiver_)
    if (const auto* unit = emulation_->Find(std::string(name) + ":receiver")) return unit;
  return emulation_->Find(name);
}

int DeviceSession::ReadInfoAndBlockSize(protocol::DeviceInfoBlock& info) {
  const int result = channel_->ReadInfoBlock(info.raw);
  if (result != protocol::kOk) return result;
  if (!channel_->SetBlockSize(info.KeyMapBlockSize())) return protocol::kNoReply;
  return result;
}

int DeviceSession::Finish(int result) {
  std::printf("result %d\n", result);
  std::fflush(stdout);
  return result == protocol::kOk ? 0 : 1;
}

void PrintHex(std::span<const uint8_t> bytes) {
  for (size_t i = 0; i < bytes.size(); ++i)
    std::printf("%02x%s", bytes[i], (i % 16 == 15 || i + 1 == bytes.size()) ? "\n" : " ");
}

std::optional<std::vector<uint8_t>> ParseHex(std::string_view text) {
  std::vector<uint8_t> out;
  auto digit = [](char c) -> int {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
  };
  size_t i = 0;
  while (i < text.size()) {
    const char c = text[i];
    if (c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == ',') {
      ++i;
      continue;
    }
    size_t end = i;
    while (end < text.size() && std::string_view(" \t\n\r,").find(text[end]) == std::string_view::npos) ++end;
    std::string_view token = text.substr(i, end - i);
    if (token.size() > 2 && token[0] == '0' && (token[1] == 'x' || token[1] == 'X'))
      token.remove_prefix(2);
    if (token.size() % 2 != 0) return std::nullopt;
    for (size_t k = 0; k < token.size(); k += 2) {
      const int hi = digit(token[k]), lo = digit(token[k + 1]);
      if (hi < 0 || lo < 0) return std::nullopt;
      out.push_back(uint8_t(hi << 4 | lo));
    }
    i = end;
  }
  return out;
}

std::optional<std::vector<uint8_t>> ReadHexFile(const std::string& path) {
  std::ifstream in(path);
  if (!in) return std::nullopt;
  std::stringstream text;
  text << in.rdbuf();
  return ParseHex(text.str());
}

std::optional<uint32_t> ParseNumber(std::string_view text, uint32_t max) {
  int base = 10;
  if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
    base = 16;
    text.remove_prefix(2);
  }
  if (text.empty()) return std::nullopt;
  uint64_t value = 0;
  for (const char c : text) {
    int d = -1;
    if (c >= '0' && c <= '9') d = c - '0';
    else if (base == 16 && c >= 'a' && c <= 'f') d = c - 'a' + 10;
    else if (base == 16 && c >= 'A' && c <= 'F') d = c - 'A' + 10;
    if (d < 0) return std::nullopt;
    value = value * uint64_t(base) + uint64_t(d);
    if (value > max) return std::nullopt;
  }
  return uint32_t(value);
}

int RunDeviceCommand(const std::vector<std::string>& args, std::string_view command,
                     std::string_view usage, size_t minArgs, size_t maxArgs,
                     const DeviceBody& body) {
  DeviceSession session;
  if (!session.ParseOptions(args)) return UsageError(command, usage);
  const auto& pos = session.Positional();
  if (pos.size() < minArgs || pos.size() > maxArgs) return UsageError(command, usage);
  if (!session.Open(pos[0])) return DeviceSession::Finish(protocol::kNoReply);
  const std::optional<int> result = body(session, pos);
  if (!result) return UsageError(command, usage);
  return DeviceSession::Finish(*result);
}

int UsageError(std::string_view command, std::string_view usage) {
  std::fprintf(stderr, "usage: vx27ctl %.*s %.*s [--emulate <list>] [--receiver] [--trace]\n",
               int(command.size()), command.data(), int(usage.size()), usage.data());
  return 2;
}

}  // namespace cli
