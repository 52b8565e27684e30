#pragma once
// The event side of an emulated device: what it sends by itself on its
// consumer-control (event) collection, report id 3 with one 16-bit value,
// as the real device does:
//   0x401  the settings changed on the device (an onboard profile switch
//          changes settings byte 0 and sends it)
//   0x402  the device asks the host to reset the profile
//   0x403  a mouse click (the host's reactive lighting)
//   0x10n / 0x11mn  onboard profile n (and DPI stage m) chosen on the device
// and the power state its status block reports to the host's status poll.

#include <cstdint>
#include <string>

#include "emulator/EmulatedDevice.h"
#include "emulator/firmware/CommandFirmware.h"

namespace emulator::firmware {

inline constexpr uint16_t kEventSettingsChanged = 0x401;
inline constexpr uint16_t kEventProfileReset = 0x402;
inline constexpr uint16_t kEventClick = 0x403;
inline constexpr uint8_t kEventInterfaceNumber = 0;

// Queues one event report; false when the device is unplugged or has no
// event collection (the headset).
bool SendEvent(EmulatedDevice& device, uint16_t value);

// The path of the device's event collection; empty when it has none.
std::string EventPath(const EmulatedDevice& device);

// Switches the device's onboard profile (settings byte 0) and reports it
// with 0x401.
bool SwitchOnboardProfile(EmulatedDevice& device, CommandFirmware& firmware, uint8_t profile);

// The battery level (percent) and power state (0 powered, 1 charging, 2 on
// battery) the status block reports; false when the model keeps no status.
bool SetPower(CommandFirmware& firmware, uint8_t batteryPercent, uint8_t powerState);

}  // namespace emulator::firmware
