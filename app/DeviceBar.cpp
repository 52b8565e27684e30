#include "app/DeviceBar.h"

#include <chrono>

#include "platform/Messages.h"
#include "platform/Trace.h"

namespace app {

std::atomic<int> g_bDeviceUsable{0};

namespace bt = devices::bartimer;

devices::CGesterinUSBDevice* DeviceOf(const CDeviceOptionUI* entry) {
  return entry ? qobject_cast<devices::CGesterinUSBDevice*>(entry->Device()) : nullptr;
}

bool HasBatteryPanel(const devices::CGesterinUSBDevice& device) { return device.PowerPanelStyle() != 0; }

void RequestStatus(CDeviceOptionUI& entry) {
  devices::CGesterinUSBDevice* device = DeviceOf(&entry);
  if (device && HasBatteryPanel(*device) && device->CommandChannel().IsOpen())
    entry.ArmTimer(bt::kStatusPoll, kPromptStatusMs);
}

void StartLinkWatch(CDeviceOptionUI& entry, uint32_t ms) {
  devices::CGesterinUSBDevice* device = DeviceOf(&entry);
  if (device && device->CommandChannel().IsOpen()) entry.ArmTimer(bt::kLinkWatch, ms);
}

void MarkLinkState(devices::CGesterinUSBDevice& device, bool online) {
  if (platform::MessageTarget* main = device.MainWindow())
    main->Send(platform::msg::kLinkState, uint64_t(device.PageTableRow()), online ? 1 : 0);
}

namespace {

// The light steps of all entries fall on one grid of their period, so the
// event loop wakes once per step for every device instead of once for each.
void ArmLightStep(CDeviceOptionUI& entry, uint32_t requestedMs) {
  const uint32_t periodMs = TimerPeriod(requestedMs);
  const auto now = std::chrono::duration_cast<std::chrono::milliseconds>(
                       std::chrono::steady_clock::now().time_since_epoch())
                       .count();
  const uint32_t delay = periodMs - uint32_t(now % periodMs);
  entry.ArmTimer(bt::kLightStep, delay);
}

void FirstLoad(CDeviceOptionUI& entry, devices::CGesterinUSBDevice& device) {
  entry.DisarmTimer(bt::kFirstLoad);
  protocol::CCommandChannel& channel = device.CommandChannel();
  if (!channel.IsOpen()) return;
  const bool receiver = channel.ReceiverMode();
  if (receiver) {
    if (!device.IsLinked()) {
      entry.CountLinkFailure();
      MarkLinkState(device, false);
      entry.ArmTimer(bt::kFirstLoad, kLinkRetryMs);
      return;
    }
    MarkLinkState(device, true);
  }
  device.LoadFromDevice();
  entry.ResetLinkFailures();
  ArmLightStep(entry, kFirstLightStepMs);
  if (receiver) StartLinkWatch(entry, kFirstLinkWatchMs);
}

void LinkWatch(CDeviceOptionUI& entry, devices::CGesterinUSBDevice& device) {
  protocol::CCommandChannel& channel = device.CommandChannel();
  if (!channel.ReceiverMode()) {
    if (channel.IsOpen()) Trace("2.4gcesvdfherhue  12312423");
    entry.DisarmTimer(bt::kLinkWatch);
    return;
  }
  entry.ArmTimer(bt::kLinkWatch, kLinkWatchMs);
  const bool linked = device.IsLinked() != 0;
  if (linked && !entry.IsVisible()) {
    MarkLinkState(device, true);
    device.LoadFromDevice();
    if (HasBatteryPanel(device)) device.PollStatus();
    Trace("2.4gcesvdfherhue  12312423 123342341");
  } else if (!linked && entry.IsVisible()) {
    MarkLinkState(device, false);
    Trace("2.4gcesvdfherhue");
  }
}

}  // namespace

void RunEntryTimer(CDeviceOptionUI& entry, uint32_t id) {
  devices::CGesterinUSBDevice* device = DeviceOf(&entry);
  if (!device) {
    entry.DisarmTimer(id);
    return;
  }
  protocol::CCommandChannel& channel = device->CommandChannel();
  switch (id) {
    case bt::kLightStep:
      if (!channel.IsOpen()) {
        entry.DisarmTimer(id);
        return;
      }
      device->LightStep();
      // The period follows the mode, which a mode switch may have changed;
      // the first step after arming came on the grid, the next ones keep it.
      if (const uint32_t period = TimerPeriod(channel.ReceiverMode() ? kReceiverLightStepMs : kCableLightStepMs);
          entry.TimerInterval(id) != period) {
        if (entry.TimerInterval(id) > period) ArmLightStep(entry, period);
        else entry.ArmTimer(id, period);
      }
      return;
    case bt::kFirstLoad:
      FirstLoad(entry, *device);
      return;
    case bt::kReloadSettings:
      entry.DisarmTimer(id);
      device->ReloadSettings();
      return;
    case bt::kSpareHook1:
      entry.DisarmTimer(id);
      device->SpareHook1();
      return;
    case bt::kSpareHook2:
      entry.DisarmTimer(id);
      device->SpareHook2();
      return;
    case bt::kStatusPoll:
      device->PollStatus();
      if (HasBatteryPanel(*device)) entry.ArmTimer(id, kStatusPollMs);
      else entry.DisarmTimer(id);
      return;
    case bt::kLinkWatch:
      LinkWatch(entry, *device);
      return;
    default:
      entry.DisarmTimer(id);
      return;
  }
}

}  // namespace app
