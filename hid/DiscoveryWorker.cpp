#include "hid/DiscoveryWorker.h"

#include "hid/PathFields.h"
#include "platform/Trace.h"

namespace hid {

DiscoveryWorker::DiscoveryWorker(std::shared_ptr<HidBackend> backend, InterfaceSlots& slots,
                                 platform::MessageTarget& owner,
                                 platform::MessageId identityMessage)
    : backend_(std::move(backend)), slots_(slots), owner_(owner), identityMessage_(identityMessage) {}

DiscoveryWorker::~DiscoveryWorker() { Stop(); }

bool DiscoveryWorker::Start() {
  if (worker_.Running()) return false;
  return worker_.Start([this](const platform::StopEvent& stop) { Run(stop); });
}

bool DiscoveryWorker::Stop(std::chrono::milliseconds bound) { return worker_.Stop(bound); }

void DiscoveryWorker::Run(const platform::StopEvent& stop) {
  firstPass_ = true;
  for (;;) {
    if (stop.WaitFor(kDiscoveryStopPoll)) {
      Trace(kDiscoveryExitTrace);
      return;
    }
    Pass(stop);
    stop.WaitFor(kDiscoveryPause);  // the stop check above ends the loop
  }
}

bool DiscoveryWorker::Pass(const platform::StopEvent& stop) {
  if (!hid_) hid_ = std::make_unique<CHidInterface>(backend_);
  lastListingOk_ = true;
  if (!slots_.AllSlotsTaken()) ArrivalScan(stop);
  RemovalScan(stop);
  return lastListingOk_;
}

void DiscoveryWorker::ArrivalScan(const platform::StopEvent& stop) {
  // The count is read before the listing: a change after it moves the count
  // again, so the next pass lists.
  const std::optional<uint64_t> count = backend_->ChangeCount();
  const auto now = clock_();
  const bool quiet = haveListing_ && count && count == listedAt_ &&
                     now - listedWhen_ < kFullListingEvery;
  if (!quiet) {
    haveListing_ = false;
    if (!hid_->Enumerate()) {
      // Tried again on the next pass: one failed listing must not end hot-plug
      // detection for the rest of the session.
      Trace("HID enumeration failed; discovery tries again on the next pass");
      lastListingOk_ = false;
      return;
    }
    ++listings_;
    listed_.clear();
    while (const std::string* path = hid_->NextPath()) listed_.push_back(*path);
    hid_->FreePathList();
    Trace("HID listing: " + std::to_string(listed_.size()) + " collections");
    haveListing_ = true;
    listedAt_ = count;
    listedWhen_ = now;
    unclaimable_.clear();
  }
  for (const std::string& path : listed_) {
    if (stop.IsSet()) break;
    DeviceInterfaceInfo info;
    info.VendorId = PathVendorId(path);
    info.ProductId = PathProductId(path);
    info.InterfaceNumber = PathInterfaceNumber(path);
    info.CollectionNumber = PathCollectionNumber(path);
    info.DevicePath = path;
    if (!slots_.HasFreeSlotFor(info) || unclaimable_.count(path)) continue;
    if (!hid_->Open(path, true, false, true, false)) continue;
    info.VendorId = hid_->VendorID();
    info.ProductId = hid_->ProductID();
    info.UsagePage = hid_->UsagePage();
    info.Usage = hid_->Usage();
    size_t index = 0;
    if (slots_.ClaimSlot(info, &index)) {
      owner_.Send(platform::msg::UM_INTERFACE_ARRIVED, index, 0, &stop);
    } else if (!InterfaceSlots::Supported(info)) {
      unclaimable_.insert(path);  // its usage stays what it is until it is plugged again
    }
    hid_->Close();
  }
  if (firstPass_) {
    firstPass_ = false;
    if (identityMessage_ != 0) owner_.Post(identityMessage_, 0, 0);
  }
}

void DiscoveryWorker::RemovalScan(const platform::StopEvent& stop) {
  for (size_t i = 0; i < slots_.Count(); ++i) {
    if (stop.IsSet()) return;
    const DeviceInterfaceInfo slot = slots_.Slot(i);
    if (slot.Connected != 1) continue;
    if (backend_->IsPresent(slot.DevicePath)) continue;
    slots_.Release(i);
    owner_.Send(platform::msg::UM_INTERFACE_REMOVED, i, 0, &stop);
  }
}

}  // namespace hid
