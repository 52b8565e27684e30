#pragma once
// CGesterinUSBDevice: at once the page that shows one device and the object
// that talks to it. The base holds what every model shares: identity, the
// command channel and the event interfaces, the information block, the key
// and light caps found on the page, the light colours the light thread
// computes and the page shows, the lighting state, the common effect steps,
// the thread plumbing and the data paths. The models override what they do
// differently; an operation the base leaves empty does nothing on purpose
// (no device data is made up).
//
// Threads: the UI thread (notifications, the device bar's timers, every
// command), the light thread of a model, one event thread per open event
// handle. Event threads never send commands: they only arm a timer of the
// device bar entry, which runs on the UI thread.

#include <array>
#include <atomic>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <span>
#include <string>
#include <vector>

#include <QPointer>

#include "devices/core/EventReader.h"
#include "devices/core/LightEngine.h"
#include "devices/core/LightThread.h"
#include "hid/SupportedDevices.h"
#include "platform/Worker.h"
#include "profiles/ProfileRecords.h"
#include "protocol/CommandChannel.h"
#include "protocol/DeviceRecords.h"
#include "protocol/LightFrame.h"
#include "ui/UILib.h"

namespace controls {
class CDeviceKeyButtonUI;
}
namespace editors {
class CLightControlUI;
}

namespace devices {

// Timers of the device bar entry that the device arms.
namespace bartimer {
inline constexpr uint32_t kLightStep = 1000;
inline constexpr uint32_t kFirstLoad = 1001;
inline constexpr uint32_t kReloadSettings = 1002;
inline constexpr uint32_t kSpareHook1 = 1003;
inline constexpr uint32_t kSpareHook2 = 1004;
inline constexpr uint32_t kStatusPoll = 1005;
inline constexpr uint32_t kLinkWatch = 1007;
}  // namespace bartimer
inline constexpr uint32_t kReloadDelayMs = 50;

// Event codes the base reacts to.
namespace eventcode {
inline constexpr uint16_t kReloadSettings = 0x401;
inline constexpr uint16_t kProfileReset = 0x402;
inline constexpr uint16_t kClick = 0x403;
}  // namespace eventcode
inline constexpr uint8_t kHostColourEffect = 20;

class CGesterinUSBDevice : public ui::CHorizontalLayoutUI, public ui::CNotifyPump, public ui::INotifyUI {
  Q_OBJECT
 public:
  // `kind`: 1 keyboard, 2 mouse, 3 mouse pad, 7 headset until attached.
  CGesterinUSBDevice(std::shared_ptr<hid::HidBackend> backend, int kind);
  ~CGesterinUSBDevice() override;

  QString GetClass() const override { return QStringLiteral("GesterinUSBDevice"); }
  bool IsClass(const QString& className) const override;
  // Passes a notification of one of the page's own controls to the pump.
  void Notify(ui::TNotifyUI& msg) override;

  // ---- virtual operations ----------------------------------------------
  // Finds the select panel and the caps on it ("key_"N, "light_"N); with no
  // layout, clears the counts, the caps and the colours.
  virtual void InitPage();
  virtual int ApplyLightingFromProfile() { return 0; }
  virtual void StepBreathing();
  virtual void StepFourColourBreathing();
  virtual void StepStatic();
  virtual void StepColourCycle();
  virtual void StepBlink();
  virtual void StepFourColourBlink();
  virtual void StepOff();
  // Copies every light's colour to its cap and builds the light frame.
  virtual void LightStep();
  virtual void SetLightColour(int index, LightColour value);
  virtual LightColour GetLightColour(int index) const;  // zero for an invalid index
  virtual void LoadFromDevice() {}
  virtual void ReloadSettings() {}
  virtual void SpareHook1() {}
  virtual void SpareHook2() {}
  virtual void PollStatus() {}
  virtual int IsLinked() { return 1; }
  virtual int LoadProfile() { return 0; }
  virtual void ShowSettings() {}
  virtual void RepairMacroKeys() {}
  virtual void ReloadProfile() {}
  virtual std::vector<int> CollectUsedMacros() { return {}; }
  virtual int WriteKeyMapToDevice(int /*page*/, std::span<const profiles::KeyAssignment>) { return 0; }
  virtual int WriteKeysFromProfile(int /*page*/) { return 0; }
  virtual int WriteMacrosToDevice(std::span<const int> /*macros*/) { return 0; }
  virtual int WriteSettingsToDevice(int, int, int, int, int) { return 0; }
  virtual void LoadCatalogues() {}
  virtual void SetAuxiliaryMap(const std::map<int, int>& map) { auxiliaryMap_ = map; }
  virtual void ReactiveDecay(int light, int mode) { lights_->Reactive().Decay(size_t(light), mode); }
  virtual void ReactiveTrigger() { lights_->Reactive().TriggerFirstNine(); }
  virtual void RotateRing(bool towardsHigher) { lights_->Reactive().RotateRing(towardsHigher); }
  virtual void ClearReactive() { lights_->Reactive().Clear(); }
  virtual void SetFunctionSwitch(int type);
  virtual int GetFunctionSwitch() const { return functionSwitchType_; }
  virtual void PreparePaths() {}
  virtual std::string GetProfilePath() const { return {}; }
  virtual void SaveProfile() {}
  virtual void SetOptionTag(int value) { deviceOptionTag_ = value; }
  virtual int GetOptionTag() const { return deviceOptionTag_; }
  virtual void SetLightState(uint32_t w0, uint32_t w1, uint32_t w2, uint16_t w3);
  virtual void SetColour(uint32_t word0, uint32_t word1, uint8_t byte8);
  virtual profiles::AudioLightRecord GetColour(bool takeColour);
  virtual void SelectKey(int keyIndex) { selectedKey_ = keyIndex; }
  virtual void SpareHook3() {}
  virtual void SpareHook4() {}

  // ---- event interfaces ------------------------------------------------
  // Cable kinds (1, 2, 3) use the wired handle, receiver kinds (6, 9) the
  // receiver handle; each open handle has its event thread.
  bool OpenEventInterface(int kind, const std::string& path);
  void CloseEventInterface(int kind);
  bool ReopenEventInterface(int kind, const std::string& path);
  bool EventInterfaceOpen(int kind) const;
  // What the event threads hand over; runs on an event thread and only arms
  // timers of the device bar entry.
  virtual void OnEventValue(uint16_t value, bool cableHandle);

  // ---- non-virtual operations ------------------------------------------
  std::string DefaultDataFolder() const;
  std::string DefaultProfilePath() const;
  std::string ProfileFolder() const;
  void Attach(const hid::DeviceInterfaceInfo& descriptor);
  void SetBeginHostLighting(bool on);
  void SetProfileId(const std::string& id) { profileId_ = id; }
  void SetMainWindow(platform::MessageTarget* target) { mainWindow_ = target; }
  void SetLayoutPath(const QString& path) { layoutPath_ = path; }
  void SetDeviceFolderName(const std::string& name) { deviceFolderName_ = name; }
  void SetLightConfigWord(const std::string& word) { lightConfigWord_ = word; }
  void SetKeyButtonCount(int count);
  void SetLightCount(int count);
  void SetPageTableRow(int row) { pageTableRow_ = row; }
  void SetPowerPanel(ui::CControlUI* panel) { powerPanel_ = panel; }
  void SetPowerPanelStyle(int style) { powerPanelStyle_ = style; }
  // The main window's hidden flag: no status polls while it is hidden.
  void SetStatusPollOff(bool off) { statusPollOff_ = off; }
  bool StatusPollOff() const { return statusPollOff_; }
  // The main window's active state (see PaintLightCaps).
  void SetWindowActive(bool active);
  bool WindowActive() const { return windowActive_; }
  void SetFurtherValue(int value) { furtherValue_ = value; }
  void SetDeviceOption(ui::CControlUI* entry) { deviceOption_ = entry; }
  // Light index → LED position, as the model reads it from the device.
  void SetLightPositions(std::map<int, int> positions) { lightPositionMap_ = std::move(positions); }

  // ---- light engine ----------------------------------------------------
  // (Re)starts the light thread over the model's engine.
  bool StartLightEngine();
  // Takes a lighting state from the profile or the device: a changed effect
  // id (or the host colour effect, 20) starts the mode afresh.
  void ApplyLightMode(const profiles::LightInfoRecord& state);
  // The clock of the light thread and of the light step (tests step it).
  // Only while the light thread is stopped.
  void SetLightClock(std::shared_ptr<LightClock> clock) { lightClock_ = std::move(clock); }
  LightClock& Clock() { return *lightClock_; }
  ModelLightEngine& Lights() { return *lights_; }
  // The page's lighting editor ("LightControlItem"), once the page is built.
  editors::CLightControlUI* LightEditor() const;
  bool LightThreadRunning() const { return lightThread_.Running(); }

  // ---- reading ---------------------------------------------------------
  protocol::CCommandChannel& CommandChannel() { return commandChannel_; }
  const hid::DeviceInterfaceInfo& Descriptor() const { return descriptor_; }
  int Kind() const { return kind_; }
  int KindDetail() const { return kindDetail_; }
  int KeyButtonCount() const { return keyButtonCount_; }
  int LightCount() const { return lightCount_; }
  int PageTableRow() const { return pageTableRow_; }
  int PowerPanelStyle() const { return powerPanelStyle_; }
  const QString& LayoutPath() const { return layoutPath_; }
  const std::string& DeviceFolderName() const { return deviceFolderName_; }
  const std::string& ProfileId() const { return profileId_; }
  bool HostLightControl() const { return hostLightControl_; }
  int SelectedKey() const { return selectedKey_; }
  ui::CControlUI* DeviceOption() const { return deviceOption_; }
  ui::CControlUI* PowerPanel() const { return powerPanel_; }
  platform::MessageTarget* MainWindow() const { return mainWindow_; }
  controls::CDeviceKeyButtonUI* KeyButton(int index) const;
  controls::CDeviceKeyButtonUI* LightButton(int index) const;
  const profiles::LightInfoRecord& LightState() const { return lightState_; }
  const protocol::LightFrame& LastFrame() const { return frame_; }
  bool SyncRequested() const { return syncRequested_; }
  protocol::DeviceInfoBlock& InfoBlock() { return infoBlock_; }

 protected:
  // Models: register the page with the paint manager, then build it.
  void RegisterPage();
  // A cap named "key_"N or "light_"N (N within the counts) stored in its
  // list, a light cap painted white; false for any other cap.
  bool StoreCap(controls::CDeviceKeyButtonUI* cap);
  // Stops the light thread and both event threads; again does nothing. The
  // most derived destructor calls it, so no thread runs an override or
  // reaches model state while the object is being taken down.
  void StopThreads();
  // Arms a timer of the device bar entry from any thread (queued to the UI
  // thread); nothing happens without an entry.
  void ArmBarTimer(uint32_t id, uint32_t ms);
  // The common event reactions; what is above 0x402 goes to OnModelEvent.
  virtual void OnModelEvent(uint16_t /*value*/, bool /*cableHandle*/) {}
  virtual const char* EventExitTrace() const { return "MS 设备同步线程设定退出"; }
  // A model's light thread: a running one is stopped first.
  bool StartLightThread(std::function<void(const platform::StopEvent&)> body);
  void StopLightThread();
  void RunCommon(LightStepKind step);
  // Copies the colours to the caps (repainting only on a change) and builds
  // the frame. False when nothing changed since the last step.
  bool PaintLightCaps();
  ui::CControlUI* FunctionSwitchLayout();
  ui::CControlUI* KeyFunctionSwitchLayout();

  std::shared_ptr<hid::HidBackend> backend_;
  protocol::CCommandChannel commandChannel_;
  protocol::CCommandChannel eventChannel_;  // its two handles only
  std::atomic<bool> eventCableOpen_{false};
  std::atomic<bool> eventReceiverOpen_{false};
  protocol::DeviceInfoBlock infoBlock_;
  ui::CControlUI* selectPanel_ = nullptr;
  QPointer<ui::CControlUI> deviceOption_;
  QPointer<ui::CControlUI> powerPanel_;
  QPointer<ui::CControlUI> functionSwitch_;
  QPointer<ui::CControlUI> keyFunctionSwitch_;
  QString layoutPath_;
  platform::MessageTarget* mainWindow_ = nullptr;
  std::string lightConfigWord_ = "orvix_light";
  std::string deviceFolderName_;
  std::string profileId_;
  int kind_ = 0;
  int kindDetail_ = 0;
  int keyButtonCount_ = 0;
  int lightCount_ = 0;
  int pageTableRow_ = -1;
  int functionSwitchType_ = 1;
  std::vector<QPointer<controls::CDeviceKeyButtonUI>> keyButtons_;
  std::vector<QPointer<controls::CDeviceKeyButtonUI>> lightButtons_;
  std::map<int, int> keyPositionMap_;
  std::map<int, int> lightPositionMap_;
  std::map<int, int> auxiliaryMap_;
  // The model's light engine: its colours are written by the light thread
  // (or the synchronised lighting) and read by the light step, one atomic
  // word per light.
  std::unique_ptr<ModelLightEngine> lights_;
  QPointer<editors::CLightControlUI> lightEditor_;
  std::shared_ptr<LightClock> lightClock_;
  profiles::LightInfoRecord lightState_;
  // The effect id of lightState_, for the event threads' check; written with it.
  std::atomic<uint8_t> effectId_{0};
  bool hostLightControl_ = true;
  int powerPanelStyle_ = 0;
  int furtherValue_ = -1;
  // Set while the main window is hidden: the status poll does nothing then.
  bool statusPollOff_ = false;
  // Whether the main window is the active one; the caps are repainted at
  // every light step only then.
  bool windowActive_ = true;
  static constexpr unsigned kInactivePaintEvery = 4;
  unsigned inactiveSteps_ = 0;
  bool capsBehind_ = false;
  hid::DeviceInterfaceInfo descriptor_;
  int deviceOptionTag_ = 0;
  profiles::AudioLightRecord audioLight_;
  int selectedKey_ = -1;
  std::atomic<bool> syncRequested_{false};
  protocol::LightFrame frame_{};
  // What the last light step showed (it skips an unchanged step).
  bool stepped_ = false;
  std::vector<LightColour> currentColours_;
  std::vector<LightColour> steppedColours_;
  std::map<int, int> steppedPositions_;
  platform::Worker lightThread_;
  std::unique_ptr<EventReader> cableEvents_;
  std::unique_ptr<EventReader> receiverEvents_;
  // The manager the page registered with as a notifier.
  ui::CPaintManagerUI* notifiedBy_ = nullptr;
};

}  // namespace devices

using devices::CGesterinUSBDevice;
