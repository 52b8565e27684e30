#pragma once
// Descriptions of the emulated devices: the same vendor and product ids,
// interface numbers, top-level collections (in the same order, so the same
// "&col" numbers) and report ids as the real ones. A decoy has the same ids
// and numbers but puts another usage page where the supported collections
// are, so discovery must never claim it.
//
// Report ids: the vendor command collection uses id 4 (64-byte input and
// output reports); the consumer-control collection of interface 0 uses id 3
// with one 16-bit value (page 0xFF00, usage 1) carrying the device's event
// codes such as 0x401; the headset's light reports are output reports with
// id 0xFF of 17 bytes, beside its id 4 command reports in the same collection.

#include <cstdint>
#include <vector>

#include "emulator/EmulatedDevice.h"

namespace emulator {

enum class DeviceModel { Mouse, Keyboard, Pad, Headset };

namespace ids {
inline constexpr uint16_t kVendor = 0x320F;
inline constexpr uint16_t kMouseCable = 0x226E;
inline constexpr uint16_t kMouseReceiver = 0x226F;
inline constexpr uint16_t kKeyboard = 0x0000;
inline constexpr uint16_t kPad = 0x1004;
inline constexpr uint16_t kHeadsetVendor = 0x0C76;
inline constexpr uint16_t kHeadset = 0x1630;
}  // namespace ids

inline constexpr uint8_t kCommandReportId = 4;
inline constexpr uint8_t kEventReportId = 3;
inline constexpr uint8_t kHeadsetLightReportId = 0xFF;

struct DeviceOptions {
  bool receiver = false;    // mouse and keyboard only
  bool decoy = false;
  bool wirelessOn = true;   // receivers only
};

// The description of one model; `name` is stored as the device's name.
DeviceDesc MakeDeviceDesc(DeviceModel model, const DeviceOptions& options, std::string name);

// The descriptor of a vendor collection with 64-byte reports (fixtures, benches).
std::vector<uint8_t> VendorCollectionDescriptor(uint8_t reportId, uint16_t usagePage, uint16_t usage);

}  // namespace emulator
