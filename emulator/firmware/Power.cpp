#include "emulator/firmware/Power.h"

#include <charconv>

#include "emulator/firmware/Events.h"
#include "protocol/DeviceRecords.h"

namespace emulator::firmware {

namespace sb = protocol::statusblock;

std::optional<uint8_t> ParseChargeState(std::string_view text) {
  if (text == "powered") return 0;
  if (text == "charging") return 1;
  if (text == "battery") return 2;
  unsigned value = 0;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (ec != std::errc() || end != text.data() + text.size() || value > 0xFF) return std::nullopt;
  return uint8_t(value);
}

std::optional<bool> ParseOnOff(std::string_view text) {
  if (text == "on") return true;
  if (text == "off") return false;
  return std::nullopt;
}

bool SetWireless(EmulatedDevice& device, bool on) {
  if (!device.IsReceiver()) return false;
  device.SetWirelessOn(on);
  return true;
}

bool SetBattery(CommandFirmware& firmware, uint8_t level, uint8_t chargeState) {
  return SetPower(firmware, level, chargeState);
}

bool SetPhoneType(CommandFirmware& firmware, uint8_t phoneType) {
  bool kept = false;
  firmware.EditMemory([&](DeviceMemory& m) {
    if (m.status.size() <= sb::kPhoneType) return;
    m.status[sb::kPhoneType] = phoneType;
    kept = true;
  });
  return kept;
}

std::string DescribePower(const CommandFirmware& firmware) {
  const DeviceMemory m = firmware.Memory();
  if (m.status.size() <= sb::kPowerState) return "no status";
  std::string text = "battery " + std::to_string(m.status[sb::kBattery]) + " charge " +
                     std::to_string(m.status[sb::kPowerState]);
  if (m.status.size() > sb::kPhoneType) text += " phone " + std::to_string(m.status[sb::kPhoneType]);
  return text;
}

}  // namespace emulator::firmware
