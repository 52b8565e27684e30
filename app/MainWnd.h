#pragma once
// The main window: the program's one top-level window (layout "XML_MAIN").
// It owns the interface slots, the device pages (one device object per
// supported device, each with its bar entry and power panel), the worker
// table (device discovery at 0, the audio daemon at 1, light sync at 8), the
// title buttons, the tray icon with its menu, the language, the skin frame
// and the about window, and it receives every message other threads and
// processes send to the program.

#include <array>
#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <vector>

#include <QPointer>
#include <QSize>

#include "app/AboutWnd.h"
#include "app/DeviceBar.h"
#include "app/Dialogs.h"
#include "app/Environment.h"
#include "app/Language.h"
#include "app/FirmwareCheck.h"
#include "app/SetWnd.h"
#include "app/UpdateWatch.h"
#include "app/SkinFrame.h"
#include "app/SkinObserver.h"
#include "app/SuspendHook.h"
#include "devices/Models.h"
#include "devices/core/LightClock.h"
#include "devices/core/SyncRender.h"
#include "hid/DiscoveryWorker.h"
#include "hid/InterfaceSlots.h"
#include "musiclight/MusicLink.h"
#include "musiclight/MusicWnd.h"
#include "platform/Settings.h"
#include "platform/Worker.h"
#include "platform/WindowBus.h"
#include "ui/UILib.h"

namespace devices {
class CDeviceProfileUI;
}

namespace app {

class MacroCapture;

inline constexpr int kMainWndWidth = 800;
inline constexpr int kMainWndHeight = 572;
inline constexpr int kTrayIconId = 107;
inline constexpr uint32_t kTestKeyTimer = 1002;
inline constexpr uint32_t kDpiTimer = 1011;
inline constexpr uint32_t kIdleTimer = 1031;
inline constexpr uint32_t kTrayMenuTimer = 1032;
inline constexpr uint32_t kProfileSwitchTimer = 1055;
inline constexpr uint32_t kGameLightTimer = 1066;
inline constexpr uint32_t kProfileSwitchDelayMs = 400;
inline constexpr uint32_t kGameLightMs = 5000;
inline constexpr uint32_t kIdleTimerMs = 5000;

// Window messages the hook tests besides the program's own numbers.
inline constexpr uint32_t kPowerBroadcast = 0x0218;  // WM_POWERBROADCAST
inline constexpr uint64_t kPowerSuspend = 4;         // PBT_APMSUSPEND
inline constexpr uint64_t kPowerResume = 0x12;       // PBT_APMRESUMEAUTOMATIC
inline constexpr uint32_t kDpiNotice = 1224;

// The profile panel's buttons.
enum class ProfileButton { Spread, Add, Delete, Copy, Import, Export, Reset, Rename };
inline constexpr int kDesignWidth = 1000;   // the layout at 96 DPI
inline constexpr int kDesignHeight = 640;
inline constexpr int kWorkerSlots = 20;
inline constexpr int kDiscoverySlot = 0;
inline constexpr int kAudioDaemonSlot = 1;
inline constexpr int kLightSyncSlot = 8;
inline constexpr auto kWorkerStopBound = std::chrono::milliseconds(1000);

// Device kind rows (DeviceKindTable / DevicePageTable).
enum class PageKind { Mouse = 0, Keyboard = 1, MousePad = 2, Headset = 3 };

// Called once the first discovery pass has brought the window forward.
using FirstShownHook = std::function<void()>;

// The main page: a virtual window named "mainpage" whose "click",
// "selectchanged" and "itemclick" handlers do nothing.
class CMainPage : public ui::CNotifyPump {
 public:
  CMainPage();
};

class CMainWnd : public ui::WindowImplBase, public SkinReceiver {
 public:
  CMainWnd(platform::SettingsStore& store, const ProgramMessages& messages,
           std::shared_ptr<hid::HidBackend> backend);
  ~CMainWnd() override;

  QString GetWindowClassName() const override { return QStringLiteral("MainWnd"); }
  QString GetSkinFile() override { return QStringLiteral("XML_MAIN"); }
  void InitWindow() override;
  void Notify(ui::TNotifyUI& msg) override;
  int64_t HandleCustomMessage(const platform::Message& msg, bool& handled) override;
  int Receive(const SkinChangedParam& param) override;
  ui::CControlUI* CreateControl(const QString& className) override;

  // Creates the window (title "VX27 MOUSE", 800 x 572) and centres it.
  bool CreateMain();
  void ApplyLanguage(int index);
  int CurrentLanguage() const { return language_.Current(); }
  // Restores the window and brings it to the front.
  void UpdateOverlayAndRaise();
  // The tray menu's "exit": closes the auxiliary windows, then this window,
  // which ends the message loop.
  void Exit();
  void CloseAuxWindows();

  CAboutWnd* AboutWindow() const { return about_.get(); }
  // ---- settings and firmware check (MainWndSettings.cpp) ------------------
  // Runs the settings window modally ("setbtn": beside the right edge;
  // the tray menu and 3093: centred); nothing while one is open.
  void OpenSettingsWindow(bool centred);
  CSetWnd* SettingsWindow() const { return settings_.get(); }
  // The versions of the bar's devices and of the program.
  std::vector<UpdateDescriptor> CollectDeviceVersions() const;
  // UWM_TOOL_BF15_MSG: traced "updater report <wParam> <lParam>", then to
  // the settings window while it is open.
  void ForwardToolReport(uint64_t wParam, int64_t lParam);
  // Message 3332. On a confirmed update the updater's reports go to the
  // settings row of the device ("MS", "KB", "X27"), which takes the image's
  // revision; an updater that ends without reporting a result counts as
  // failed (2).
  void OnFirmwareVersionCheck(int64_t version);
  // The settings row of the firmware update under way (empty: none).
  std::string UpdateRowOf(devices::CGesterinUSBDevice* device) const;
  // How the updater is started (tests replace QProcess::startDetached).
  void SetUpdaterStart(decltype(FirmwareCheckHooks::start) start) { updaterStart_ = std::move(start); }
  std::string FirmwareUpdateRow() const { return firmwareUpdate_ ? firmwareUpdate_->row : std::string(); }
  CSkinFrame* SkinFrame() const { return skinFrame_.get(); }
  void OpenAbout();
  void OpenSkinFrame();

  // ---- routing, hook, timers (MainWndMessages.cpp) -------------------------
  void OnTimer(uint32_t id);
  // False between a suspend and the resume: hook, game, device and tray
  // messages are ignored then.
  bool SystemAwake() const { return systemAwake_; }
  bool WindowActive() const { return windowActive_; }
  bool MouseInside() const { return mouseInside_; }
  // The light control switch ("control_light_status"): toggles, tells the
  // other programs on the bus, shows the state and hands it to the devices.
  void ToggleLightControl();
  // Light control from another program: as the switch, without the broadcast.
  void SetLightControl(bool on);
  bool LightControl() const { return lightControl_; }
  // "closebtn": the auxiliary windows close and the window hides to the tray.
  void CloseToTray();
  // "device_select_prev" / "device_select_next".
  void SelectNeighbourEntry(bool next);
  // "windowdeviceset_"0 keyboard, 1 mouse: the desktop's own settings for it.
  void OpenDesktopDeviceSettings(int which);
  // A game event: the selected device leaves synchronised lighting and shows
  // light effect `effect`, written into its light state the way `how` says:
  // 0 the mode alone, 1 the mode at full brightness, 2 the mode at full
  // brightness in seven colours. Timer 1066 gives the device its profile's
  // lighting back. The game's effect never reaches the profile file.
  void OnGameEvent(uint64_t how, int64_t effect);
  // Timer 1066.
  void RestoreGameLighting();
  // The window-hidden flag of every mouse and keyboard (with a battery panel
  // only, when `batteryOnly`): their status polls stop while it is set.
  void SetWindowHiddenFlags(bool hidden, bool batteryOnly = false);
  // What a peer on the window bus may send this window.
  static bool PeerMayPost(const platform::BusMessage& message);
  void OnBusMessage(const platform::BusMessage& message);
  // The game messages' numbers in this process.
  const std::array<platform::MessageId, 4>& GameMessages() const { return gameMessages_; }
  // Suspend and resume of the system (null before the window is set up).
  SuspendHook* PowerHook() const { return suspendHook_.get(); }

  // ---- profile panel and files (MainWndProfiles.cpp) ----------------------
  devices::CDeviceProfileUI* ProfilePanelOf(devices::CGesterinUSBDevice* device) const;
  void OnProfileButton(ProfileButton button);
  // "selectchanged" of function tab n of the selected device's panel.
  void OnFunctionTab(int n);
  // "itemselect" of the profile combo: the switch follows 400 ms after the
  // last pick.
  void OnProfilePicked();
  // Timer 1055: the combo's profile becomes the device's.
  void SwitchProfile();
  // After a reset: the device takes the factory profile.
  void ApplyReset(devices::CGesterinUSBDevice& device);
  void SetDialogs(std::unique_ptr<DialogSeam> dialogs) { dialogs_ = std::move(dialogs); }
  DialogSeam& Dialogs() { return *dialogs_; }
  // A message box with a text id, or with the id's text and a number in it.
  int ShowMessageId(const QString& textId, int buttons = 0);
  int ShowMessageNumber(devices::CGesterinUSBDevice& device, const QString& textId, int number);
  // The Windows code page of the chosen language (name length checks).
  int LanguageCodePage() const;

  // ---- devices -----------------------------------------------------------
  // Builds the power panel, bar entry and page of the kind of the slot;
  // false (nothing kept) when the kind is unknown or a layout fails.
  bool CreateDevicePage(int slotIndex, int role);
  // Chooses 96 or 144 DPI by the monitor and lays the window out at
  // 1000 x 640 design size.
  void ApplyDpiPolicy();
  // Hides the window, sets every worker's stop event, waits for each in turn
  // (1000 ms bound each, traced) and releases the table.
  void StopWorkers();
  // ---- synchronised lighting (SyncLighting.cpp) ---------------------------
  // "deng_same_mode": the selected device's light mode becomes the common
  // effect; every open device takes that effect's mode of its kind (state,
  // profile, hardware) and is held by the sync worker.
  void StartSyncLighting();
  // The worker of slot 8: renders the common effect into the held devices'
  // light colours; idles a second at a time while no device is held.
  void LightSyncThread(const platform::StopEvent& stop);
  // One frame's colour into every light of every held device.
  void SendSyncFrame(uint8_t red, uint8_t green, uint8_t blue, uint8_t brightness);
  devices::sync::Settings SyncSettings() const { return syncSettings_.Load(); }
  // Frames sent since the window started.
  uint32_t SyncFrames() const { return syncFrames_.load(); }
  // The sync worker's clock (tests step a manual one). Only before the
  // window initialises.
  void SetSyncClock(std::shared_ptr<devices::LightClock> clock) { syncClock_ = std::move(clock); }
  // ---- device bar (DeviceHotPlug.cpp) -------------------------------------
  void OnSlotArrived(size_t slotIndex);
  void OnSlotRemoved(size_t slotIndex);
  // Shows or hides the entry; `select` also selects its page and power
  // panel. Then the overlay, the synchronised lighting and the synchro
  // checks follow the number of visible entries.
  void ShowEntry(int index, bool visible, bool select);
  void ShowEntry(CDeviceOptionUI* entry, bool visible, bool select);
  // Hides the entry; a selected one hands the selection to another visible
  // entry.
  void HideEntry(int index);
  void HideEntry(CDeviceOptionUI* entry);
  // The number of visible entries; `first` gets the index of the first
  // (-1: none).
  int CountVisibleEntries(int* first = nullptr) const;
  devices::CGesterinUSBDevice* SelectedDevice() const;

  // Music lighting. The link hands levels and the host colour to the first
  // keyboard through these calls (empty: the keyboard does not take them yet).
  using KeyboardAudioSeam =
      std::function<void(devices::CGesterinUSBDevice& keyboard, std::span<const int32_t> values)>;
  void SetKeyboardAudioSeam(KeyboardAudioSeam levels, KeyboardAudioSeam hostColours);
  musiclight::MusicLink* Music() const { return music_.get(); }
  const musiclight::AudioLightInfo& AudioInfo() const { return audioInfo_; }
  // Opens the music light window modally; on OK takes, sends and saves its record.
  void OpenMusicWindow();
  void ShowSelectedPowerPanel();
  // Some entry drives the device this slot's interface belongs to.
  bool EntryExistsFor(size_t slotIndex) const;
  CDeviceOptionUI* Entry(int index) const;
  int IndexOf(const CDeviceOptionUI* entry) const;
  CDeviceOptionUI* EntryOf(const devices::CGesterinUSBDevice* device) const;
  // Messages 3331 (link state) and 3333 (information block usable).
  void OnLinkState(uint64_t row, int64_t online);
  void OnInfoBlockUsable(uint64_t usable);
  struct SelectedEntryInfo {
    int index = -1, kind = 0, role = 0;
  };
  const SelectedEntryInfo& SelectedEntry() const { return selectedEntry_; }

  const std::vector<QPointer<devices::CGesterinUSBDevice>>& Devices(PageKind kind) const {
    return devices_[size_t(kind)];
  }
  const std::vector<QPointer<CDeviceOptionUI>>& Entries() const { return entries_; }
  const std::vector<QPointer<CMpDevicePowerUI>>& PowerPanels() const { return powerPanels_; }
  hid::InterfaceSlots* Slots() { return slots_ ? &*slots_ : nullptr; }
  int SlotFillCount() const { return slotFills_; }
  int Dpi() const { return dpi_; }
  QSize ScreenSize() const { return screenSize_; }
  bool WorkerRunning(int index) const;
  // The monitor size the DPI policy uses (tests replace the screen).
  void SetMonitorSizeSource(std::function<QSize()> source) { monitorSize_ = std::move(source); }
  void SetFirstShownHook(FirstShownHook hook) { firstShown_ = std::move(hook); }
  // Input capture and macro recording (MacroCapture.h).
  MacroCapture& Macros() { return *macros_; }

 private:
  void OnTrayClick(int64_t mouseMessage);
  // The device kind table for the window titled "ZiriDude".
  void SendKindTable();
  void RegisterInputMessages();
  void HandToDevices(bool lightControl);
  void OpenTrayMenu();
  void OnMenuCommand(uint64_t token);
  void InitialiseWindow();
  void StartWorkers();
  void UpdateNoDeviceOverlay();
  void ShowPowerPanelOf(CDeviceOptionUI& entry);
  // The command interface record a device attached through this slot
  // carries: a second interface's command slot, a dual-mode receiver's
  // cable twin.
  hid::DeviceInterfaceInfo ReferenceRecord(size_t slotIndex) const;
  devices::CGesterinUSBDevice* DeviceAttachedTo(size_t slotIndex) const;
  void AttachCommandInterface(size_t slotIndex, devices::CGesterinUSBDevice& device);
  // A dual-mode device whose other mode stays attached moves to the mode of
  // the cable slot that arrived (cable) or left (receiver).
  void SwitchMode(size_t slotIndex);

  platform::SettingsStore& store_;
  ProgramMessages messages_;
  LanguageSwitcher language_;
  ui::CTrayIcon tray_;
  std::unique_ptr<ui::CMenuWnd> menu_;
  std::unique_ptr<CAboutWnd> about_;
  std::unique_ptr<CSetWnd> settings_;
  // The firmware update under way: its settings row, whether the updater
  // reported a result (1 or 2), and the watch on the updater's process.
  struct FirmwareUpdate {
    std::string row;
    bool resulted = false;
    std::unique_ptr<ProcessWatch> watch;
  };
  std::optional<FirmwareUpdate> firmwareUpdate_;
  decltype(FirmwareCheckHooks::start) updaterStart_ = StartDetached;
  std::unique_ptr<CSkinFrame> skinFrame_;
  std::unique_ptr<platform::BusWindow> bus_;
  bool registered_ = false;

  CMainPage mainPage_;
  profiles::CKeyboardProfiledata keyboardScratch_;
  std::shared_ptr<hid::HidBackend> backend_;
  std::optional<hid::InterfaceSlots> slots_;
  int slotFills_ = 0;
  bool initialised_ = false;
  bool shownOnce_ = false;
  int dpi_ = 96;
  QSize screenSize_;
  std::function<QSize()> monitorSize_;
  FirstShownHook firstShown_;
  // The four device lists (keyboards, mice, pads, headsets by kind row).
  // Only the UI thread changes them, by appending; the sync worker reads
  // them on its own thread, so an append and each worker pass hold
  // deviceListsLock_.
  std::array<std::vector<QPointer<devices::CGesterinUSBDevice>>, 4> devices_;
  mutable std::mutex deviceListsLock_;
  // Synchronised lighting: the settings the UI thread sets and the worker
  // reads; the renderer belongs to the worker alone.
  devices::sync::SharedSettings syncSettings_;
  devices::sync::Renderer syncRenderer_;
  std::atomic<uint32_t> syncFrames_{0};
  std::shared_ptr<devices::LightClock> syncClock_ = std::make_shared<devices::SteadyLightClock>();
  std::vector<QPointer<CDeviceOptionUI>> entries_;
  std::unique_ptr<MacroCapture> macros_;
  std::vector<QPointer<CMpDevicePowerUI>> powerPanels_;
  SelectedEntryInfo selectedEntry_;
  std::unique_ptr<hid::DiscoveryWorker> discovery_;
  std::array<std::unique_ptr<platform::Worker>, kWorkerSlots> workers_;

  std::unique_ptr<DialogSeam> dialogs_ = std::make_unique<SystemDialogs>();
  std::unique_ptr<SuspendHook> suspendHook_;
  // The music lighting link: colour groups, their file, the companion.
  std::unique_ptr<musiclight::MusicLink> music_;
  std::unique_ptr<musiclight::AudioFile> audioFile_;
  std::unique_ptr<musiclight::MusicWnd> musicWnd_;
  musiclight::AudioLightInfo audioInfo_;
  KeyboardAudioSeam keyboardLevels_, keyboardHostColours_;
  void StartMusicLink();
  std::array<platform::MessageId, 4> gameMessages_{};
  bool systemAwake_ = true;
  bool windowActive_ = false;
  bool mouseInside_ = false;
  // The device showing a game event's effect and the lighting it had before.
  QPointer<devices::CGesterinUSBDevice> gameLightDevice_;
  profiles::LightInfoRecord gameLightBefore_;
  bool lightControl_ = true;
  bool displayChanged_ = false;
  int testKeyOffset_ = 0;
};

}  // namespace app
