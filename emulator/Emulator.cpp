#include "emulator/Emulator.h"

#include <charconv>

#include "hid/PathFields.h"

namespace emulator {
namespace {

std::string DevicePath(const EmulatedDevice& device, const VirtualInterface& iface, size_t col) {
  const std::string node = std::string(kPathPrefix) + std::to_string(device.Id());
  const size_t collections = iface.Parsed().collections.size();
  return hid::MakeInterfacePath(
      node, device.VendorId(), device.ProductId(), iface.Number(),
      collections > 1 ? std::optional<uint16_t>(static_cast<uint16_t>(col + 1)) : std::nullopt);
}

}  // namespace

std::shared_ptr<EmulatedDevice> Emulator::Add(DeviceDesc desc, bool plugged) {
  std::shared_ptr<EmulatedDevice> device;
  {
    std::lock_guard guard(lock_);
    device = std::make_shared<EmulatedDevice>(nextId_++, std::move(desc));
    devices_.push_back(device);
  }
  device->SetRestartHook([this, id = device->Id()](std::optional<uint16_t> version) { Restart(id, version); });
  if (plugged) {
    device->SetPlugged(true);
    ++changes_;
  }
  return device;
}

Emulator::~Emulator() {
  // Devices may outlive the emulator: their firmware must not reach it.
  for (const auto& d : Devices()) d->SetRestartHook({});
  {
    std::lock_guard guard(restartLock_);
    stopping_ = true;
  }
  restartWake_.notify_all();
  if (restarter_.joinable()) restarter_.join();
}

void Emulator::Restart(uint32_t id, std::optional<uint16_t> version) {
  std::lock_guard guard(restartLock_);
  if (stopping_) return;
  restarts_.emplace_back(id, version);
  if (!restarter_.joinable()) restarter_ = std::thread([this] { RestartLoop(); });
  restartWake_.notify_all();
}

void Emulator::SetRestartGap(std::chrono::milliseconds gap) {
  std::lock_guard guard(restartLock_);
  restartGap_ = gap;
}

int Emulator::PendingRestarts() const {
  std::lock_guard guard(restartLock_);
  return int(restarts_.size()) + restartsRunning_;
}

void Emulator::RestartLoop() {
  std::unique_lock guard(restartLock_);
  // One wait that ends early when the emulator goes; false then.
  const auto pause = [&] {
    return !restartWake_.wait_for(guard, restartGap_, [&] { return stopping_; });
  };
  for (;;) {
    restartWake_.wait(guard, [&] { return stopping_ || !restarts_.empty(); });
    if (stopping_) return;
    const auto [id, version] = restarts_.front();
    restarts_.pop_front();
    ++restartsRunning_;
    // The reply to the restart reaches the host before the device goes.
    if (pause()) {
      guard.unlock();
      Unplug(id);
      guard.lock();
    }
    if (!stopping_ && pause()) {
      guard.unlock();
      if (auto device = Find(id); device && version) device->SetVersion(*version);
      guard.lock();
      if (pause()) {
        guard.unlock();
        Plug(id);
        guard.lock();
      }
    }
    --restartsRunning_;
  }
}

bool Emulator::Plug(uint32_t id) {
  auto device = Find(id);
  if (!device) return false;
  device->SetPlugged(true);
  ++changes_;
  return true;
}

bool Emulator::Unplug(uint32_t id) {
  auto device = Find(id);
  if (!device) return false;
  device->SetPlugged(false);
  ++changes_;
  return true;
}

std::shared_ptr<EmulatedDevice> Emulator::Find(uint32_t id) const {
  std::lock_guard guard(lock_);
  for (const auto& d : devices_)
    if (d->Id() == id) return d;
  return nullptr;
}

std::shared_ptr<EmulatedDevice> Emulator::FindByName(std::string_view name) const {
  std::lock_guard guard(lock_);
  for (const auto& d : devices_)
    if (d->Name() == name) return d;
  return nullptr;
}

std::vector<std::shared_ptr<EmulatedDevice>> Emulator::Devices() const {
  std::lock_guard guard(lock_);
  return devices_;
}

void Emulator::FailNextEnumerations(int count) {
  std::lock_guard guard(lock_);
  failListings_ = count;
}

int Emulator::EnumerationCount() const {
  std::lock_guard guard(lock_);
  return listings_;
}

bool Emulator::Enumerate(std::vector<std::string>& paths) {
  paths.clear();
  std::vector<std::shared_ptr<EmulatedDevice>> devices;
  {
    std::lock_guard guard(lock_);
    ++listings_;
    if (failListings_ > 0) {
      --failListings_;
      return false;
    }
    devices = devices_;
  }
  for (const auto& d : devices) {
    if (!d->Plugged()) continue;
    for (const auto& iface : d->Interfaces())
      for (size_t c = 0; c < iface->Parsed().collections.size(); ++c)
        paths.push_back(DevicePath(*d, *iface, c));
  }
  return true;
}

std::optional<uint64_t> Emulator::ChangeCount() { return changes_.load(); }

bool Emulator::Owns(std::string_view path) const {
  return path.substr(0, kPathPrefix.size()) == kPathPrefix;
}

bool Emulator::Resolve(std::string_view path, Target* target) const {
  if (!Owns(path)) return false;
  const std::string_view node = hid::PathNode(path);
  const std::string_view digits = node.substr(kPathPrefix.size());
  uint32_t id = 0;
  const auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), id);
  if (ec != std::errc() || end != digits.data() + digits.size()) return false;
  auto device = Find(id);
  if (!device || !device->Plugged()) return false;
  auto iface = device->Interface(static_cast<uint8_t>(hid::PathInterfaceNumber(path)));
  if (!iface) return false;
  // The whole path must be the one the listing gives, ids and numbers included.
  const size_t collections = iface->Parsed().collections.size();
  const uint16_t col = hid::PathCollectionNumber(path);
  const size_t index = collections > 1 ? size_t(col) - 1 : 0;
  if ((collections > 1 && col == 0) || index >= collections) return false;
  if (DevicePath(*device, *iface, index) != path) return false;
  *target = {std::move(device), std::move(iface), index};
  return true;
}

std::shared_ptr<hid::HidConnection> Emulator::Open(std::string_view path,
                                                   const hid::OpenMode& mode) {
  Target t;
  if (!Resolve(path, &t)) return nullptr;
  hid::HidAttributes ids{t.device->VendorId(), t.device->ProductId(), t.device->Version()};
  auto connection = t.iface->OpenCollection(t.collection, ids, mode);
  // Unplugged meanwhile: the unplug may have missed this connection.
  if (connection && !t.device->Plugged()) {
    connection->Interrupt();
    return nullptr;
  }
  return connection;
}

bool Emulator::IsPresent(std::string_view path) {
  Target t;
  return Resolve(path, &t);
}

}  // namespace emulator
