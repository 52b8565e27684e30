#pragma once
// The emulate list of VX27_EMULATE and `vx27ctl --emulate`: comma-separated
// devices, each a model with options after colons:
//   mouse | keyboard | pad | headset   [:receiver] [:off] [:decoy]
// "receiver" (mouse, keyboard) emulates the 2.4 GHz receiver, "off" a
// receiver whose wireless device is switched off, "decoy" a device with the
// right ids but other usage pages. Example: "mouse,keyboard:receiver,pad,headset".

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "emulator/DeviceCatalog.h"
#include "emulator/Emulator.h"

namespace emulator {

inline constexpr const char* kEmulateEnv = "VX27_EMULATE";

// The device descriptions the list names, or nullopt with the reason.
std::optional<std::vector<DeviceSpec>> ParseEmulateList(std::string_view list, std::string* error);

// Adds every device of the list to `emulator`, plugged in. False (nothing
// added) when the list is malformed.
bool AddEmulatedDevices(Emulator& emulator, std::string_view list, std::string* error);

}  // namespace emulator
