#include "emulator/EmulatedDevice.h"

namespace emulator {

EmulatedDevice::EmulatedDevice(uint32_t id, DeviceDesc desc) : id_(id), desc_(std::move(desc)) {
  wirelessOn_.store(desc_.wirelessOn);
  version_.store(desc_.version);
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

void EmulatedDevice::SetRestartHook(std::function<void(std::optional<uint16_t>)> hook) {
  std::lock_guard guard(hookLock_);
  restartHook_ = std::move(hook);
}

void EmulatedDevice::RequestRestart(std::optional<uint16_t> version) {
  std::lock_guard guard(hookLock_);
  if (restartHook_) restartHook_(version);
}

}  // namespace emulator
