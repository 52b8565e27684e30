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
  // The pause after a pass and the stop poll before the next are one wait on
  // the stop event: the same timing, one wake-up per pass.
  auto wait = kDiscoveryStopPoll;
  for (;;) {
    if (stop.WaitFor(wait)) {
      Trace(kDiscoveryExitTrace);
      return;
    }
    Pass(stop);
    wait = kDiscoveryPause + kDiscoveryStopPoll;
  }
}

bool DiscoveryWorker::Pass(const platform::StopEvent& stop) {
  if (!hid_) hid_ = std::make_unique<CHidInterface>(backend_);
  lastListingOk_ = true;
  // Read once, before anything is looked at: a change after this moves the
  // count again, so the next pass looks.
  const std::optional<uint64_t> count = backend_->ChangeCount();
  const auto now = clock_();
  if (!slots_.AllSlotsTaken()) ArrivalScan(stop, count, now);
  RemovalScan(stop, count, now);
  return lastListingOk_;
}

void DiscoveryWorker::ArrivalScan(const platform::StopEvent& stop, std::optional<uint64_t> count,
                                  std::chrono::steady_clock::time_point now) {
  if (!listing_.StillHolds(count, now)) {
    listing_.valid = false;
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
    listing_ = {true, count, now};
    unclaimable_.clear();
    walked_.reset();
  } else if (walked_ && *walked_ == slots_.Changes()) {
    // The same listing against the same slots: every path meets what it met
    // on the last walk, which opened all it could.
    PostIdentityOnce();
    return;
  }
  walked_.reset();
  // Read before the walk: a claim or release during it (ours or the UI's)
  // makes the next pass walk again.
  const uint64_t slotsBefore = slots_.Changes();
  bool complete = true;  // every path looked at, every open succeeded
  for (const std::string& path : listed_) {
    if (stop.IsSet()) {
      complete = false;
      break;
    }
    DeviceInterfaceInfo info;
    info.VendorId = PathVendorId(path);
    info.ProductId = PathProductId(path);
    info.InterfaceNumber = PathInterfaceNumber(path);
    info.CollectionNumber = PathCollectionNumber(path);
    info.DevicePath = path;
    if (!slots_.HasFreeSlotFor(info) || unclaimable_.count(path)) continue;
    if (!hid_->Open(path, true, false, true, false)) {
      complete = false;  // tried again on the next pass
      continue;
    }
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
  if (complete) walked_ = slotsBefore;
  PostIdentityOnce();
}

void DiscoveryWorker::PostIdentityOnce() {
  if (!firstPass_) return;
  firstPass_ = false;
  if (identityMessage_ != 0) owner_.Post(identityMessage_, 0, 0);
}

void DiscoveryWorker::RemovalScan(const platform::StopEvent& stop, std::optional<uint64_t> count,
                                  std::chrono::steady_clock::time_point now) {
  if (probes_.StillHolds(count, now)) return;
  probes_.valid = false;
  for (size_t i = 0; i < slots_.Count(); ++i) {
    if (stop.IsSet()) return;
    const DeviceInterfaceInfo slot = slots_.Slot(i);
    if (slot.Connected != 1) continue;
    if (backend_->IsPresent(slot.DevicePath)) continue;
    slots_.Release(i);
    owner_.Send(platform::msg::UM_INTERFACE_REMOVED, i, 0, &stop);
  }
  if (!stop.IsSet()) probes_ = {true, count, now};
}

}  // namespace hid
