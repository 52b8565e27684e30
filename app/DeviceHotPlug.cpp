// The main window's device bar: showing, selecting and hiding entries, the
// overlays, and what happens when the discovery worker reports an interface
// arriving or vanishing (attach, detach, the switch of a dual-mode device
// between cable and receiver), and the link state and layout messages the
// devices send. Everything here runs on the UI thread.

#include <chrono>
#include <mutex>
#include <thread>

#include "app/MainWnd.h"
#include "editors/CLightControlUI.h"
#include "platform/Trace.h"

namespace app {
namespace {

const QString kDeviceSwitch = QStringLiteral("device_switch");
const QString kPowerSwitch = QStringLiteral("device_power_switch");
const QString kNoDeviceLink = QStringLiteral("No_device_Link");
const QString kErrorDeviceLink = QStringLiteral("Error_device_Link");

// After a switch to the receiver the link is asked once and then up to 25
// more times, 50 ms apart.
constexpr int kLinkQueryTries = 26;
constexpr auto kLinkQueryPause = std::chrono::milliseconds(50);

bool SameInterface(const hid::DeviceInterfaceInfo& a, const hid::DeviceInterfaceInfo& b) {
  return a.VendorId == b.VendorId && a.ProductId == b.ProductId && a.InterfaceNumber == b.InterfaceNumber &&
         a.CollectionNumber == b.CollectionNumber && a.DeviceKind == b.DeviceKind &&
         a.InterfaceUse == b.InterfaceUse;
}

bool IsReceiverKind(int kind) { return kind == hid::kind::kMouseReceiver || kind == hid::kind::kKeyboardReceiver; }
bool IsCableDualKind(int kind) { return kind == hid::kind::kKeyboardCable || kind == hid::kind::kMouseCable; }
bool IsDualKind(int kind) { return IsCableDualKind(kind) || IsReceiverKind(kind); }

const char* ArrivalText(int kind) {
  if (kind == 1 || kind == 9) return "添加一个键盘设备";
  if (kind == 2 || kind == 6) return "添加一个鼠标设备";
  return "添加一个鼠标垫设备";
}
const char* RemovalText(int kind) {
  if (kind == 1 || kind == 9) return "删除一个键盘设备";
  if (kind == 2 || kind == 6) return "删除一个鼠标设备";
  return "删除一个鼠标垫设备";
}

// Replaces the handle of `mode` on `path` under ioLock; the channel is marked
// open and set to the mode only when the open succeeds, so a failure leaves
// it closed in its old mode.
bool ReopenUnderIoLock(protocol::CCommandChannel& channel, protocol::ConnectionMode mode, const std::string& path) {
  std::lock_guard io(channel.IoLock());
  channel.SetOpen(false);
  hid::CHidInterface& handle =
      mode == protocol::ConnectionMode::Receiver ? channel.ReceiverDevice() : channel.WiredDevice();
  handle.Close();
  if (!handle.Open(path, true, true, true, false)) return false;
  channel.SetOpen(true);
  channel.SetConnectionMode(int(mode));
  return true;
}

}  // namespace

// ---- entries ---------------------------------------------------------------

CDeviceOptionUI* CMainWnd::Entry(int index) const {
  return index >= 0 && size_t(index) < entries_.size() ? entries_[size_t(index)].data() : nullptr;
}

int CMainWnd::IndexOf(const CDeviceOptionUI* entry) const {
  for (size_t i = 0; i < entries_.size(); ++i)
    if (entries_[i] == entry) return int(i);
  return -1;
}

int CMainWnd::CountVisibleEntries(int* first) const {
  int count = 0;
  if (first) *first = -1;
  for (size_t i = 0; i < entries_.size(); ++i) {
    if (!entries_[i] || !entries_[i]->IsVisible()) continue;
    if (first && *first < 0) *first = int(i);
    ++count;
  }
  return count;
}

devices::CGesterinUSBDevice* CMainWnd::SelectedDevice() const {
  for (const auto& e : entries_)
    if (e && e->IsVisible() && e->IsSelected()) return DeviceOf(e);
  return nullptr;
}

CDeviceOptionUI* CMainWnd::EntryOf(const devices::CGesterinUSBDevice* device) const {
  for (const auto& e : entries_)
    if (e && DeviceOf(e) == device) return e;
  return nullptr;
}

void CMainWnd::ShowPowerPanelOf(CDeviceOptionUI& entry) {
  auto* power = qobject_cast<ui::CTabLayoutUI*>(FindControl(entry.PowerContainer()));
  if (!power) return;
  power->SetVisible(entry.PowerIndex() >= 0);
  if (entry.PowerIndex() >= 0) power->SelectItem(entry.PowerIndex());
}

void CMainWnd::ShowSelectedPowerPanel() {
  for (size_t i = 0; i < entries_.size(); ++i) {
    CDeviceOptionUI* e = entries_[i];
    if (!e || !e->IsVisible() || !e->IsSelected()) continue;
    selectedEntry_ = {int(i), e->Kind(), e->Role()};
    ShowPowerPanelOf(*e);
    return;
  }
}

void CMainWnd::ShowEntry(int index, bool visible, bool select) { ShowEntry(Entry(index), visible, select); }

void CMainWnd::ShowEntry(CDeviceOptionUI* entry, bool visible, bool select) {
  if (!entry) return;
  entry->SetVisible(visible);
  if (select) {
    if (auto* pages = qobject_cast<ui::CTabLayoutUI*>(FindControl(kDeviceSwitch)))
      pages->SelectItem(pages->GetItemIndex(entry->Device()));
    ShowPowerPanelOf(*entry);
    RequestStatus(*entry);
    entry->Select(true);
  }
  int synchro = 0;
  const int visibleCount = CountVisibleEntries();
  for (const auto& e : entries_)
    if (e && e->IsVisible() && e->IsSynchroSelected()) ++synchro;
  if (ui::CControlUI* overlay = FindControl(kNoDeviceLink)) overlay->SetVisible(visibleCount == 0);
  if (visibleCount == 0) {
    for (const QString& name : {kPowerSwitch, kDeviceSwitch})
      if (auto* tabs = qobject_cast<ui::CTabLayoutUI*>(FindControl(name))) tabs->SelectItem(0);
  }
  // Every lighting editor offers synchronised lighting only with two devices.
  for (const auto& list : devices_)
    for (const auto& d : list)
      if (d && d->LightEditor()) d->LightEditor()->SetSameModeAllowed(visibleCount > 1);
  // Synchronised lighting needs two devices.
  if (visibleCount <= 1)
    for (const auto& list : devices_)
      for (const auto& d : list)
        if (d) d->CommandChannel().SetHoldFlag(false);
  if (synchro <= 1)
    for (const auto& e : entries_)
      if (e) e->SetSynchroSelected(false);
}

void CMainWnd::HideEntry(int index) { HideEntry(Entry(index)); }

void CMainWnd::HideEntry(CDeviceOptionUI* entry) {
  if (!entry) return;
  CDeviceOptionUI* other = nullptr;
  if (entry->IsVisible() && entry->IsSelected()) {
    CloseAuxWindows();
    SendMessage(platform::msg::kCaptureHook, 0, 0);
    for (const auto& e : entries_)
      if (e && e != entry && e->IsVisible()) {
        other = e;
        break;
      }
  }
  ShowEntry(entry, false, false);
  if (other) ShowEntry(other, true, true);
}

void CMainWnd::UpdateNoDeviceOverlay() {
  if (ui::CControlUI* overlay = FindControl(kNoDeviceLink)) overlay->SetVisible(CountVisibleEntries() == 0);
}

// ---- which device an interface belongs to ----------------------------------

hid::DeviceInterfaceInfo CMainWnd::ReferenceRecord(size_t slotIndex) const {
  const hid::DeviceInterfaceInfo slot = slots_->Slot(slotIndex);
  hid::DeviceInterfaceInfo ref = slot;
  if (slot.InterfaceUse == hid::kUseSecond) {
    for (size_t i = 0; i < slots_->Count(); ++i) {
      const hid::DeviceInterfaceInfo s = slots_->Slot(i);
      if (s.VendorId == slot.VendorId && s.ProductId == slot.ProductId && s.DeviceKind == slot.DeviceKind &&
          s.InterfaceUse == hid::kUseCommand) {
        ref = s;
        if (IsReceiverKind(s.DeviceKind) && s.DualMode) ref = slots_->Slot(s.TwinSlot);
        break;
      }
    }
  } else if (IsReceiverKind(slot.DeviceKind) && slot.DualMode) {
    const hid::DeviceInterfaceInfo twin = slots_->Slot(slot.TwinSlot);
    if (twin.TwinSlot == slotIndex) ref = twin;
  }
  return ref;
}

bool CMainWnd::EntryExistsFor(size_t slotIndex) const {
  if (!slots_ || slotIndex >= slots_->Count()) return false;
  const hid::DeviceInterfaceInfo ref = ReferenceRecord(slotIndex);
  for (const auto& e : entries_) {
    const devices::CGesterinUSBDevice* d = DeviceOf(e);
    if (e && e->GetClass() == QLatin1String("DeviceOption") && d && SameInterface(d->Descriptor(), ref))
      return true;
  }
  return false;
}

devices::CGesterinUSBDevice* CMainWnd::DeviceAttachedTo(size_t slotIndex) const {
  const hid::DeviceInterfaceInfo ref = ReferenceRecord(slotIndex);
  for (const auto& list : devices_)
    for (const auto& d : list)
      if (d && SameInterface(d->Descriptor(), ref)) return d;
  return nullptr;
}

// ---- arrival and removal ---------------------------------------------------

void CMainWnd::OnSlotArrived(size_t slotIndex) {
  if (!slots_ || slotIndex >= slots_->Count()) return;
  const hid::DeviceInterfaceInfo slot = slots_->Slot(slotIndex);
  const int kind = slot.DeviceKind;
  Trace(ArrivalText(kind));
  if (!EntryExistsFor(slotIndex))
    CreateDevicePage(hid::FindSupportedRow(slot.VendorId, slot.ProductId, kind, hid::kUseCommand), 0);
  devices::CGesterinUSBDevice* device = DeviceAttachedTo(slotIndex);
  if (device && slot.InterfaceUse == hid::kUseSecond) {
    device->OpenEventInterface(kind, slot.DevicePath);
  } else if (device && IsDualKind(kind) && slots_->IsTwinConnected(slotIndex)) {
    // Attached through its other mode already: a cable takes over.
    if (IsCableDualKind(kind)) SwitchMode(slotIndex);
  } else if (device) {
    AttachCommandInterface(slotIndex, *device);
  }
  UpdateOverlayAndRaise();
}

void CMainWnd::AttachCommandInterface(size_t slotIndex, devices::CGesterinUSBDevice& device) {
  protocol::CCommandChannel& channel = device.CommandChannel();
  if (channel.IsOpen()) return;
  const hid::DeviceInterfaceInfo slot = slots_->Slot(slotIndex);
  const bool receiver = IsReceiverKind(slot.DeviceKind);
  const auto mode = receiver ? protocol::ConnectionMode::Receiver : protocol::ConnectionMode::Wired;
  {
    std::lock_guard io(channel.IoLock());
    if (!ReopenUnderIoLock(channel, mode, slot.DevicePath)) return;  // closed; the entry stays as it is
    device.Attach(receiver && slot.DualMode ? slots_->Slot(slot.TwinSlot) : slot);
  }
  CDeviceOptionUI* entry = EntryOf(&device);
  if (!entry) return;
  // A receiver's entry shows once its wireless device answers (timer 1001).
  if (!receiver) ShowEntry(entry, true, CountVisibleEntries() == 0);
  entry->StartInitialLoad();
}

void CMainWnd::OnSlotRemoved(size_t slotIndex) {
  if (!slots_ || slotIndex >= slots_->Count()) return;
  const hid::DeviceInterfaceInfo slot = slots_->Slot(slotIndex);
  const int kind = slot.DeviceKind;
  Trace(RemovalText(kind));
  devices::CGesterinUSBDevice* device = DeviceAttachedTo(slotIndex);
  if (slot.InterfaceUse == hid::kUseSecond) {
    if (device) device->CloseEventInterface(kind);
    return;
  }
  if (kind == 1 || kind == 9) Trace("键盘设备丢失");
  if (kind == 2 || kind == 6) Trace("鼠标设备丢失");
  if (IsDualKind(kind) && slots_->IsTwinConnected(slotIndex)) {
    // The other mode stays: losing the cable goes back to the receiver.
    if (IsCableDualKind(kind)) SwitchMode(slotIndex);
    return;
  }
  if (!device) return;
  device->CommandChannel().CloseHandles();
  HideEntry(EntryOf(device));
}

// ---- cable <-> receiver ----------------------------------------------------

void CMainWnd::SwitchMode(size_t slotIndex) {
  const hid::DeviceInterfaceInfo slot = slots_->Slot(slotIndex);
  const hid::DeviceInterfaceInfo twin = slots_->Slot(slot.TwinSlot);
  devices::CGesterinUSBDevice* device = nullptr;
  for (const auto& e : entries_) {
    devices::CGesterinUSBDevice* d = DeviceOf(e);
    if (d && (SameInterface(d->Descriptor(), slot) || SameInterface(d->Descriptor(), twin))) {
      device = d;
      break;
    }
  }
  if (!device) return;
  CDeviceOptionUI* entry = EntryOf(device);
  protocol::CCommandChannel& channel = device->CommandChannel();
  const bool toCable = channel.ReceiverMode();
  const std::string& path = toCable ? slot.DevicePath : twin.DevicePath;
  const auto mode = toCable ? protocol::ConnectionMode::Wired : protocol::ConnectionMode::Receiver;
  if (!ReopenUnderIoLock(channel, mode, path)) return;  // not open, old mode
  if (!toCable) {
    if (HasBatteryPanel(*device)) {
      bool linked = false;
      for (int i = 0; i < kLinkQueryTries && !linked; ++i) {
        linked = channel.QueryWirelessLink();
        if (!linked) {
          Trace("获取2.4G模式失败");
          if (i + 1 < kLinkQueryTries) std::this_thread::sleep_for(kLinkQueryPause);
        }
      }
      Trace("获取2");
      device->PollStatus();
    }
    if (entry) StartLinkWatch(*entry, kFirstLinkWatchMs);
  } else {
    if (entry) entry->StartInitialLoad();
    SendMessage(platform::msg::kLinkState, uint64_t(device->PageTableRow()), 1);
    if (HasBatteryPanel(*device)) device->PollStatus();
  }
}

// ---- messages from the devices ---------------------------------------------

void CMainWnd::OnLinkState(uint64_t row, int64_t online) {
  const int index = int(row);
  if (online == 0) {
    HideEntry(index);
    Trace("2.4gcesvdfherhue 1");
    return;
  }
  CDeviceOptionUI* entry = Entry(index);
  if (entry && !entry->IsVisible()) ShowEntry(entry, true, CountVisibleEntries() == 0);
}

void CMainWnd::OnInfoBlockUsable(uint64_t usable) {
  g_bDeviceUsable = usable != 0 ? 1 : 0;
  if (ui::CControlUI* error = FindControl(kErrorDeviceLink)) error->SetVisible(usable == 0);
}

}  // namespace app
