#pragma once
// One emulated USB device: vendor and product id, release number, its HID
// interfaces, whether it is plugged in, and, for a receiver, whether the
// wireless device behind it is switched on (firmware models read that flag
// to answer for an unreachable device).

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "emulator/VirtualInterface.h"

namespace emulator {

struct InterfaceDesc {
  uint8_t number = 0;
  std::vector<uint8_t> descriptor;
};

struct DeviceDesc {
  std::string name;  // as the emulate list names it, e.g. "keyboard:receiver"
  uint16_t vendorId = 0;
  uint16_t productId = 0;
  uint16_t version = 0;
  bool receiver = false;
  bool wirelessOn = true;
  std::vector<InterfaceDesc> interfaces;
};

class EmulatedDevice {
 public:
  EmulatedDevice(uint32_t id, DeviceDesc desc);

  uint32_t Id() const { return id_; }
  const std::string& Name() const { return desc_.name; }
  uint16_t VendorId() const { return desc_.vendorId; }
  uint16_t ProductId() const { return desc_.productId; }
  // The release number the device reports; a firmware update changes it.
  uint16_t Version() const { return version_.load(); }
  void SetVersion(uint16_t version) { version_.store(version); }
  bool IsReceiver() const { return desc_.receiver; }

  bool Plugged() const { return plugged_.load(); }
  bool WirelessOn() const { return wirelessOn_.load(); }
  void SetWirelessOn(bool on) { wirelessOn_.store(on); }

  // Null when the device has no such interface.
  std::shared_ptr<VirtualInterface> Interface(uint8_t number) const;
  const std::vector<std::shared_ptr<VirtualInterface>>& Interfaces() const { return interfaces_; }

  // The device restarts as after a firmware update: it leaves, and comes
  // back with `version` (nullopt: the version it had). Asked by its
  // firmware; the emulator holding the device does it on its own thread,
  // so this returns at once. Nothing happens once the emulator is gone.
  void RequestRestart(std::optional<uint16_t> version);

 private:
  friend class Emulator;
  void SetPlugged(bool plugged);
  void SetRestartHook(std::function<void(std::optional<uint16_t>)> hook);

  uint32_t id_;
  DeviceDesc desc_;
  std::vector<std::shared_ptr<VirtualInterface>> interfaces_;
  std::atomic<bool> plugged_{false};
  std::atomic<bool> wirelessOn_{true};
  std::atomic<uint16_t> version_{0};
  std::mutex hookLock_;  // guards restartHook_
  std::function<void(std::optional<uint16_t>)> restartHook_;
};

}  // namespace emulator
