#pragma once
// The program's device tables: the supported HID interfaces (which are also
// the interface slots, row for row), the device kinds and the device pages.

#include <array>
#include <cstdint>
#include <string>

namespace hid {

// Device kind codes.
namespace kind {
inline constexpr uint16_t kKeyboardCable = 1;
inline constexpr uint16_t kMouseCable = 2;
inline constexpr uint16_t kMousePad = 3;
inline constexpr uint16_t kMouseReceiver = 6;
inline constexpr uint16_t kHeadset = 7;
inline constexpr uint16_t kKeyboardReceiver = 9;
}  // namespace kind

// Interface use: the command interface a device object opens, or its second
// (consumer-control) interface that only follows the command interface.
inline constexpr uint16_t kUseCommand = 0;
inline constexpr uint16_t kUseSecond = 0xFF;

// The fixed part of one supported interface.
struct SupportedInterfaceRow {
  uint16_t VendorId = 0;
  uint16_t ProductId = 0;
  uint16_t InterfaceNumber = 0;
  uint16_t CollectionNumber = 0;
  uint16_t DeviceKind = 0;
  uint16_t InterfaceUse = 0;
  uint16_t Connected = 0;
  uint16_t UsagePage = 0;
  uint16_t Usage = 0;
  uint16_t DualMode = 0;
  uint16_t TwinSlot = 0;
};

// One supported interface and one interface slot (a slot starts as a copy of
// its row; only Connected and DevicePath change).
struct DeviceInterfaceInfo : SupportedInterfaceRow {
  std::string DevicePath;

  DeviceInterfaceInfo() = default;
  explicit DeviceInterfaceInfo(const SupportedInterfaceRow& row) : SupportedInterfaceRow(row) {}
};

inline constexpr size_t kSupportedInterfaceCount = 11;

// clang-format off
inline constexpr std::array<SupportedInterfaceRow, kSupportedInterfaceCount> SupportedInterfaceTable{{
  //  vid     pid     mi col kind                     use          conn page    usage dual twin
  {0x320F, 0x0000, 1, 4, kind::kKeyboardCable,    kUseCommand, 0, 0xFF1C, 0x92, 1, 2},
  {0x320F, 0x0000, 0, 3, kind::kKeyboardCable,    kUseSecond,  0, 0x000C, 0x01, 1, 3},
  {0x320F, 0x0000, 1, 4, kind::kKeyboardReceiver, kUseCommand, 0, 0xFF1C, 0x92, 1, 0},
  {0x320F, 0x0000, 0, 3, kind::kKeyboardReceiver, kUseSecond,  0, 0x000C, 0x01, 1, 1},
  {0x320F, 0x226E, 1, 2, kind::kMouseCable,       kUseCommand, 0, 0xFF1C, 0x92, 1, 6},
  {0x320F, 0x226E, 0, 3, kind::kMouseCable,       kUseSecond,  0, 0x000C, 0x01, 1, 7},
  {0x320F, 0x226F, 1, 2, kind::kMouseReceiver,    kUseCommand, 0, 0xFF1C, 0x92, 1, 4},
  {0x320F, 0x226F, 0, 3, kind::kMouseReceiver,    kUseSecond,  0, 0x000C, 0x01, 1, 5},
  {0x320F, 0x1004, 1, 4, kind::kMousePad,         kUseCommand, 0, 0xFF1C, 0x92, 0, 0},
  {0x320F, 0x1004, 0, 3, kind::kMousePad,         kUseSecond,  0, 0x000C, 0x01, 0, 0},
  {0x0C76, 0x1630, 3, 0, kind::kHeadset,          kUseCommand, 0, 0x000C, 0x01, 0, 0},
}};
// clang-format on

struct DeviceKindRow {
  const char* name;
  const char* barEntryLayout;
  const char* tabHeaderName;
  const char* powerPanelContainer;
  int32_t optionTag;
  int32_t VendorId;
  int32_t ProductId;
  int32_t kind;
  int32_t role;
};

inline constexpr const char* kDeviceOptionLayout = "XML\\CustomControlXML\\DeviceOption.xml";

// clang-format off
inline constexpr std::array<DeviceKindRow, 4> DeviceKindTable{{
  {"mouse",    kDeviceOptionLayout, "tab_header_device", "device_power_switch", 1, 0x320F, 0x226E, kind::kMouseCable,    0},
  {"keyboard", kDeviceOptionLayout, "tab_header_device", "device_power_switch", 0, 0x320F, 0x0000, kind::kKeyboardCable, 0},
  {"MousePad", kDeviceOptionLayout, "tab_header_device", "device_power_switch", 2, 0x320F, 0x1004, kind::kMousePad,      0},
  {"HD",       kDeviceOptionLayout, "tab_header_device", "device_power_switch", 3, 0x0C76, 0x1630, kind::kHeadset,       0},
}};
// clang-format on

struct DevicePageRow {
  int32_t lightCount;
  int32_t keyButtonCount;
  int32_t powerPanelStyle;  // 1: the bar entry's power panel shows the battery layout
  int32_t furtherValue;
  const char* pageLayout;
  const char* lightConfigWord;
};

// Indexed by the DeviceKindTable row.
// clang-format off
inline constexpr std::array<DevicePageRow, 4> DevicePageTable{{
  {15,  11,  1, -1, "XML\\DeviceXml\\mousedevice.xml",    "orvix_light"},
  {170, 170, 0, -1, "XML\\DeviceXml\\keyboarddevice.xml", "orvix_light"},
  {15,  0,   0, -1, "XML\\DeviceXml\\mousepaddevice.xml", "orvix_light"},
  {13,  0,   0, -1, "XML\\DeviceXml\\ru6533device.xml",   "orvix_light"},
}};
// clang-format on

// Row of DeviceKindTable with these four identity values, or -1.
int FindKindRow(int32_t vendorId, int32_t productId, int32_t kind, int32_t role);
// First row of SupportedInterfaceTable with these vendor, product, kind and
// interface use values, or -1.
int FindSupportedRow(int32_t vendorId, int32_t productId, int32_t kind, int32_t role);

class HidBackend;
// True when `path` is the row's interface collection: its ids, interface
// and collection number and, when the path opens, its collection's usage
// page and usage (another device may share the ids and the interface
// layout). A path that does not open is taken on its fields, so that its
// user reports the failure.
bool PathFitsRow(HidBackend& backend, const std::string& path, const SupportedInterfaceRow& row);

}  // namespace hid
