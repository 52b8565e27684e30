#pragma once
// What the device commands of vx27ctl share: their options (--emulate <list>,
// --receiver, --trace), the backend with the emulated devices and their
// firmware, the command channel opened on the chosen device's command
// interface, hex input and output, and the closing "result <n>" line.

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "emulator/ProgramBackend.h"
#include "emulator/firmware/Firmware.h"
#include "emulator/firmware/ProgramEmulation.h"
#include "protocol/CommandChannel.h"

namespace cli {

// With VX27_EMULATOR_STATE=<folder>, emulated devices keep their memory in
// that folder between runs (one file per emulated device name), so what one
// command writes the next one reads; VX27_EMULATOR_LOG=<file> logs every
// request a firmware receives.

class DeviceSession {
 public:
  DeviceSession() = default;
  ~DeviceSession();
  DeviceSession(const DeviceSession&) = delete;
  DeviceSession& operator=(const DeviceSession&) = delete;

  // Splits the options from the positional arguments. False (with a message
  // on stderr) when an option is malformed.
  bool ParseOptions(const std::vector<std::string>& args);
  const std::vector<std::string>& Positional() const { return positional_; }

  // Opens the command channel of device `name` (mouse, keyboard, pad,
  // headset), through its receiver with --receiver. Prints why on failure.
  bool Open(std::string_view name);
  protocol::CCommandChannel& Channel() { return *channel_; }
  bool ThroughReceiver() const { return receiver_; }
  // The emulate list of --emulate, else of VX27_EMULATE.
  std::string EmulateList() const;
  // The emulated device the session opened (null without an emulate list).
  const emulator::firmware::EmulatedUnit* OpenedUnit(std::string_view name) const;
  // The emulated devices (null without an emulate list).
  emulator::firmware::ProgramEmulation* Emulation() { return emulation_.get(); }
  const std::shared_ptr<hid::HidBackend>& Backend() const { return emulation_->Backend(); }

  // The information block; sets the channel's block size to 3 × key count.
  int ReadInfoAndBlockSize(protocol::DeviceInfoBlock& info);

  // Prints `result <n>` and gives the exit code (0 for 1, else 1).
  static int Finish(int result);

 private:
  std::vector<std::string> positional_;
  std::optional<std::string> emulateList_;
  bool receiver_ = false;
  bool trace_ = false;
  std::unique_ptr<emulator::firmware::ProgramEmulation> emulation_;
  std::unique_ptr<protocol::CCommandChannel> channel_;
};

// Bytes as lines of 16 two-digit hex values.
void PrintHex(std::span<const uint8_t> bytes);
// Hex bytes: tokens split by blanks, commas or newlines, each an even number of
// hex digits with an optional "0x"; nullopt when anything else is found.
std::optional<std::vector<uint8_t>> ParseHex(std::string_view text);
std::optional<std::vector<uint8_t>> ReadHexFile(const std::string& path);
// A decimal or 0x-prefixed number within [0, max].
std::optional<uint32_t> ParseNumber(std::string_view text, uint32_t max);
// The frame of every device command: options, argument count (the first
// positional is the device), opening, the body, "result <n>". A body returns
// the result, or nullopt for malformed arguments (usage, exit code 2).
using DeviceBody = std::function<std::optional<int>(DeviceSession& session,
                                                    const std::vector<std::string>& args)>;
int RunDeviceCommand(const std::vector<std::string>& args, std::string_view command,
                     std::string_view usage, size_t minArgs, size_t maxArgs,
                     const DeviceBody& body);

// The command's usage on stderr; exit code 2.
int UsageError(std::string_view command, std::string_view usage);

}  // namespace cli
