#include "headset/CGesterinRU6533Device.h"

#include <algorithm>
#include <chrono>

#include <QMessageBox>

#include "platform/Messages.h"
#include "platform/Paths.h"
#include "platform/Trace.h"

namespace headset {
namespace {

// The two start-up failures of the chip library are plain message boxes;
// they do not wait for an answer.
void PlainMessage(const std::string& text) {
  Trace(text);
  auto* box = new QMessageBox(QMessageBox::Warning, QString(), QString::fromStdString(text));
  box->setAttribute(Qt::WA_DeleteOnClose);
  box->setModal(false);
  box->show();
}

template <typename T>
T* FindPanel(ui::CContainerUI& page, const char* itemName, const char* panelName) {
  if (auto* p = qobject_cast<T*>(page.FindSubControl(QString::fromLatin1(itemName)))) return p;
  return qobject_cast<T*>(page.FindSubControl(QString::fromLatin1(panelName)));
}

}  // namespace

CGesterinRU6533Device::CGesterinRU6533Device(std::shared_ptr<hid::HidBackend> backend)
    : CModelDevice(std::move(backend), hid::kind::kHeadset, "HD", std::make_unique<profiles::CRu6533Profiledata>()) {}

CGesterinRU6533Device::~CGesterinRU6533Device() { StopThreads(); }

bool CGesterinRU6533Device::IsClass(const QString& className) const {
  return className == QLatin1String("GesterinRU6533Device") || CModelDevice::IsClass(className);
}

profiles::CRu6533Profiledata& CGesterinRU6533Device::HeadsetProfile() {
  return static_cast<profiles::CRu6533Profiledata&>(*profile_);
}

void CGesterinRU6533Device::InitPage() {
  CModelDevice::InitPage();
  // The headset's function tabs, in the page's own copy of the profile
  // panel: no key, macro, system or pointer tabs; the voice, voice effect
  // and surround tabs instead.
  for (const char* tab : {"cursor_Op_tab", "macro_Op_tab", "system_Op_tab", "key_Op_tab"})
    if (auto* c = FindSubControl(QString::fromLatin1(tab))) c->SetVisible(false);
  for (const char* tab : {"6533_voice_Op_tab", "magic_Op_tab", "Virtual7.1_Op_tab"})
    if (auto* c = FindSubControl(QString::fromLatin1(tab))) c->SetVisible(true);
  voicePanel_ = FindPanel<CVoice6533ControlUI>(*this, "Voice6533ControlItem", "voice_control_panel");
  magicPanel_ = FindPanel<CMagicControlUI>(*this, "MagicControlItem", "magic_control_panel");
  audio_ = std::make_unique<audio::HeadsetAudio>(
      HeadsetProfile(), audio::LoadConfLibrary(platform::InstallFolder()), PlainMessage);
  audio_->Start();
  Refresh();
}

int CGesterinRU6533Device::LoadProfile() {
  if (profileId_.empty()) profileId_ = kFallbackProfileId;
  PreparePaths();
  profile_->LoadProfile(profile_->GetProfilePath());
  ApplyLightingFromProfile();
  if (audio_) audio_->LoadFromProfile();
  return 1;
}

void CGesterinRU6533Device::LoadFromDevice() {
  if (!audio_) return;  // the page was never built
  LoadProfile();
  audio_->ReadBack();
  ShowSettings();
  audio_->ApplyShownEqualiser();
  StartLightThread([this](const platform::StopEvent& stop) { RunLights(stop); });
}

int CGesterinRU6533Device::ApplyLightingFromProfile() {
  headsetLights_.SetEffectSteps(profile_->GetLightEffect());
  const profiles::LightInfoRecord state = profile_->GetLightInfo();
  {
    std::lock_guard guard(stateLock_);
    lightState_ = state;
  }
  effectId_ = state.selectItem;
  return 1;
}

namespace {
// The headset's effect table: the firmware value of each built-in effect id
// (the same numbers on this headset), looked up both ways.
constexpr std::array<uint8_t, 9> kEffectValues{0, 1, 2, 3, 4, 5, 6, 7, 8};

uint8_t EffectToDevice(uint8_t id) { return id < kEffectValues.size() ? kEffectValues[id] : 0; }

uint8_t EffectFromDevice(uint8_t value) {
  const auto it = std::find(kEffectValues.begin(), kEffectValues.end(), value);
  return it == kEffectValues.end() ? 0 : uint8_t(it - kEffectValues.begin());
}

uint8_t FlipSpeed(uint8_t speed) { return uint8_t(4 - std::min<uint8_t>(speed, 4)); }
}  // namespace

int CGesterinRU6533Device::WriteSettingsToDevice(int slot, int, int, int, int) {
  if (!commandChannel_.IsOpen() || slot < 0 || slot > 0xFFFF / 64) return protocol::kNoReply;
  profiles::LightInfoRecord state = profile_->GetLightInfo();
  if (state.selectItem > headseteffect::kOff) state.selectItem = 0;
  state.selectItem = EffectToDevice(state.selectItem);
  state.speed = FlipSpeed(state.speed);
  std::array<uint8_t, kSettingsBlockSize> block{};
  block[0] = slot_;
  const auto encoded = state.Encode();
  std::copy(encoded.begin(), encoded.end(), block.begin() + 1);
  int result = commandChannel_.BeginTransfer();
  if (result == protocol::kOk) result = commandChannel_.WriteSettings(block, uint16_t(slot * 64));
  (void)commandChannel_.EndTransfer();
  return result;
}

void CGesterinRU6533Device::ReloadSettings() {
  if (!commandChannel_.IsOpen()) return;
  std::array<uint8_t, 1> active{};
  if (commandChannel_.ReadSettings(active, 0) != protocol::kOk) return;
  std::array<uint8_t, kReloadBlockSize> block{};
  if (commandChannel_.ReadSettings(block, uint16_t(active[0] * 25)) != protocol::kOk) return;
  profiles::LightInfoRecord state =
      profiles::LightInfoRecord::Decode(std::span<const uint8_t>(block).subspan<1, profiles::LightInfoRecord::kSize>());
  state.selectItem = EffectFromDevice(state.selectItem);
  state.speed = FlipSpeed(state.speed);
  {
    std::lock_guard guard(stateLock_);
    lightState_ = state;
  }
  effectId_ = state.selectItem;
  slot_ = active[0];
  if (mainWindow_) mainWindow_->Send(platform::msg::kOnboardProfile, slot_, 0);
}

void CGesterinRU6533Device::RunLights(const platform::StopEvent& stop) {
  std::array<LightColour, kHeadsetLightCount> colours{};
  devices::LightClock& clock = Clock();
  // One turn per tick of the light clock; the stop event ends any wait at once.
  while (!clock.WaitNextTick(stop)) {
    if (!commandChannel_.IsOpen()) {
      if (clock.Sleep(std::chrono::milliseconds(100), stop)) break;
      continue;
    }
    if (commandChannel_.HoldFlag()) continue;  // the synchronised lighting has the colours
    profiles::LightInfoRecord state;
    {
      std::lock_guard guard(stateLock_);
      state = lightState_;
    }
    if (!headsetLights_.Turn(state, colours, clock.TickCount())) continue;
    // One atomic word per light: the light step never reads a torn colour.
    for (size_t i = 0; i < colours.size(); ++i) SetLightColour(int(i), colours[i]);
  }
}

void CGesterinRU6533Device::LightStep() {
  CModelDevice::LightStep();
  std::array<LightColour, kHeadsetLightCount> shown{};
  for (size_t i = 0; i < shown.size(); ++i) shown[i] = GetLightColour(int(i));
  const std::array<LightReport, kLightReportCount> reports = BuildLightReports(shown);
  if (!commandChannel_.IsOpen()) return;
  std::lock_guard io(commandChannel_.IoLock());
  // A report that fails does not keep the others back.
  for (const LightReport& report : reports) (void)commandChannel_.WiredDevice().SetOutputReport(report);
}

void CGesterinRU6533Device::ShowSettings() {
  CModelDevice::ShowSettings();  // the lighting editor shows the light state
  if (!audio_) return;
  audio_->ShowSettings();
  Refresh();
}

void CGesterinRU6533Device::Refresh() {
  if (!audio_) return;
  if (voicePanel_) voicePanel_->Show(audio_->View());
  if (magicPanel_) magicPanel_->Show(audio_->View());
}

void CGesterinRU6533Device::OnVoiceEffectEnabled() {
  if (!audio_ || !magicPanel_) return;
  audio_->SetVoiceEffectEnabled(magicPanel_->EffectOptionSelected());
  Refresh();
}

void CGesterinRU6533Device::OnVoiceEffect(int type) {
  if (!audio_) return;
  audio_->SelectVoiceEffect(type);
  Refresh();
}

void CGesterinRU6533Device::OnMicrophoneToggled() {
  if (!audio_) return;
  audio_->ToggleMicrophone();
  Refresh();
}

void CGesterinRU6533Device::OnMicrophoneLevel() {
  if (!audio_ || !voicePanel_) return;
  audio_->SetMicrophoneLevel(voicePanel_->MicSliderValue());
  Refresh();
}

void CGesterinRU6533Device::OnMonitoringToggled() {
  if (!audio_) return;
  audio_->ToggleMonitoring();
  Refresh();
}

void CGesterinRU6533Device::OnMonitoringLevel() {
  if (!audio_ || !voicePanel_) return;
  audio_->SetMonitoringLevel(voicePanel_->MonitorSliderValue());
  Refresh();
}

void CGesterinRU6533Device::OnBand(int band) {
  if (!audio_ || !voicePanel_) return;
  audio_->SetBand(band, voicePanel_->BandSliderValue(band));
  Refresh();
}

void CGesterinRU6533Device::OnEqPreset(int eqType) {
  if (!audio_) return;
  audio_->SelectEqPreset(eqType);
  Refresh();
}

void CGesterinRU6533Device::OnUserPresetSelected() {
  if (!audio_ || !voicePanel_) return;
  audio_->SelectUserPreset(voicePanel_->SelectedUserPreset());
  Refresh();
}

int CGesterinRU6533Device::OnSaveUserPreset() {
  if (!audio_ || !voicePanel_) return audio::kNothingDone;
  const int result = audio_->SaveUserPreset(voicePanel_->NameEditText());
  Refresh();
  return result;
}

void CGesterinRU6533Device::OnDeleteUserPreset() {
  if (!audio_) return;
  audio_->DeleteUserPreset();
  Refresh();
}

}  // namespace headset
