#pragma once
// The main window's interface slots: one per supported interface, in table
// order, so a slot index is also a row index. The discovery worker claims and
// releases them; the UI thread reads them while it handles an arrival or a
// removal and releases them for a connection-mode switch. Every operation
// takes the slots' lock, so the two threads never see a half-written path.

#include <cstddef>
#include <mutex>
#include <vector>

#include "hid/SupportedDevices.h"

namespace hid {

class InterfaceSlots {
 public:
  InterfaceSlots();  // a copy of every SupportedInterfaceTable row

  size_t Count() const { return slots_.size(); }
  DeviceInterfaceInfo Slot(size_t index) const;  // an empty info when out of range

  // Some row has the vendor, product, collection and interface number of
  // `info`, some slot with those four values is free, and no slot holds
  // `info.DevicePath` already.
  bool HasFreeSlotFor(const DeviceInterfaceInfo& info) const;
  // No slot is free (free: not Connected and without a path).
  bool AllSlotsTaken() const;
  // Fills `info`'s kind and interface use from the first row matching its
  // vendor, product, collection, interface number, usage page and usage, then
  // claims the first free slot with those six values for `info.DevicePath`
  // (refused when a slot holds that path already).
  bool ClaimSlot(DeviceInterfaceInfo& info, size_t* slotIndex);
  // True when some table row has the six values ClaimSlot matches on.
  static bool Supported(const DeviceInterfaceInfo& info);
  // The slot is dual-mode and its twin is claimed and points back at it.
  bool IsTwinConnected(size_t slotIndex) const;
  // Marks the slot free (Connected 0, empty path).
  void Release(size_t slotIndex);
  // Moves on every claim and release: while it stands still, a path that
  // found no slot still finds none.
  uint64_t Changes() const;

 private:
  static bool SameInterface(const SupportedInterfaceRow& a, const SupportedInterfaceRow& b);
  static bool Free(const DeviceInterfaceInfo& slot);
  bool HeldLocked(const std::string& path) const;

  mutable std::mutex lock_;  // guards slots_ and changes_
  std::vector<DeviceInterfaceInfo> slots_;
  uint64_t changes_ = 0;
};

}  // namespace hid
