#pragma once
// One emulated USB device: vendor and product id, release number, its HID
// interfaces, whether it is plugged in, and, for a receiver, whether the
// wireless device behind it is switched on (firmware models read that flag
// to answer for an unreachable device).

#include <atomic>
#include <cstdint>
#include <memory>
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
  uint16_t Version() const { return desc_.version; }
  bool IsReceiver() const { return desc_.receiver; }

  bool Plugged() const { return plugged_.load(); }
  bool WirelessOn() const { return wirelessOn_.load(); }
  void SetWirelessOn(bool on) { wirelessOn_.store(on); }

  // Null when the device has no such interface.
  std::shared_ptr<VirtualInterface> Interface(uint8_t number) const;
  const std::vector<std::shared_ptr<VirtualInterface>>& Interfaces() const { return interfaces_; }

 private:
  friend class Emulator;
  void SetPlugged(bool plugged);

  uint32_t id_;
  DeviceDesc desc_;
  std::vector<std::shared_ptr<VirtualInterface>> interfaces_;
  std::atomic<bool> plugged_{false};
  std::atomic<bool> wirelessOn_{true};
};

}  // namespace emulator
