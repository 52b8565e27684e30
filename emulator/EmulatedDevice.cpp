#include "emulator/EmulatedDevice.h"

namespace emulator {

EmulatedDevice::EmulatedDevice(uint32_t id, DeviceDesc desc) : id_(id), desc_(std::move(desc)) {
  wirelessOn_.store(desc_.wirelessOn);
  for (const InterfaceDesc& i : desc_.interfaces)
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
