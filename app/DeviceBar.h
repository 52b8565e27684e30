#pragma once
// The device bar's side of the application: the entry and power panel
// controls (controls/), what an entry's timers do to its device, and the
// process-wide flag of message 3333.
//
// Entry timers (on the UI thread; "open" is the device's command channel
// open flag, "receiver" its receiver mode):
//   1000  light step; re-armed while open, 500 ms in receiver mode, 5 ms
//         by cable
//   1001  first load: in receiver mode the device must answer the link
//         query first (a failure is counted, the device marked offline and
//         the load tried again in 5 s); then LoadFromDevice, light steps,
//         and in receiver mode the link watch in 2 s
//   1002  ReloadSettings, once
//   1003, 1004  the device's spare hooks, once
//   1005  PollStatus; every 10 s while the device has a battery panel
//   1007  link watch, every 3 s in receiver mode: a hidden entry whose device
//         answers is marked online (and loaded), a visible one whose device
//         does not is marked offline
// Marking online or offline sends message 3331 (wParam the device's page
// table row, lParam 1 or 0) to the main window, which shows or hides the
// entry.

#include <atomic>
#include <cstdint>

#include "controls/CDeviceOptionUI.h"
#include "controls/CMpDevicePowerUI.h"
#include "devices/CGesterinUSBDevice.h"

namespace app {

using controls::CDeviceOptionUI;
using controls::CMpDevicePowerUI;

inline constexpr uint32_t kCableLightStepMs = 5;
inline constexpr uint32_t kReceiverLightStepMs = 500;
inline constexpr uint32_t kStatusPollMs = 10000;
inline constexpr uint32_t kPromptStatusMs = 50;
inline constexpr uint32_t kLinkRetryMs = 5000;
inline constexpr uint32_t kLinkWatchMs = 3000;
inline constexpr uint32_t kFirstLinkWatchMs = 2000;
inline constexpr uint32_t kFirstLightStepMs = 5;
// A timer shorter than the system tick fired once per tick: the 5 ms light
// step came every 15.625 ms, in step with the light engine's one pass per tick.
inline constexpr uint32_t kTimerTickMs = 16;
constexpr uint32_t TimerPeriod(uint32_t ms) { return ms < kTimerTickMs ? kTimerTickMs : ms; }

// 1 once a device accepted the data it read (message 3333, the firmware
// check), 0 when one could not use it.
extern std::atomic<int> g_bDeviceUsable;

devices::CGesterinUSBDevice* DeviceOf(const CDeviceOptionUI* entry);
bool HasBatteryPanel(const devices::CGesterinUSBDevice& device);

// What the entry's timer `id` does; the handler every entry gets.
void RunEntryTimer(CDeviceOptionUI& entry, uint32_t id);
// Timer 1005 in 50 ms when the device has a battery panel and its channel
// is open.
void RequestStatus(CDeviceOptionUI& entry);
// Timer 1007 in `ms` when the device's channel is open.
void StartLinkWatch(CDeviceOptionUI& entry, uint32_t ms);
// Message 3331 for the device's row: online (1) or offline (0).
void MarkLinkState(devices::CGesterinUSBDevice& device, bool online);

}  // namespace app
