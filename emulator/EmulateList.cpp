#include "emulator/EmulateList.h"

namespace emulator {
namespace {

std::string_view Trim(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
  return s;
}

std::vector<std::string_view> Split(std::string_view s, char sep) {
  std::vector<std::string_view> parts;
  for (;;) {
    const size_t at = s.find(sep);
    parts.push_back(Trim(s.substr(0, at)));
    if (at == std::string_view::npos) return parts;
    s.remove_prefix(at + 1);
  }
}

std::optional<DeviceDesc> ParseEntry(std::string_view entry, std::string* error) {
  const std::vector<std::string_view> words = Split(entry, ':');
  DeviceModel model;
  if (words[0] == "mouse") model = DeviceModel::Mouse;
  else if (words[0] == "keyboard") model = DeviceModel::Keyboard;
  else if (words[0] == "pad") model = DeviceModel::Pad;
  else if (words[0] == "headset") model = DeviceModel::Headset;
  else {
    *error = "unknown device '" + std::string(words[0]) + "' (mouse, keyboard, pad, headset)";
    return std::nullopt;
  }
  DeviceOptions options;
  bool off = false;
  for (size_t i = 1; i < words.size(); ++i) {
    if (words[i] == "receiver") options.receiver = true;
    else if (words[i] == "decoy") options.decoy = true;
    else if (words[i] == "off") off = true;
    else {
      *error = "unknown option '" + std::string(words[i]) + "' in '" + std::string(entry) + "'";
      return std::nullopt;
    }
  }
  const bool wireless = model == DeviceModel::Mouse || model == DeviceModel::Keyboard;
  if (options.receiver && !wireless) {
    *error = "'" + std::string(entry) + "': only the mouse and keyboard have a receiver";
    return std::nullopt;
  }
  if (off && !options.receiver) {
    *error = "'" + std::string(entry) + "': 'off' needs 'receiver'";
    return std::nullopt;
  }
  options.wirelessOn = !off;
  return MakeDeviceDesc(model, options, std::string(entry));
}

}  // namespace

std::optional<std::vector<DeviceDesc>> ParseEmulateList(std::string_view list, std::string* error) {
  std::string ignored;
  if (!error) error = &ignored;
  std::vector<DeviceDesc> descs;
  if (Trim(list).empty()) return descs;
  for (std::string_view entry : Split(list, ',')) {
    if (entry.empty()) {
      *error = "empty entry in the emulate list";
      return std::nullopt;
    }
    auto desc = ParseEntry(entry, error);
    if (!desc) return std::nullopt;
    descs.push_back(std::move(*desc));
  }
  return descs;
}

std::shared_ptr<EmulatedDevice> AddPrepared(Emulator& emulator, DeviceDesc desc,
                                            const PrepareDevice& prepare) {
  auto device = emulator.Add(std::move(desc), false);
  if (prepare) prepare(device);
  emulator.Plug(device->Id());
  return device;
}

bool AddEmulatedDevices(Emulator& emulator, std::string_view list, std::string* error,
                        const PrepareDevice& prepare) {
  auto descs = ParseEmulateList(list, error);
  if (!descs) return false;
  for (DeviceDesc& desc : *descs) AddPrepared(emulator, std::move(desc), prepare);
  return true;
}

}  // namespace emulator
