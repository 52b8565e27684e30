#include "devices/CGesterinUSBDevice.h"

#include <algorithm>
#include <cstring>

#include <QMetaObject>

#include "controls/CDeviceKeyButtonUI.h"
#include "controls/CSelectPanelUI.h"
#include "devices/core/FunctionSwitch.h"
#include "editors/CLightControlUI.h"
#include "platform/Trace.h"
#include "profiles/ProfileFolders.h"
#include "profiles/Text.h"

namespace devices {
namespace {

constexpr uint32_t kWhite = 0xFFFFFF;
constexpr int kFullLevel = 255;

bool IsCableKind(int kind) { return kind == hid::kind::kKeyboardCable || kind == hid::kind::kMouseCable ||
                                    kind == hid::kind::kMousePad || kind == hid::kind::kHeadset; }

uint32_t Rgb(const LightColour& c) { return uint32_t(c.c0) << 16 | uint32_t(c.c1) << 8 | c.c2; }

}  // namespace

CGesterinUSBDevice::CGesterinUSBDevice(std::shared_ptr<hid::HidBackend> backend, int kind)
    : backend_(backend), commandChannel_(backend), eventChannel_(backend), kind_(kind) {
  // Every page builds the same panel layouts into the one main window: as a
  // page root it keeps its own option groups, tab bindings and name look-ups.
  SetPageRoot(true);
  const LightModel model = kind == hid::kind::kKeyboardCable || kind == hid::kind::kKeyboardReceiver
                               ? LightModel::Keyboard
                           : kind == hid::kind::kMousePad ? LightModel::Pad
                                                          : LightModel::Mouse;
  lights_ = std::make_unique<ModelLightEngine>(model);
  lightClock_ = std::make_shared<SteadyLightClock>();
}

CGesterinUSBDevice::~CGesterinUSBDevice() {
  StopThreads();
  // A page that registered itself stops being notified; a manager already
  // gone has no list left to clean.
  if (notifiedBy_) {
    const auto& live = ui::CPaintManagerUI::GetManagers();
    if (std::find(live.begin(), live.end(), notifiedBy_) != live.end()) notifiedBy_->RemoveNotifier(this);
  }
}

void CGesterinUSBDevice::StopThreads() {
  // The threads go before the channels they read and before any state their
  // callbacks reach.
  StopLightThread();
  CloseEventInterface(hid::kind::kMouseCable);
  CloseEventInterface(hid::kind::kMouseReceiver);
  cableEvents_.reset();
  receiverEvents_.reset();
}

bool CGesterinUSBDevice::IsClass(const QString& className) const {
  return className == QLatin1String("GesterinUSBDevice") || ui::CHorizontalLayoutUI::IsClass(className);
}

void CGesterinUSBDevice::Notify(ui::TNotifyUI& msg) {
  if (!msg.pSender || msg.pSender->GetName().isEmpty()) return;
  if (FindSubControl(msg.pSender->GetName()) != msg.pSender) return;
  Trace("测试成功   、n");
  NotifyPump(msg);
}

// ---- page ----------------------------------------------------------------

void CGesterinUSBDevice::SetKeyButtonCount(int count) {
  keyButtonCount_ = std::max(0, count);
  keyButtons_.assign(size_t(keyButtonCount_), nullptr);
}

void CGesterinUSBDevice::SetLightCount(int count) {
  // The engine's arrays change size only while no thread computes them.
  StopLightThread();
  lightCount_ = std::max(0, count);
  lightButtons_.assign(size_t(lightCount_), nullptr);
  lights_->SetLightCount(size_t(lightCount_));
}

void CGesterinUSBDevice::InitPage() {
  stepped_ = false;  // the caps are painted anew below
  if (layoutPath_.isEmpty()) {
    SetKeyButtonCount(0);
    SetLightCount(0);
    return;
  }
  // The page's select panel, by name or else by class.
  selectPanel_ = FindSubControl(QStringLiteral("SelectPanel"));
  if (!selectPanel_) selectPanel_ = findChild<CSelectPanelUI*>();
  auto* panel = qobject_cast<ui::CContainerUI*>(selectPanel_);
  if (!panel) return;
  for (int i = 0; i < panel->GetCount(); ++i)
    if (auto* cap = qobject_cast<controls::CDeviceKeyButtonUI*>(panel->GetItemAt(i))) StoreCap(cap);
}

bool CGesterinUSBDevice::StoreCap(controls::CDeviceKeyButtonUI* cap) {
  const profiles::TrailingNumber split = profiles::SplitTrailingNumber(cap->GetName().toStdString());
  if (split.number < 0) return false;
  if (split.prefix == "key_" && split.number < keyButtonCount_) {
    keyButtons_[size_t(split.number)] = cap;
    return true;
  }
  if (split.prefix == "light_" && split.number < lightCount_) {
    lightButtons_[size_t(split.number)] = cap;
    cap->SetLightOverlay(kWhite, kFullLevel, true);
    return true;
  }
  return false;
}

controls::CDeviceKeyButtonUI* CGesterinUSBDevice::KeyButton(int index) const {
  return index >= 0 && index < int(keyButtons_.size()) ? keyButtons_[size_t(index)].data() : nullptr;
}

controls::CDeviceKeyButtonUI* CGesterinUSBDevice::LightButton(int index) const {
  return index >= 0 && index < int(lightButtons_.size()) ? lightButtons_[size_t(index)].data() : nullptr;
}

void CGesterinUSBDevice::RegisterPage() {
  if (manager_ && manager_->AddNotifier(this)) notifiedBy_ = manager_;
}

ui::CControlUI* CGesterinUSBDevice::FunctionSwitchLayout() {
  if (!functionSwitch_) functionSwitch_ = FindSubControl(QStringLiteral("device_function_switch"));
  return functionSwitch_;
}

ui::CControlUI* CGesterinUSBDevice::KeyFunctionSwitchLayout() {
  if (!keyFunctionSwitch_) keyFunctionSwitch_ = FindSubControl(QStringLiteral("device_key_function_switch"));
  return keyFunctionSwitch_;
}

void CGesterinUSBDevice::SetFunctionSwitch(int type) {
  functionSwitchType_ = type;
  const FunctionTabs tabs = FunctionTabsFor(type, kind_);
  if (auto* f = qobject_cast<ui::CTabLayoutUI*>(FunctionSwitchLayout())) f->SelectItem(tabs.functionTab);
  if (tabs.keyTab < 0) return;
  if (auto* k = qobject_cast<ui::CTabLayoutUI*>(KeyFunctionSwitchLayout())) k->SelectItem(tabs.keyTab);
}

// ---- lights --------------------------------------------------------------

void CGesterinUSBDevice::RunCommon(LightStepKind step) { lights_->RunStep(step, lightClock_->TickCount()); }
void CGesterinUSBDevice::StepBreathing() { RunCommon(LightStepKind::Breathing); }
void CGesterinUSBDevice::StepFourColourBreathing() { RunCommon(LightStepKind::FourColourBreathing); }
void CGesterinUSBDevice::StepStatic() { RunCommon(LightStepKind::Static); }
void CGesterinUSBDevice::StepColourCycle() { RunCommon(LightStepKind::ColourCycle); }
void CGesterinUSBDevice::StepBlink() { RunCommon(LightStepKind::Blink); }
void CGesterinUSBDevice::StepFourColourBlink() { RunCommon(LightStepKind::FourColourBlink); }
void CGesterinUSBDevice::StepOff() { RunCommon(LightStepKind::Off); }

void CGesterinUSBDevice::LightStep() { PaintLightCaps(); }

bool CGesterinUSBDevice::PaintLightCaps() {
  currentColours_.resize(lights_->Colours().Size());
  lights_->Colours().Snapshot(currentColours_);
  // While the window is in the background the caps follow at a quarter of
  // the pace; the frame for the device is built at every step regardless.
  const bool paintCaps = windowActive_ || ++inactiveSteps_ % kInactivePaintEvery == 0;
  // Nothing to copy or build while the colours and positions stand still
  // (static lighting): the caps and the frame are as the last step left them.
  const bool sameColours = stepped_ && steppedColours_.size() == currentColours_.size() &&
                           std::memcmp(steppedColours_.data(), currentColours_.data(),
                                       currentColours_.size() * sizeof(LightColour)) == 0;
  const bool framed = sameColours && steppedPositions_ == lightPositionMap_;
  if (framed && !(capsBehind_ && paintCaps)) return false;
  if (!framed) {
    stepped_ = true;
    steppedColours_ = currentColours_;
    steppedPositions_ = lightPositionMap_;
    std::vector<std::optional<uint16_t>> positions(currentColours_.size());
    for (size_t i = 0; i < currentColours_.size(); ++i)
      if (auto it = lightPositionMap_.find(int(i)); it != lightPositionMap_.end())
        positions[i] = uint16_t(it->second);
    protocol::BuildLightFrame(currentColours_, positions, frame_);
  }
  capsBehind_ = !paintCaps;
  if (paintCaps) {
    bool changed = false;
    for (size_t i = 0; i < currentColours_.size(); ++i) {
      const LightColour c = currentColours_[i];
      if (auto* cap = LightButton(int(i))) {
        changed = changed || !cap->IsLightOverlayShown() || cap->GetLightColor() != Rgb(c) ||
                  cap->GetLightLevel() != c.brightness;
        cap->SetLightOverlay(Rgb(c), c.brightness, true);
      }
    }
    // Static lighting repaints nothing: the picture changes only with a colour.
    if (selectPanel_ && changed) selectPanel_->Invalidate();
  }
  return true;
}

void CGesterinUSBDevice::SetWindowActive(bool active) {
  windowActive_ = active;
  // Back in front: the caps catch up at the next step.
  if (active) inactiveSteps_ = kInactivePaintEvery - 1;
}

void CGesterinUSBDevice::SetLightColour(int index, LightColour value) {
  if (index >= 0) lights_->Colours().Store(size_t(index), value);
}

LightColour CGesterinUSBDevice::GetLightColour(int index) const {
  return index < 0 ? LightColour{} : lights_->Colours().Load(size_t(index));
}

void CGesterinUSBDevice::SetLightState(uint32_t w0, uint32_t w1, uint32_t w2, uint16_t w3) {
  std::array<uint8_t, profiles::LightInfoRecord::kSize> bytes{};
  for (int i = 0; i < 4; ++i) {
    bytes[size_t(i)] = uint8_t(w0 >> (8 * i));
    bytes[size_t(4 + i)] = uint8_t(w1 >> (8 * i));
    bytes[size_t(8 + i)] = uint8_t(w2 >> (8 * i));
  }
  bytes[12] = uint8_t(w3);
  bytes[13] = uint8_t(w3 >> 8);
  lightState_ = profiles::LightInfoRecord::Decode(bytes);
  effectId_ = lightState_.selectItem;
  // The engine takes it when the lighting is applied (ApplyLightMode).
}

void CGesterinUSBDevice::ApplyLightMode(const profiles::LightInfoRecord& state) {
  // Against what the engine runs: the stored state may already be the new one.
  const bool restart = state.selectItem != lights_->State().selectItem || state.selectItem == kHostColourEffect;
  lightState_ = state;
  effectId_ = state.selectItem;
  if (restart) lights_->StartMode(state);
  else lights_->SetState(state);
}

bool CGesterinUSBDevice::StartLightEngine() {
  return StartLightThread([this](const platform::StopEvent& stop) {
    RunLightLoop(*lights_, *lightClock_, stop,
                 {[this] { return commandChannel_.IsOpen(); }, [this] { return commandChannel_.HoldFlag(); }});
  });
}

void CGesterinUSBDevice::SetColour(uint32_t word0, uint32_t word1, uint8_t byte8) {
  std::array<uint8_t, profiles::AudioLightRecord::kSize> bytes{};
  for (int i = 0; i < 4; ++i) {
    bytes[size_t(i)] = uint8_t(word0 >> (8 * i));
    bytes[size_t(4 + i)] = uint8_t(word1 >> (8 * i));
  }
  bytes[8] = byte8;
  audioLight_ = profiles::AudioLightRecord::Decode(bytes);
  if (lightEditor_) lightEditor_->ShowAudioLight(word0, word1, byte8);
}

profiles::AudioLightRecord CGesterinUSBDevice::GetColour(bool takeColour) {
  // Without a lighting editor the stored record is what the page holds.
  if (lightEditor_) audioLight_ = lightEditor_->ReadAudioLight(takeColour);
  return audioLight_;
}

editors::CLightControlUI* CGesterinUSBDevice::LightEditor() const { return lightEditor_.data(); }

// ---- threads -------------------------------------------------------------

bool CGesterinUSBDevice::StartLightThread(std::function<void(const platform::StopEvent&)> body) {
  StopLightThread();
  return lightThread_.Start(std::move(body));
}

void CGesterinUSBDevice::StopLightThread() { StopDeviceThread(lightThread_, kLightThreadStopBound); }

void CGesterinUSBDevice::ArmBarTimer(uint32_t id, uint32_t ms) {
  // Queued on the device, which outlives its event threads; the entry is
  // looked at only on the UI thread, where it is destroyed.
  QMetaObject::invokeMethod(
      this,
      [this, id, ms] {
        if (deviceOption_) deviceOption_->ArmTimer(id, ms);
      },
      Qt::QueuedConnection);
}

bool CGesterinUSBDevice::OpenEventInterface(int kind, const std::string& path) {
  const bool cable = IsCableKind(kind);
  hid::CHidInterface& handle = cable ? eventChannel_.WiredDevice() : eventChannel_.ReceiverDevice();
  std::atomic<bool>& flag = cable ? eventCableOpen_ : eventReceiverOpen_;
  std::recursive_mutex& lock = cable ? eventChannel_.CommandLock() : eventChannel_.LightingLock();
  std::unique_ptr<EventReader>& reader = cable ? cableEvents_ : receiverEvents_;
  // A reader of the handle being replaced stops first: it must not go on
  // reading a closed handle, nor count as open when the new open fails.
  if (reader) reader->Stop();
  {
    std::lock_guard guard(lock);
    flag = false;
    handle.Close();
    if (!handle.Open(path, true, true, true, false)) return false;
    flag = true;
  }
  reader = std::make_unique<EventReader>(handle, flag, EventExitTrace());
  return reader->Start([this, cable](uint16_t value) { OnEventValue(value, cable); });
}

void CGesterinUSBDevice::CloseEventInterface(int kind) {
  const bool cable = IsCableKind(kind);
  std::atomic<bool>& flag = cable ? eventCableOpen_ : eventReceiverOpen_;
  if (!flag) return;
  if (auto& reader = cable ? cableEvents_ : receiverEvents_) reader->Stop();
  std::lock_guard guard(cable ? eventChannel_.CommandLock() : eventChannel_.LightingLock());
  flag = false;
  (cable ? eventChannel_.WiredDevice() : eventChannel_.ReceiverDevice()).Close();
}

bool CGesterinUSBDevice::ReopenEventInterface(int kind, const std::string& path) {
  CloseEventInterface(kind);
  return OpenEventInterface(kind, path);
}

bool CGesterinUSBDevice::EventInterfaceOpen(int kind) const {
  return IsCableKind(kind) ? eventCableOpen_.load() : eventReceiverOpen_.load();
}

void CGesterinUSBDevice::OnEventValue(uint16_t value, bool cableHandle) {
  if (value == eventcode::kReloadSettings) {
    Trace(kSyncRequestTrace);
    ArmBarTimer(bartimer::kReloadSettings, kReloadDelayMs);
  } else if (value == eventcode::kProfileReset) {
    syncRequested_ = true;
    Trace(kSyncRequestTrace);
    ArmBarTimer(bartimer::kReloadSettings, kReloadDelayMs);
  } else if (value == 0 && cableHandle && effectId_ == kHostColourEffect) {
    Trace(kSyncRequestTrace);
    ArmBarTimer(bartimer::kReloadSettings, kReloadDelayMs);
  } else if (value > eventcode::kProfileReset) {
    OnModelEvent(value, cableHandle);
  }
}

// ---- identity and paths --------------------------------------------------

std::string CGesterinUSBDevice::DefaultDataFolder() const { return profiles::DefaultDataFolder().string(); }
std::string CGesterinUSBDevice::DefaultProfilePath() const {
  return profiles::DefaultProfilePath(deviceFolderName_).string();
}
std::string CGesterinUSBDevice::ProfileFolder() const {
  return profiles::ProfileFolder(deviceFolderName_).string();
}

void CGesterinUSBDevice::Attach(const hid::DeviceInterfaceInfo& descriptor) {
  descriptor_ = descriptor;
  kind_ = descriptor.DeviceKind;
  kindDetail_ = descriptor.InterfaceUse;
}

void CGesterinUSBDevice::SetBeginHostLighting(bool on) {
  hostLightControl_ = on;
  if (on && kind_ == hid::kind::kKeyboardCable && commandChannel_.IsOpen()) commandChannel_.BeginHostLighting();
}

}  // namespace devices
