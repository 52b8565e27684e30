#pragma once
// How a kernel HID device made from an emulated device (vx27-uhid) says so.
// Such a device has no USB parent, so the kernel offers neither a
// bInterfaceNumber nor a bcdDevice for it; what it has are the HID_PHYS and
// HID_UNIQ texts its maker chose:
//   HID_PHYS "vx27-emu-<id>/input<interface>"  an emulated device, its
//            interface number at the end as on a real device's phys
//   HID_UNIQ "<id>/v<4 hex>"                   its firmware release number
// The maker writes them with EmulatedPhys and EmulatedUniq, the hidraw
// backend reads them back with IsEmulatedPhys and EmulatedUniqVersion.

#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>
#include <string_view>

namespace hid {

inline constexpr std::string_view kEmulatedPhysPrefix = "vx27-emu-";

inline std::string EmulatedPhys(uint32_t id, unsigned interfaceNumber) {
  return std::string(kEmulatedPhysPrefix) + std::to_string(id) + "/input" + std::to_string(interfaceNumber);
}

inline std::string EmulatedUniq(uint32_t id, uint16_t version) {
  char text[8];
  std::snprintf(text, sizeof text, "%04x", unsigned(version));
  return std::to_string(id) + "/v" + text;
}

inline bool IsEmulatedPhys(std::string_view phys) { return phys.starts_with(kEmulatedPhysPrefix); }

// The release number after the last "/v" of an emulated device's uniq:
// exactly four hexadecimal digits, else nullopt.
inline std::optional<uint16_t> EmulatedUniqVersion(std::string_view uniq) {
  const size_t at = uniq.rfind("/v");
  if (at == std::string_view::npos || uniq.size() - at != 6) return std::nullopt;
  uint16_t version = 0;
  for (const char c : uniq.substr(at + 2)) {
    int digit = -1;
    if (c >= '0' && c <= '9') digit = c - '0';
    else if (c >= 'a' && c <= 'f') digit = c - 'a' + 10;
    else if (c >= 'A' && c <= 'F') digit = c - 'A' + 10;
    if (digit < 0) return std::nullopt;
    version = static_cast<uint16_t>(version * 16 + digit);
  }
  return version;
}

}  // namespace hid
