#include "hid/InterfaceSlots.h"

namespace hid {

InterfaceSlots::InterfaceSlots() {
  slots_.reserve(SupportedInterfaceTable.size());
  for (const SupportedInterfaceRow& row : SupportedInterfaceTable) slots_.emplace_back(row);
}

bool InterfaceSlots::SameInterface(const SupportedInterfaceRow& a, const SupportedInterfaceRow& b) {
  return a.VendorId == b.VendorId && a.ProductId == b.ProductId &&
         a.CollectionNumber == b.CollectionNumber && a.InterfaceNumber == b.InterfaceNumber;
}

bool InterfaceSlots::Free(const DeviceInterfaceInfo& slot) {
  return slot.Connected == 0 && slot.DevicePath.empty();
}

DeviceInterfaceInfo InterfaceSlots::Slot(size_t index) const {
  std::lock_guard guard(lock_);
  return index < slots_.size() ? slots_[index] : DeviceInterfaceInfo{};
}

bool InterfaceSlots::HasFreeSlotFor(const DeviceInterfaceInfo& info) const {
  bool inTable = false;
  for (const SupportedInterfaceRow& row : SupportedInterfaceTable)
    inTable = inTable || SameInterface(row, info);
  if (!inTable) return false;
  std::lock_guard guard(lock_);
  if (HeldLocked(info.DevicePath)) return false;
  for (const DeviceInterfaceInfo& slot : slots_)
    if (SameInterface(slot, info) && Free(slot)) return true;
  return false;
}

bool InterfaceSlots::HeldLocked(const std::string& path) const {
  if (path.empty()) return false;
  for (const DeviceInterfaceInfo& slot : slots_)
    if (slot.Connected && slot.DevicePath == path) return true;
  return false;
}

bool InterfaceSlots::AllSlotsTaken() const {
  std::lock_guard guard(lock_);
  for (const DeviceInterfaceInfo& slot : slots_)
    if (Free(slot)) return false;
  return true;
}

namespace {

bool SameSix(const SupportedInterfaceRow& r, const DeviceInterfaceInfo& info) {
  return r.VendorId == info.VendorId && r.ProductId == info.ProductId &&
         r.CollectionNumber == info.CollectionNumber && r.InterfaceNumber == info.InterfaceNumber &&
         r.UsagePage == info.UsagePage && r.Usage == info.Usage;
}

// The first table row with the six values of `info`.
const SupportedInterfaceRow* RowFor(const DeviceInterfaceInfo& info) {
  for (const SupportedInterfaceRow& r : SupportedInterfaceTable)
    if (SameSix(r, info)) return &r;
  return nullptr;
}

}  // namespace

bool InterfaceSlots::Supported(const DeviceInterfaceInfo& info) { return RowFor(info) != nullptr; }

bool InterfaceSlots::ClaimSlot(DeviceInterfaceInfo& info, size_t* slotIndex) {
  const SupportedInterfaceRow* row = RowFor(info);
  if (!row) return false;
  info.DeviceKind = row->DeviceKind;
  info.InterfaceUse = row->InterfaceUse;

  std::lock_guard guard(lock_);
  // Rows 0 and 2 (1 and 3) share their identity: without this check the one
  // keyboard already in slot 0 would be claimed again for slot 2 on the next
  // pass and reported as a second, receiver-connected keyboard.
  if (HeldLocked(info.DevicePath)) return false;
  for (size_t i = 0; i < slots_.size(); ++i) {
    DeviceInterfaceInfo& slot = slots_[i];
    if (!SameSix(slot, info) || !Free(slot)) continue;
    slot.Connected = 1;
    slot.DevicePath = info.DevicePath;
    ++changes_;
    if (slotIndex) *slotIndex = i;
    return true;
  }
  return false;
}

bool InterfaceSlots::IsTwinConnected(size_t slotIndex) const {
  std::lock_guard guard(lock_);
  if (slotIndex >= slots_.size()) return false;
  const DeviceInterfaceInfo& slot = slots_[slotIndex];
  if (!slot.DualMode || slot.TwinSlot >= slots_.size()) return false;
  const DeviceInterfaceInfo& twin = slots_[slot.TwinSlot];
  return twin.Connected == 1 && !twin.DevicePath.empty() && twin.TwinSlot == slotIndex;
}

void InterfaceSlots::Release(size_t slotIndex) {
  std::lock_guard guard(lock_);
  if (slotIndex >= slots_.size()) return;
  slots_[slotIndex].Connected = 0;
  slots_[slotIndex].DevicePath.clear();
  ++changes_;
}

uint64_t InterfaceSlots::Changes() const {
  std::lock_guard guard(lock_);
  return changes_;
}

}  // namespace hid
