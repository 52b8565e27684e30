#pragma once
// Window message numbers. The fixed numbers are the program's own; registered
// messages get a number in 0xC000..0xFFFF from a process-wide name table (the
// same name always gives the same number in this process). Between processes
// registered messages travel by name on the window bus.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace platform {

using MessageId = uint32_t;

namespace msg {
inline constexpr MessageId kTrayCallback = 1025;          // wParam icon, lParam mouse message
inline constexpr MessageId kCaptureHook = 1054;           // capture hook on and off
inline constexpr MessageId kMenuCommand = 1145;           // a menu item was chosen
inline constexpr MessageId kShowProgress = 3072;
inline constexpr MessageId UM_LANGUAGE_CHANGED = 3089;
inline constexpr MessageId UM_INTERFACE_ARRIVED = 3090;   // wParam slot index
inline constexpr MessageId UM_INTERFACE_REMOVED = 3091;   // wParam slot index
inline constexpr MessageId kOpenSettings = 3093;
inline constexpr MessageId kUpdateSeen = 3094;
inline constexpr MessageId kOnboardProfile = 3328;
inline constexpr MessageId kDeviceStatus = 3329;
inline constexpr MessageId kProgress = 3330;
inline constexpr MessageId kLinkState = 3331;
inline constexpr MessageId kFirmwareVersionCheck = 3332;
inline constexpr MessageId kInfoBlockUsable = 3333;

// Mouse messages carried by the tray callback's lParam.
inline constexpr int64_t kLeftButtonUp = 514;
inline constexpr int64_t kRightButtonUp = 517;
}  // namespace msg

inline constexpr MessageId kFirstRegisteredMessage = 0xC000;
inline constexpr MessageId kLastRegisteredMessage = 0xFFFF;

// The number registered for `name` (registering it on first use); 0 when the
// name is empty or the table is full.
MessageId RegisterWindowMessage(std::string_view name);

// The number registered for `name`, without registering it; 0 when none is.
MessageId FindWindowMessage(std::string_view name);

// The name of a registered number, if any.
std::optional<std::string> RegisteredMessageName(MessageId id);

}  // namespace platform
