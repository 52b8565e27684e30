#include "emulator/EmulatedDevice.h"

namespace emulator {

EmulatedDevice::EmulatedDevice(uint32_t id, DeviceSpec desc) : id_(id), spec_(std::move(desc)) {
  wirelessOn_.store(spec_.wirelessOn);
  for (const InterfaceSpec& i : spec_.interfaces)
    interfaces_.push_back(std::make_shared<VirtualInterface>(i.number, i.descriptor));
}

std::shared_ptr<VirtualInterface> EmulatedDevice::Interface(uint8_t number) const {
  for (const auto& i : interfaces_)
    if (i->Number() == number) return i;
  return nullptr;
}

void EmulatedDevice::SetPlugged(bool plugged) {
  if (plugged_.exchange(plugged) == plugged) return;
  if (!plugged)
    for (const auto& i : interfaces_) i->Disconnect();
  for (const auto& i : interfaces_) i->NotifyPlugged(plugged);
}

}  // namespace emulator
