#include "emulator/firmware/Firmware.h"

#include <string>

#include "hid/PathFields.h"

namespace emulator::firmware {
namespace {

const char* ModelName(DeviceModel model) {
  switch (model) {
    case DeviceModel::Mouse: return "mouse";
    case DeviceModel::Keyboard: return "keyboard";
    case DeviceModel::Pad: return "pad";
    case DeviceModel::Headset: return "headset";
  }
  return "";
}

}  // namespace

uint8_t CommandInterfaceNumber(DeviceModel model) {
  return model == DeviceModel::Headset ? 3 : 1;
}

std::shared_ptr<CommandFirmware> AttachFirmware(const std::shared_ptr<EmulatedDevice>& device,
                                                DeviceModel model) {
  auto iface = device->Interface(CommandInterfaceNumber(model));
  if (!iface) return nullptr;
  std::function<bool()> linkUp;
  if (device->IsReceiver()) {
    std::weak_ptr<EmulatedDevice> weak = device;
    linkUp = [weak] {
      auto d = weak.lock();
      return d && d->WirelessOn();
    };
  }
  auto firmware = std::make_shared<CommandFirmware>(FactoryMemory(model), std::move(linkUp));
  // A restart after an update goes to the device (and from it to its emulator).
  firmware->SetRestartHandler([weak = std::weak_ptr<EmulatedDevice>(device)](std::optional<uint16_t> version) {
    if (auto d = weak.lock()) d->RequestRestart(version);
  });
  iface->AttachFirmware(firmware);
  return firmware;
}

EmulatedUnit AddDevice(Emulator& emulator, DeviceModel model, bool receiver, bool wirelessOn) {
  DeviceOptions options;
  options.receiver = receiver;
  options.wirelessOn = wirelessOn;
  std::string name = ModelName(model);
  if (receiver) name += ":receiver";
  // Plugged only once the firmware is in place, so no request goes unanswered.
  std::shared_ptr<CommandFirmware> firmware;
  auto device = AddPrepared(emulator, MakeDeviceDesc(model, options, name),
                            [&](const auto& d) { firmware = AttachFirmware(d, model); });
  return {device, firmware};
}

std::optional<EmulatedUnit> AttachFirmwareByName(const std::shared_ptr<EmulatedDevice>& device) {
  const std::string_view name = device->Name();
  const auto model = ModelFromName(name.substr(0, name.find(':')));
  if (!model) return std::nullopt;
  auto firmware = AttachFirmware(device, *model);
  if (!firmware) return std::nullopt;
  return EmulatedUnit{device, firmware};
}

std::optional<std::vector<EmulatedUnit>> AddEmulatedUnits(Emulator& emulator,
                                                          std::string_view list,
                                                          std::string* error) {
  std::vector<EmulatedUnit> units;
  const bool added = AddEmulatedDevices(emulator, list, error, [&](const auto& device) {
    if (auto unit = AttachFirmwareByName(device)) units.push_back(*unit);
  });
  if (!added) return std::nullopt;
  return units;
}

std::string CommandPath(const EmulatedDevice& device, DeviceModel model) {
  auto iface = device.Interface(CommandInterfaceNumber(model));
  if (!iface) return {};
  const auto& collections = iface->Parsed().collections;
  const uint16_t page = model == DeviceModel::Headset ? 0x000C : 0xFF1C;
  const uint16_t usage = model == DeviceModel::Headset ? 0x01 : 0x92;
  for (size_t c = 0; c < collections.size(); ++c) {
    if (collections[c].usagePage != page || collections[c].usage != usage) continue;
    const std::string node = std::string(kPathPrefix) + std::to_string(device.Id());
    return hid::MakeInterfacePath(
        node, device.VendorId(), device.ProductId(), iface->Number(),
        collections.size() > 1 ? std::optional<uint16_t>(uint16_t(c + 1)) : std::nullopt);
  }
  return {};
}

std::optional<DeviceModel> ModelFromName(std::string_view name) {
  if (name == "mouse") return DeviceModel::Mouse;
  if (name == "keyboard") return DeviceModel::Keyboard;
  if (name == "pad") return DeviceModel::Pad;
  if (name == "headset") return DeviceModel::Headset;
  return std::nullopt;
}

}  // namespace emulator::firmware
