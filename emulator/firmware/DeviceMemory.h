#pragma once
// What an emulated device keeps in its memory, and its factory contents.
//
// Address spaces, one per command family (the address of a request is an
// offset into the space of its command):
//   information block   34 bytes (magic, key count, macro memory, format
//                       marker; a mouse adds sensor id, DPI step, bound, base)
//   settings area       byte 0 = active onboard profile; the settings block of
//                       profile p lives at p × 128 (mouse, 86 bytes), p × 25
//                       (keyboard, 45 bytes), and for the pad and the headset
//                       is read at p × 25 (45 bytes) and written at p × 64
//                       (21 bytes)
//   key map             3 bytes per key position, page 0 only (512 bytes)
//   key light index     one LED index per key position
//   colour pages        five pages of 512 bytes, page g at g × 512
//   macro / recoil      event images as sent, and their decoded entries
//   light frame         the last frame streamed by the host (512 bytes)
//   status block        6 bytes (keyboard, headset) or 2 (mouse)

#include <algorithm>
#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "emulator/DeviceCatalog.h"
#include "protocol/DeviceRecords.h"
#include "emulator/firmware/DeviceFormats.h"

namespace emulator::firmware {

inline constexpr size_t kSettingsAreaSize = 1024;
inline constexpr size_t kKeyMapSpace = 512;
inline constexpr size_t kColourPages = 5;
inline constexpr size_t kColourPageSize = 512;
inline constexpr size_t kLightFrameSize = 512;
inline constexpr size_t kRecoilImageCapacity = 4096;

struct DeviceMemory {
  DeviceModel model = DeviceModel::Mouse;
  protocol::DeviceInfoBlock info;
  std::array<uint8_t, kSettingsAreaSize> settings{};
  std::array<uint8_t, kKeyMapSpace> keyMap{};
  std::array<uint8_t, kKeyMapSpace> keyLightIndex{};
  std::array<uint8_t, kColourPages * kColourPageSize> colours{};
  std::vector<uint8_t> macroImage;   // bytes as written, up to the macro memory size
  std::optional<EventEntries> macros;  // decoded once the whole image has arrived
  std::vector<uint8_t> recoilImage;  // bytes as written
  std::optional<EventEntries> recoil;
  std::array<uint8_t, kLightFrameSize> lightFrame{};
  uint32_t lightFrameChunks = 0;
  std::vector<uint8_t> status;  // the status block; its size is what the device holds
  bool transferOpen = false;
  bool hostLighting = false;
  uint32_t transfers = 0;  // completed begin/end pairs

  // The key count comes from the information block, which the host may write:
  // the key map it describes is kept inside the memory that holds it.
  uint16_t KeyMapBytes() const {
    return uint16_t(std::min<size_t>(3 * size_t(info.raw[info::kKeyCount]), kKeyMapSpace));
  }
  uint32_t MacroCapacity() const {
    return uint32_t(info.raw[info::kMacroUnits]) * info::kMacroUnitBytes;
  }
};

// Factory contents: the information block of the model, its default key map
// and key light index table, the settings of onboard profile 0 as the factory
// profile describes them, and a status block.
DeviceMemory FactoryMemory(DeviceModel model);

// Default key-map codes (type, value 1, value 2) by key index.
std::span<const std::array<uint8_t, 3>> KeyboardDefaultCodes();  // 126 keys
std::span<const std::array<uint8_t, 3>> MouseDefaultCodes();     // 11 buttons

// The memory as bytes and back, so an emulated device can keep what it was
// sent from one program run to the next. Loading checks every length and
// leaves `memory` unchanged when the bytes are not a saved memory of the
// same model.
std::vector<uint8_t> SaveMemory(const DeviceMemory& memory);
bool LoadMemory(std::span<const uint8_t> bytes, DeviceMemory& memory);

// Settings block geometry of a model.
struct SettingsGeometry {
  uint16_t readStride, readLength, writeStride, writeLength;
};
SettingsGeometry SettingsGeometryOf(DeviceModel model);

}  // namespace emulator::firmware
