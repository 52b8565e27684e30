#pragma once
// Records the device keeps and the host reads: the information block and the
// status block. Offsets are named once here; the host interprets only these
// bytes and writes every other byte of the information block back unchanged.

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

namespace protocol {

inline constexpr size_t kInfoBlockSize = 34;
using InfoBlockBytes = std::array<uint8_t, kInfoBlockSize>;

namespace infoblock {
inline constexpr size_t kMagic = 0;         // 16-bit LE, 0x55AA
inline constexpr size_t kKeyCount = 5;      // 3-byte key-map entries
inline constexpr size_t kMacroMemory = 6;   // units of 128 bytes
inline constexpr size_t kFormat = 7;        // 4 once initialised
inline constexpr size_t kSensorId = 9;      // 16-bit LE (mice)
inline constexpr size_t kDpiStep = 11;      // mice
inline constexpr size_t kDpiBound = 12;     // 16-bit LE (mice)
inline constexpr size_t kDpiBase = 14;      // 16-bit LE (mice)
inline constexpr uint16_t kMagicValue = 0x55AA;
inline constexpr uint8_t kFormatInitialised = 4;
inline constexpr uint32_t kMacroMemoryUnit = 128;
}  // namespace infoblock

struct DeviceInfoBlock {
  InfoBlockBytes raw{};  // everything as read, so it is written back unchanged

  uint16_t Magic() const { return uint16_t(raw[infoblock::kMagic] | raw[infoblock::kMagic + 1] << 8); }
  uint8_t KeyCount() const { return raw[infoblock::kKeyCount]; }
  uint8_t MacroMemoryUnits() const { return raw[infoblock::kMacroMemory]; }
  uint32_t MacroMemoryBytes() const { return uint32_t(MacroMemoryUnits()) * infoblock::kMacroMemoryUnit; }
  uint8_t Format() const { return raw[infoblock::kFormat]; }
  uint16_t SensorId() const { return uint16_t(raw[infoblock::kSensorId] | raw[infoblock::kSensorId + 1] << 8); }
  uint8_t DpiStep() const { return raw[infoblock::kDpiStep]; }
  uint16_t DpiBound() const { return uint16_t(raw[infoblock::kDpiBound] | raw[infoblock::kDpiBound + 1] << 8); }
  uint16_t DpiBase() const { return uint16_t(raw[infoblock::kDpiBase] | raw[infoblock::kDpiBase + 1] << 8); }
  uint16_t KeyMapBlockSize() const { return uint16_t(3 * KeyCount()); }

  void SetMagic(uint16_t v) { Put16(infoblock::kMagic, v); }
  void SetKeyCount(uint8_t v) { raw[infoblock::kKeyCount] = v; }
  void SetMacroMemoryUnits(uint8_t v) { raw[infoblock::kMacroMemory] = v; }
  void SetFormat(uint8_t v) { raw[infoblock::kFormat] = v; }
  void SetSensorId(uint16_t v) { Put16(infoblock::kSensorId, v); }
  void SetDpiStep(uint8_t v) { raw[infoblock::kDpiStep] = v; }
  void SetDpiBound(uint16_t v) { Put16(infoblock::kDpiBound, v); }
  void SetDpiBase(uint16_t v) { Put16(infoblock::kDpiBase, v); }

 private:
  void Put16(size_t at, uint16_t v) {
    raw[at] = uint8_t(v);
    raw[at + 1] = uint8_t(v >> 8);
  }
};

// Status block: read into a zeroed 6-byte buffer (keyboards and the headset
// read 6 bytes, mice 2).
inline constexpr size_t kStatusBlockSize = 6;
namespace statusblock {
inline constexpr size_t kBattery = 0;      // percent; above 100 shown as 100
inline constexpr size_t kPowerState = 1;   // 0 powered, 1 charging, 2 on battery
inline constexpr size_t kReceiverMode = 3; // filled in by the host
inline constexpr size_t kMessageParam = 4; // keyboard: wParam of message 3329
inline constexpr size_t kPhoneType = 5;    // keyboard: phone icon
}  // namespace statusblock

}  // namespace protocol
