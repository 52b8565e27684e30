#include "devices/KeyboardDevice.h"

#include <filesystem>

#include <QMetaObject>

#include "controls/CDeviceKeyButtonUI.h"
#include "editors/CLightControlUI.h"
#include "editors/core/KeyCatalogue.h"
#include "platform/Trace.h"
#include "profiles/Text.h"

namespace devices {
namespace {

constexpr size_t kKeyboardCatalogueRow = 0;
constexpr uint8_t kCustomMode = 20;
constexpr int kRepeatDelayMs[] = {250, 500, 750, 1000};
// Without a profile chosen by the profile panel, the keyboard keeps its
// settings in this profile file of its folder.
constexpr const char* kFallbackProfileId = "default";

}  // namespace

CGesterinKeyboardDevice::CGesterinKeyboardDevice(std::shared_ptr<hid::HidBackend> backend)
    : CModelDevice(std::move(backend), hid::kind::kKeyboardCable, "keyboard",
                   std::make_unique<profiles::CKeyboardProfiledata>()),
      core_(commandChannel_, static_cast<profiles::CKeyboardProfiledata&>(*profile_)) {}

CGesterinKeyboardDevice::~CGesterinKeyboardDevice() { StopThreads(); }

bool CGesterinKeyboardDevice::IsClass(const QString& className) const {
  return className == QLatin1String("GesterinKeyboardDevice") || CModelDevice::IsClass(className);
}

template <typename T>
T* CGesterinKeyboardDevice::Control(const QString& name) {
  auto it = controls_.find(name);
  if (it == controls_.end() || !it->second) it = controls_.insert_or_assign(name, QPointer(FindSubControl(name))).first;
  return qobject_cast<T*>(it->second.data());
}

// ---- page ----------------------------------------------------------------------

void CGesterinKeyboardDevice::BuildPage() {
  CModelDevice::BuildPage();
  controls_.clear();
  // The caps: a cap's name and its second text may each name a key or a light.
  if (auto* panel = qobject_cast<ui::CContainerUI*>(FindSubControl(QStringLiteral("keyboard_device_key_light")))) {
    selectPanel_ = panel;
    for (int i = 0; i < panel->GetCount(); ++i) {
      auto* cap = qobject_cast<controls::CDeviceKeyButtonUI*>(panel->GetItemAt(i));
      if (!cap) continue;
      for (const QString& text : {cap->GetName(), cap->GetUserData()}) {
        const profiles::TrailingNumber split = profiles::SplitTrailingNumber(text.toStdString());
        if (split.number < 0) continue;
        if (split.prefix == "key_" && split.number < keyButtonCount_) keyButtons_[size_t(split.number)] = cap;
        else if (split.prefix == "light_" && split.number < lightCount_) lightButtons_[size_t(split.number)] = cap;
      }
    }
  }
  core_.SetLightModeValues(
      LightModeValues(std::filesystem::path(DefaultDataFolder()) / "default_light.json", kKeyboardCatalogueRow));
  FindKeyEditor(editors::kKeyboardEditor);
}

void CGesterinKeyboardDevice::LoadCatalogues() {
  TakeMacroNames(core_.Macros());
  CModelDevice::LoadCatalogues();
}

void CGesterinKeyboardDevice::SelectKey(int keyIndex) {
  CModelDevice::SelectKey(keyIndex);
  if (lightState_.selectItem == kCustomMode) {
    // The cap's light: the cap may carry a key and a light at once.
    controls::CDeviceKeyButtonUI* cap = KeyButton(keyIndex);
    for (size_t j = 0; cap && j < lightButtons_.size(); ++j)
      if (lightButtons_[j] == cap) PaintKey(int(j));
  }
  const std::vector<profiles::KeyAssignment> keys = profile_->GetKeyList();
  if (!keyEditor_ || keyIndex < 0 || size_t(keyIndex) >= keys.size()) return;
  keyEditor_->SetKey(keys[size_t(keyIndex)]);
  keyEditor_->SetButtonsEnabled(true);
}

void CGesterinKeyboardDevice::SaveEditedKey() {
  std::vector<profiles::KeyAssignment> keys = profile_->GetKeyList();
  if (!keyEditor_ || selectedKey_ < 0 || size_t(selectedKey_) >= keys.size()) return;
  profiles::KeyAssignment key = keyEditor_->BuildFunction();
  key.assignment.keyIndex = uint16_t(selectedKey_);
  keys[size_t(selectedKey_)].assignment = key.assignment;
  profile_->SetKeyList(keys);
  NameKeyCaps();
  keyEditor_->SetButtonsEnabled(true);
}

void CGesterinKeyboardDevice::RepairMacroKeys() {
  if (core_.RepairMacroKeys()) NameKeyCaps();
}

// ---- key names -------------------------------------------------------------------

void CGesterinKeyboardDevice::NameKeyCaps() {
  namedKeys_ = profile_->GetKeyList();
  for (size_t j = 0; j < namedKeys_.size(); ++j)
    ShowKeyAssignment(int(j), AssignmentName(namedKeys_[j].assignment));
}

void CGesterinKeyboardDevice::ShowKeyAssignment(int key, const QString& name) {
  if (key < 0 || key >= keyButtonCount_) return;
  controls::CDeviceKeyButtonUI* cap = KeyButton(key);
  if (!cap) return;
  const std::array<uint8_t, 3> code = KeyboardDefaultCode(size_t(key));
  const char* id = editors::NameOfCode(code[0], code[1], code[2]);
  const QString own = id ? Translate(QString::fromLatin1(id)) : QString();
  const QString text = Translate(QStringLiteral("Key_Set")) + name;
  cap->setProperty("tooltipTitle", own);
  cap->setProperty("tooltipText", text);
  cap->SetToolTip(own + QLatin1Char('\n') + text);
  // A key whose own code no row names (the mode keys) is marked only when
  // its function differs from its default.
  const bool unchanged = size_t(key) < namedKeys_.size() &&
                         namedKeys_[size_t(key)].assignment.Code() == namedKeys_[size_t(key)].defaultAssignment.Code();
  cap->SetKeysetMarkHidden(own.compare(name, Qt::CaseInsensitive) == 0 || (own.isEmpty() && unchanged));
}

// ---- device work ---------------------------------------------------------------

void CGesterinKeyboardDevice::LoadFromDevice() {
  const bool read = core_.ReadAll();
  if (read) {
    infoBlock_ = core_.InfoBlock();  // the light step's frame length
    keyPositionMap_.clear();
    std::map<int, int> lights;
    const KeyPositions& p = core_.Positions();
    for (size_t j = 0; j < kKeyboardKeys; ++j) {
      if (p.key[j] == kNoKeyPosition) continue;
      keyPositionMap_[int(j)] = p.key[j];
      lights[int(j)] = p.light[j];
    }
    SetLightPositions(std::move(lights));
  }
  LoadProfile();
  const int settings = ReadSettingsAndStartMode();
  ShowSettings();
  StartLightEngine();
  Trace("keyboard loaded: key map " + std::to_string(read) + ", settings " + std::to_string(settings) + ", mode " +
        std::to_string(lightState_.selectItem));
}

int CGesterinKeyboardDevice::ReadSettingsAndStartMode() {
  profiles::LightInfoRecord next = lightState_;
  const KeyboardSettingsRead r = core_.ReadSettings(next);
  if (r.result != protocol::kOk) return r.result;
  if (next.selectItem == kCustomMode && r.modeStarts) {
    // Entering the custom mode from the keyboard: its five groups come
    // into the profile, and the selected one goes back.
    core_.ReadCustomGroups(next.light);
    if (core_.WriteCustomGroup(next.customGroup) != protocol::kOk)
      platform::SleepFor(std::chrono::milliseconds(kFrameRetryMs));
  }
  if (next.selectItem == kCustomMode) LoadCustomColours(next.customGroup);
  ApplyLightMode(next);
  return r.result;
}

void CGesterinKeyboardDevice::ReloadSettings() {
  if (syncRequested_.exchange(false)) {
    // The keyboard asked for its profile's factory content: the file goes
    // and loading completes it from the factory entry.
    std::error_code ec;
    std::filesystem::remove(profile_->GetProfilePath(), ec);
    LoadProfile();
  }
  ReadSettingsAndStartMode();
  ShowSettings();
}

int CGesterinKeyboardDevice::LoadProfile() {
  if (profileId_.empty()) profileId_ = kFallbackProfileId;
  PreparePaths();
  const int loaded = core_.LoadProfile(profile_->GetProfilePath());
  core_.SetMacroFolder(ProfileFolder());
  ApplyLightingFromProfile();
  return loaded;
}

int CGesterinKeyboardDevice::ApplyLightingFromProfile() {
  const profiles::LightInfoRecord light = profile_->GetLightInfo();
  if (light.selectItem == kCustomMode) LoadCustomColours(light.customGroup);
  FeedAreasFromProfile();
  const auto audio = profile_->GetAudioLightInfo().Encode();
  const auto word = [&](size_t at) {
    return uint32_t(audio[at]) | uint32_t(audio[at + 1]) << 8 | uint32_t(audio[at + 2]) << 16 |
           uint32_t(audio[at + 3]) << 24;
  };
  SetColour(word(0), word(4), audio[8]);
  return CModelDevice::ApplyLightingFromProfile();
}

void CGesterinKeyboardDevice::SetColour(uint32_t word0, uint32_t word1, uint8_t byte8) {
  CModelDevice::SetColour(word0, word1, byte8);
  profile_->SetAudioLightInfo(audioLight_);
  lights_->Audio().SetRecord(audioLight_);
}

void CGesterinKeyboardDevice::SetAudioLevels(std::span<const int32_t> levels) {
  lights_->Audio().SetAudioLevels(levels, lights_->State().selectItem);
}

void CGesterinKeyboardDevice::SetHostColours(std::span<const int32_t> values) {
  lights_->Audio().SetHostColours(values);
}

void CGesterinKeyboardDevice::LoadCustomColours(int group) {
  ShowCustomColours(KeyboardProfile().GetCustomColors(group, int(kKeyboardKeys)));
}

void CGesterinKeyboardDevice::ShowCustomColours(std::span<const profiles::CustomColor> colours) {
  std::array<std::array<uint8_t, 3>, kKeyboardKeys> rgb{};
  for (size_t j = 0; j < colours.size() && j < rgb.size(); ++j) rgb[j] = {colours[j].red, colours[j].green, colours[j].blue};
  lights_->Keyboard().SetCustomColours(rgb);
}

void CGesterinKeyboardDevice::SendCustomColours(std::span<const profiles::CustomColor> colours) {
  // A page the keyboard did not take holds the next one back a little.
  if (core_.WriteCustomColours(lightState_.customGroup, colours) != protocol::kOk)
    platform::SleepFor(std::chrono::milliseconds(kFrameRetryMs));
}

void CGesterinKeyboardDevice::SelectCustomGroup() {
  if (lightState_.selectItem != kCustomMode) return;
  const std::vector<profiles::CustomColor> colours = KeyboardProfile().GetCustomColors(lightState_.customGroup, int(kKeyboardKeys));
  ShowCustomColours(colours);
  lights_->StartMode(lightState_);
  SendCustomColours(colours);
}

bool CGesterinKeyboardDevice::CustomGroupsOffered() const {
  return lightEditor_ && lightEditor_->Kind() == editors::lightkind::kKeyboard;
}

int CGesterinKeyboardDevice::EditorCustomGroup() { return CustomGroupsOffered() ? lightEditor_->GetCustomGroup() : -1; }

void CGesterinKeyboardDevice::StoreAndSendCustomColours(const std::vector<profiles::CustomColor>& colours) {
  const int group = EditorCustomGroup();
  if (group >= 0 && size_t(group) < kCustomGroups) {
    KeyboardProfile().SetCustomColors(colours, group);
    profile_->Save();
  }
  ShowCustomColours(colours);
  if (lightState_.selectItem == kCustomMode) SendCustomColours(colours);
}

void CGesterinKeyboardDevice::PaintKey(int light) {
  if (lightState_.selectItem != kCustomMode || light < 0 || light >= int(kKeyboardKeys) || light >= lightCount_) return;
  // The lights show the lighting state's group.
  std::vector<profiles::CustomColor> colours = KeyboardProfile().GetCustomColors(lightState_.customGroup, int(kKeyboardKeys));
  if (size_t(light) >= colours.size()) return;
  colours[size_t(light)].red = lightState_.red;
  colours[size_t(light)].green = lightState_.green;
  colours[size_t(light)].blue = lightState_.blue;
  StoreAndSendCustomColours(colours);
}

void CGesterinKeyboardDevice::PaintAllKeys(bool lit) {
  if (!CustomGroupsOffered()) return;
  std::vector<profiles::CustomColor> colours = KeyboardProfile().GetCustomColors(lightState_.customGroup, int(kKeyboardKeys));
  for (profiles::CustomColor& c : colours) {
    c.red = lit ? lightState_.red : 0;
    c.green = lit ? lightState_.green : 0;
    c.blue = lit ? lightState_.blue : 0;
  }
  StoreAndSendCustomColours(colours);
}

void CGesterinKeyboardDevice::OnCustomGroupChosen(int group) {
  if (!CustomGroupsOffered() || group < 0 || size_t(group) >= kCustomGroups) return;
  KeyboardProfile().SetCustomGroupIndex(group);
  profiles::LightInfoRecord next = lightState_;
  next.customGroup = uint8_t(group);
  ApplyLightMode(next);
  profile_->SetLightInfo(lightState_);
  profile_->Save();
  WriteSettingsToDevice(0, 0, 0, 0, 0);
  LoadCustomColours(group);
  SelectCustomGroup();
}

int CGesterinKeyboardDevice::WriteKeyMapToDevice(int page, std::span<const profiles::KeyAssignment> keys) {
  return core_.WriteKeyMap(page, keys, int(core_.Macros().size()));
}

int CGesterinKeyboardDevice::WriteKeysFromProfile(int page) {
  return WriteKeyMapToDevice(page, profile_->GetKeyList());
}

void CGesterinKeyboardDevice::OnModelEvent(uint16_t value, bool /*cableHandle*/) {
  const int high = value >> 8;
  if (high != 0x10 && high != 0x11) return;
  QMetaObject::invokeMethod(
      this,
      [this, value] {
        if (core_.OnProfileSwitch(value)) ShowSettings();
      },
      Qt::QueuedConnection);
}

// ---- settings tab --------------------------------------------------------------------

void CGesterinKeyboardDevice::SetSystemSettings(uint32_t w0, uint32_t w1, uint32_t w2) {
  StoreSystemSettings(profiles::KeyboardSystemSettings::FromWords(w0, w1, w2));
}

void CGesterinKeyboardDevice::StoreSystemSettings(const profiles::KeyboardSystemSettings& s) {
  KeyboardProfile().SetSystemSettings(s);
  profile_->Save();
}

void CGesterinKeyboardDevice::ShowSettings() {
  LoadCatalogues();
  // The lighting editor shows the mode, its values and the custom group.
  CModelDevice::ShowSettings();
  if (lightEditor_) lightEditor_->ShowCustomGroup(lightState_.customGroup);
  NameKeyCaps();
  const profiles::KeyboardSystemSettings s = GetSystemSettings();
  ShowPollingRate(s.pollingRate);
  ShowRepeatDelay(s.repeatDelay);
  ShowRepeatRate(s.repeat);
  ShowWinLock(s.winFlag != 0);
  ShowWFlag(s.wFlag != 0);
  ShowSixKey(s.key6Flag != 0);
}

void CGesterinKeyboardDevice::ShowOption(const QString& prefix, int count, int n) {
  if (n < 0 || n >= count) n = 0;
  if (auto* option = Control<ui::COptionUI>(prefix + QString::number(n))) option->Selected(true, false);
}

void CGesterinKeyboardDevice::ShowPollingRate(int n) { ShowOption(QStringLiteral("polling_rate_option_"), kPollingRates, n); }

void CGesterinKeyboardDevice::ShowRepeatDelay(int n) {
  if (n < 0 || n >= kRepeatDelays) n = 0;
  ShowOption(QStringLiteral("repeat_delay_check_"), kRepeatDelays, n);
  if (auto* label = Control<ui::CLabelUI>(QStringLiteral("repeat_delay_time_label1")))
    label->SetText(Translate(QStringLiteral("Repeat_Delay_Time")) + QString::number(kRepeatDelayMs[n]) +
                   QStringLiteral("ms"));
}

void CGesterinKeyboardDevice::ShowRepeatRate(int value) {
  if (auto* slider = Control<ui::CSliderUI>(QStringLiteral("repeat_rate_slider"))) slider->SetValue(value);
}

void CGesterinKeyboardDevice::ShowWinLock(bool on) {
  if (auto* o = Control<ui::COptionUI>(QStringLiteral("winlockflag_option"))) o->Selected(on, false);
}
void CGesterinKeyboardDevice::ShowWFlag(bool on) {
  if (auto* o = Control<ui::COptionUI>(QStringLiteral("wflag_option"))) o->Selected(on, false);
}
void CGesterinKeyboardDevice::ShowSixKey(bool on) {
  if (auto* o = Control<ui::COptionUI>(QStringLiteral("6flag_option"))) o->Selected(on, false);
}

void CGesterinKeyboardDevice::OnPollingOption(int n) {
  profiles::KeyboardSystemSettings s = GetSystemSettings();
  s.pollingRate = uint16_t(n < 0 || n >= kPollingRates ? 0 : n);
  StoreSystemSettings(s);
  WriteSettingsToDevice(0, 0, 0, 0, 0);
}

void CGesterinKeyboardDevice::OnRepeatDelayOption(int n) {
  profiles::KeyboardSystemSettings s = GetSystemSettings();
  s.repeatDelay = uint16_t(n < 0 || n >= kRepeatDelays ? 0 : n);
  StoreSystemSettings(s);
  ShowRepeatDelay(s.repeatDelay);
  WriteSettingsToDevice(0, 0, 0, 0, 0);
}

void CGesterinKeyboardDevice::OnRepeatRate(int value) {
  profiles::KeyboardSystemSettings s = GetSystemSettings();
  s.repeat = uint16_t(std::max(0, value));
  StoreSystemSettings(s);
  WriteSettingsToDevice(0, 0, 0, 0, 0);
}

void CGesterinKeyboardDevice::OnLockOption(const QString& name, bool on) {
  profiles::KeyboardSystemSettings s = GetSystemSettings();
  if (name == QLatin1String("winlockflag_option")) s.winFlag = on;
  else if (name == QLatin1String("wflag_option")) s.wFlag = on;
  else if (name == QLatin1String("6flag_option")) s.key6Flag = on;
  else return;
  StoreSystemSettings(s);
  WriteSettingsToDevice(0, 0, 0, 0, 0);
}

void CGesterinKeyboardDevice::OnResetRepeat() {
  profiles::CKeyboardProfiledata factory;
  factory.SetDefaultPath(profile_->GetDefaultPath());
  factory.LoadProfile(profile_->GetDefaultPath());
  const profiles::KeyboardSystemSettings defaults = factory.GetSystemSettings();
  profiles::KeyboardSystemSettings s = GetSystemSettings();
  s.repeat = defaults.repeat;
  s.repeatDelay = defaults.repeatDelay;
  StoreSystemSettings(s);
  ShowRepeatDelay(s.repeatDelay);
  ShowRepeatRate(s.repeat);
  WriteSettingsToDevice(0, 0, 0, 0, 0);
}

}  // namespace devices
