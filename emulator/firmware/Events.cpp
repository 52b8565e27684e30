#include "emulator/firmware/Events.h"

#include <array>

#include "emulator/DeviceCatalog.h"
#include "emulator/Emulator.h"
#include "hid/PathFields.h"
#include "protocol/DeviceRecords.h"

namespace emulator::firmware {

namespace {

// The index of the interface's event collection, or -1.
int EventCollection(const VirtualInterface& iface) {
  const auto& collections = iface.Parsed().collections;
  for (size_t c = 0; c < collections.size(); ++c)
    if (!collections[c].reportIds.empty() && collections[c].HasReportId(kEventReportId)) return int(c);
  return -1;
}

}  // namespace

std::string EventPath(const EmulatedDevice& device) {
  auto iface = device.Interface(kEventInterfaceNumber);
  const int c = iface ? EventCollection(*iface) : -1;
  if (c < 0) return {};
  const std::string node = std::string(kPathPrefix) + std::to_string(device.Id());
  const bool numbered = iface->Parsed().collections.size() > 1;
  return hid::MakeInterfacePath(node, device.VendorId(), device.ProductId(), iface->Number(),
                                numbered ? std::optional<uint16_t>(uint16_t(c + 1)) : std::nullopt);
}

bool SendEvent(EmulatedDevice& device, uint16_t value) {
  if (!device.Plugged()) return false;
  auto iface = device.Interface(kEventInterfaceNumber);
  if (!iface || EventCollection(*iface) < 0) return false;
  const std::array<uint8_t, 3> report{kEventReportId, uint8_t(value), uint8_t(value >> 8)};
  iface->QueueInput(report);
  return true;
}

bool SwitchOnboardProfile(EmulatedDevice& device, CommandFirmware& firmware, uint8_t profile) {
  firmware.EditMemory([profile](DeviceMemory& m) { m.settings[0] = profile; });
  return SendEvent(device, kEventSettingsChanged);
}

bool SetPower(CommandFirmware& firmware, uint8_t batteryPercent, uint8_t powerState) {
  bool kept = false;
  firmware.EditMemory([&](DeviceMemory& m) {
    if (m.status.size() <= protocol::statusblock::kPowerState) return;
    m.status[protocol::statusblock::kBattery] = batteryPercent;
    m.status[protocol::statusblock::kPowerState] = powerState;
    kept = true;
  });
  return kept;
}

}  // namespace emulator::firmware
