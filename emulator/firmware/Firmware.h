#pragma once
// What emulator/firmware offers: firmware models for the command interface of
// every emulated device, and helpers that attach them.

#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "emulator/EmulateList.h"
#include "emulator/Emulator.h"
#include "emulator/firmware/CommandFirmware.h"
#include "emulator/firmware/DeviceMemory.h"

namespace emulator::firmware {

// The interface number that carries a model's command collection.
uint8_t CommandInterfaceNumber(DeviceModel model);

// Attaches a firmware with the model's factory memory to the device's command
// interface. Behind a receiver the firmware follows the device's wireless
// switch. Null when the device has no such interface.
std::shared_ptr<CommandFirmware> AttachFirmware(const std::shared_ptr<EmulatedDevice>& device,
                                                DeviceModel model);

// Adds a device of the model to the emulator with its firmware attached.
struct EmulatedUnit {
  std::shared_ptr<EmulatedDevice> device;
  std::shared_ptr<CommandFirmware> firmware;
};
EmulatedUnit AddDevice(Emulator& emulator, DeviceModel model, bool receiver = false,
                       bool wirelessOn = true);

// Attaches the firmware of the model the device's name starts with (as the
// emulate list names devices) to a device not yet plugged in; nothing when the
// name names no model or the device has no command interface.
std::optional<EmulatedUnit> AttachFirmwareByName(const std::shared_ptr<EmulatedDevice>& device);

// Adds the devices of an emulate list, each with its firmware attached before
// it is plugged in; nothing (no device added) when the list is malformed.
std::optional<std::vector<EmulatedUnit>> AddEmulatedUnits(Emulator& emulator,
                                                          std::string_view list,
                                                          std::string* error);

// The path of the device's command collection (the vendor collection, or the
// headset's consumer collection); empty when it has none.
std::string CommandPath(const EmulatedDevice& device, DeviceModel model);

// "mouse", "keyboard", "pad" or "headset".
std::optional<DeviceModel> ModelFromName(std::string_view name);

}  // namespace emulator::firmware
