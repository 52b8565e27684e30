#pragma once
// The update mode of a device's firmware, as the device itself takes the
// update commands apart (its own offsets and CRC, apart from protocol/).
//
//   0x30 enter: data = model code (16 bytes, NUL-padded) + new version
//        (LE16); refused for another model's code, by a device without
//        update support, and through a receiver.
//   0x31 chunk: address = byte offset, length <= 56; kept in a 64 KiB
//        staging area.
//   0x32 verify: data = length (LE32) + CRC-32 (LE32); accepted only when
//        every byte up to the length arrived and the CRC of them matches.
//   0x33 restart: the device leaves and comes back with the verified
//        version, or with its old one.
// In update mode nothing else is answered (status 0xFF). Unplugging ends
// the mode and drops what was staged.

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "emulator/DeviceCatalog.h"
#include "emulator/firmware/DeviceFormats.h"

namespace emulator::firmware {

namespace update {
inline constexpr uint8_t kEnter = 0x30, kChunk = 0x31, kVerify = 0x32, kRestart = 0x33;
inline constexpr size_t kCodeBytes = 16;
inline constexpr size_t kStaging = 0x10000;
}  // namespace update

// The firmware model code a device's update image must carry: "RM50C17A"
// (mouse), "RM50C16A" (keyboard), "RM50C09A_1" (pad); empty for the
// headset, which takes no update.
std::string UpdateCode(DeviceModel model);

// The device's own CRC-32 (bit by bit, reflected polynomial 0xEDB88320).
uint32_t DeviceCrc32(std::span<const uint8_t> bytes);

class UpdateMode {
 public:
  // `code` empty: the device takes no update.
  UpdateMode(std::string code, bool viaReceiver) : code_(std::move(code)), viaReceiver_(viaReceiver) {}

  bool Active() const { return active_; }
  bool IsUpdateCommand(uint8_t command) const { return command >= update::kEnter && command <= update::kRestart; }
  // Answers an update command (or, in update mode, refuses anything else);
  // sets the reply status and returns a note when it failed.
  std::string Answer(std::span<const uint8_t, wire::kSize> request, std::span<uint8_t, wire::kSize> reply);
  // Set by a restart that was answered: the version to come back with
  // (nullopt: the old one). Taken once.
  std::optional<std::optional<uint16_t>> TakeRestart();
  void Reset();

 private:
  std::string code_;
  bool viaReceiver_;
  bool active_ = false;
  uint16_t newVersion_ = 0;
  std::vector<uint8_t> staged_;
  std::vector<bool> received_;
  bool verified_ = false;
  std::optional<std::optional<uint16_t>> restart_;
};

}  // namespace emulator::firmware
