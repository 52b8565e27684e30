#pragma once
// The power side of an emulated device as a user changes it: the wireless
// device behind a receiver switched on or off, the battery level and charge
// state its status block reports, and the phone lying on its charger
// (status byte 5, kept by devices whose status block holds 6 bytes).
// vx27ctl and UI scripts use these by device name.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "emulator/firmware/Firmware.h"

namespace emulator::firmware {

// "powered" (0), "charging" (1), "battery" (2), or the number itself.
std::optional<uint8_t> ParseChargeState(std::string_view text);
// "on" or "off".
std::optional<bool> ParseOnOff(std::string_view text);

// Switches the wireless device behind a receiver; false for a device that
// is no receiver (a cable device is always reachable).
bool SetWireless(EmulatedDevice& device, bool on);

// Battery level (percent; the device may report more than 100) and charge
// state; false when the model keeps no status block.
bool SetBattery(CommandFirmware& firmware, uint8_t level, uint8_t chargeState);

// Phone type: 1 iPhone, 2 Samsung, 3 other, 0 none; false when the status
// block has no byte for it.
bool SetPhoneType(CommandFirmware& firmware, uint8_t phoneType);

// The device's power as the status block holds it, e.g.
// "battery 85 charge 2 phone 0" ("phone" only where kept).
std::string DescribePower(const CommandFirmware& firmware);

}  // namespace emulator::firmware
