#pragma once
// The emulate list of VX27_EMULATE and `vx27ctl --emulate`: comma-separated
// devices, each a model with options after colons:
//   mouse | keyboard | pad | headset   [:receiver] [:off] [:decoy]
// "receiver" (mouse, keyboard) emulates the 2.4 GHz receiver, "off" a
// receiver whose wireless device is switched off, "decoy" a device with the
// right ids but other usage pages. Example: "mouse,keyboard:receiver,pad,headset".

#include <functional>
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
std::optional<std::vector<DeviceDesc>> ParseEmulateList(std::string_view list, std::string* error);

// Readies a device that is added but not yet plugged in (attaches its
// firmware), so that nothing can reach the device before it can answer.
using PrepareDevice = std::function<void(const std::shared_ptr<EmulatedDevice>&)>;

// Adds every device of the list to `emulator`: each is added, handed to
// `prepare` (when given), then plugged in. False (nothing added) when the list
// is malformed.
bool AddEmulatedDevices(Emulator& emulator, std::string_view list, std::string* error,
                        const PrepareDevice& prepare = {});

// Adds one device description the same way.
std::shared_ptr<EmulatedDevice> AddPrepared(Emulator& emulator, DeviceDesc desc,
                                            const PrepareDevice& prepare);

}  // namespace emulator
