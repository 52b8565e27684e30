#include "devices/MouseDevice.h"

#include <QMetaObject>
#include <QStringList>

#include "controls/CDeviceKeyButtonUI.h"
#include "editors/CKeySetControlUI.h"
#include "editors/core/KeyCatalogue.h"
#include "platform/Messages.h"
#include "platform/Trace.h"
#include "profiles/JsonAccess.h"
#include "profiles/JsonFile.h"
#include "profiles/Text.h"

namespace devices {
namespace {

namespace json = profiles::json;

constexpr int kStages = int(kMouseStageCount);
constexpr int kPollingOptions = 5;
constexpr int kPollingShown = 4;  // options 0..3 are rates; others select 0
constexpr int kBinaryOptions = 2;
constexpr uint32_t kInitialiseReloadMs = 500;
constexpr int kKeyInfoRowHeight = 25;
// The rows share the narrow picture column: the two labels split it.
constexpr int kKeyInfoTitleWidth = 130;
constexpr int kKeyInfoNameWidth = 130;
constexpr uint32_t kKeyInfoTitleColour = 0xFFFFFFFF;
constexpr uint32_t kKeyInfoNameColour = 0xFF0099FF;

// The names of the buttons on their caps' tooltips.
constexpr const char* kButtonNames[kMouseButtons] = {
    "mouse_key_left",      "mouse_key_right",    "mouse_key_middle",   "mouse_key_forward",
    "mouse_key_back",      "mouse_key_DPI_add",  "mouse_key_DPI_sub",  "mouse_key_DPI_loop",
    "keyboard_key_GM",     "mouse_key_M8_key",   "mouse_key_fire_key"};

const char* const kSleepCombos[] = {"ble_sleep1_combo", "ble_sleep2_combo", "device_sleep1_combo",
                                    "device_sleep2_combo"};
const QString kAntiShake = QStringLiteral("Anti_Shake_combo_timeSelect");
// Without a profile chosen by the profile panel, the mouse keeps its settings
// in this profile file of its folder.
constexpr const char* kFallbackProfileId = "default";

QString N(const char* prefix, int i) { return QString::fromLatin1(prefix) + QString::number(i); }

uint32_t Argb(uint8_t r, uint8_t g, uint8_t b) { return 0xFF000000u | uint32_t(r) << 16 | uint32_t(g) << 8 | b; }

// Every control below `root` (depth first).
template <typename F>
void ForEachControl(ui::CControlUI* root, F&& f) {
  auto* box = qobject_cast<ui::CContainerUI*>(root);
  if (!box) return;
  for (int i = 0; i < box->GetCount(); ++i) {
    ui::CControlUI* c = box->GetItemAt(i);
    f(c);
    ForEachControl(c, f);
  }
}

}  // namespace

CGesterinMouseDevice::CGesterinMouseDevice(std::shared_ptr<hid::HidBackend> backend)
    : CModelDevice(std::move(backend), hid::kind::kMouseCable, "mouse",
                   std::make_unique<profiles::CMouseProfiledata>()),
      core_(commandChannel_, static_cast<profiles::CMouseProfiledata&>(*profile_)) {}

CGesterinMouseDevice::~CGesterinMouseDevice() { StopThreads(); }

bool CGesterinMouseDevice::IsClass(const QString& className) const {
  return className == QLatin1String("GesterinMouseDevice") || CModelDevice::IsClass(className);
}

template <typename T>
T* CGesterinMouseDevice::Control(const QString& name) {
  auto it = controls_.find(name);
  if (it == controls_.end() || !it->second) it = controls_.insert_or_assign(name, QPointer(FindSubControl(name))).first;
  return qobject_cast<T*>(it->second.data());
}

// ---- events ------------------------------------------------------------------

void CGesterinMouseDevice::OnEventValue(uint16_t value, bool cableHandle) {
  if (value == eventcode::kReloadSettings) {
    ArmBarTimer(bartimer::kReloadSettings, kReloadDelayMs);
    return;
  }
  // A click raises the reactive lights (the engine checks the mode on its next pass).
  if (value == eventcode::kClick && cableHandle) lights_->Click();
  if (value > eventcode::kReloadSettings && value != eventcode::kProfileReset) OnModelEvent(value, cableHandle);
}

void CGesterinMouseDevice::OnModelEvent(uint16_t value, bool /*cableHandle*/) {
  // An onboard profile switch (0x10n, 0x11mn); the reactive click (0x403)
  // belongs to the light engine. The settings image is the UI thread's.
  const int high = value >> 8;
  if (high != 0x10 && high != 0x11) return;
  QMetaObject::invokeMethod(
      this,
      [this, value] {
        core_.OnProfileSwitch(value);
        ShowSettings();
      },
      Qt::QueuedConnection);
}

// ---- page ----------------------------------------------------------------------

void CGesterinMouseDevice::BuildPage() {
  CModelDevice::BuildPage();
  controls_.clear();
  stripCaps_.assign(size_t(lightCount_), nullptr);
  // The caps of every view of the mouse picture.
  ForEachControl(FindSubControl(QStringLiteral("mouse_device_seting_layout")), [this](ui::CControlUI* c) {
    auto* cap = qobject_cast<controls::CDeviceKeyButtonUI*>(c);
    if (!cap) return;
    if (cap->GetUserData() == QLatin1String("logo")) {
      logoCap_ = cap;
      return;
    }
    if (StoreCap(cap)) return;
    const profiles::TrailingNumber split = profiles::SplitTrailingNumber(cap->GetName().toStdString());
    if (split.prefix == "light_0_" && split.number >= 0 && split.number < lightCount_)
      stripCaps_[size_t(split.number)] = cap;
  });
  for (int i = 0; i < kStages; ++i) {
    if (auto* slider = Control<ui::CSliderUI>(N("DPI_slider_", i)))
      layoutRanges_[i] = {slider->GetMinValue(), slider->GetMaxValue()};
    if (auto* edit = Control<ui::CEditUI>(N("DPI_edit_", i))) {
      edit->SetNumberOnly(true);
      edit->SetMaxChar(5);
    }
  }
  FindKeyEditor(editors::kMouseEditor);
  recoilEditor_ = qobject_cast<recoil::editor::CShootControlUI*>(FindSubControl(QStringLiteral("ShootControlItem")));
  if (!recoilEditor_) recoilEditor_ = findChild<recoil::editor::CShootControlUI*>();
  if (recoilEditor_) {
    recoilEditor_->SetFolders(ProfileFolder(), DefaultDataFolder());
    recoilEditor_->Start();
    recoilEditor_->SelectWeapon(0);
    recoilEditor_->SelectShot(0);
  }
}

// ---- device work ---------------------------------------------------------------

void CGesterinMouseDevice::LoadFromDevice() {
  const ReadAllOutcome out = core_.ReadAll();
  if (out.info == InfoCheck::Unknown) {
    if (mainWindow_) mainWindow_->Send(platform::msg::kInfoBlockUsable, 0, 0);
  } else if (out.info != InfoCheck::Failed) {
    if (mainWindow_) mainWindow_->Send(platform::msg::kInfoBlockUsable, kLayoutUsable, 0);
  }
  if (out.complete) {
    keyPositionMap_.clear();
    for (int b = 0; b < kMouseButtons; ++b) keyPositionMap_[b] = core_.Positions()[size_t(b)];
    for (int i = 0; i < kStages; ++i) {
      auto* slider = Control<ui::CSliderUI>(N("DPI_slider_", i));
      if (!slider) continue;
      const StepRange r = SliderRange(i);
      slider->SetMinValue(r.low);
      slider->SetMaxValue(r.high);
    }
  }
  LoadProfile();
  const int settings = core_.ReadSettings(lightState_);
  effectId_ = lightState_.selectItem;
  // The light engine starts afresh with what the device shows.
  lights_->SetEffectSteps(profile_->GetLightEffect());
  lights_->StartMode(lightState_);
  ShowSettings();
  StartLightEngine();
  Trace("mouse loaded: information block " + std::to_string(int(out.info)) + ", key map " +
        std::to_string(out.complete) + ", settings " + std::to_string(settings));
}

void CGesterinMouseDevice::ReloadSettings() {
  profiles::LightInfoRecord read = lightState_;
  if (core_.ReadSettings(read) == protocol::kOk) ApplyLightMode(read);
  ShowSettings();
}

int CGesterinMouseDevice::LoadProfile() {
  if (profileId_.empty()) profileId_ = kFallbackProfileId;
  PreparePaths();
  // The macro library first: finding a button the profile gave a macro
  // needs the library's size.
  core_.SetMacroFolder(ProfileFolder());
  const int loaded = core_.LoadProfile(profile_->GetProfilePath());
  lightState_ = profile_->GetLightInfo();
  effectId_ = lightState_.selectItem;
  LoadCatalogues();
  NameKeyCaps();
  return loaded;
}

void CGesterinMouseDevice::RepairMacroKeys() {
  if (core_.RepairMacroKeys()) NameKeyCaps();
}

void CGesterinMouseDevice::LoadCatalogues() {
  TakeMacroNames(core_.Macros());
  // The built-in light modes of this model, with their firmware values.
  lightModeNames_.clear();
  std::vector<uint8_t> values;
  const Json::Value catalogue = profiles::LoadJsonFile(std::filesystem::path(DefaultDataFolder()) / "default_light.json");
  const Json::Value& modes = json::Element(json::Member(catalogue, "DefaultLightName"), size_t(deviceOptionTag_));
  for (size_t i = 0; i < json::ArraySize(modes); ++i) {
    const Json::Value& m = json::Element(modes, i);
    lightModeNames_.push_back(QString::fromStdString(json::ToText(json::Member(m, "LightName"))));
    values.push_back(uint8_t(json::ToInt(json::Member(m, "value"))));
  }
  core_.SetLightModeValues(values);
  CModelDevice::LoadCatalogues();
  customEffectNames_.clear();
  const Json::Value config = profile_->LoadLightConfig(profile_->GetLightConfigPath());
  const Json::Value& effects = json::Element(json::Member(config, "LightInfo"), size_t(deviceOptionTag_));
  for (size_t i = 0; i < json::ArraySize(effects); ++i)
    customEffectNames_.push_back(QString::fromStdString(json::ToText(json::Member(json::Element(effects, i), "LightName"))));
}

int CGesterinMouseDevice::InitialiseInfoBlock() {
  const int result = core_.InitialiseInfoBlock();
  ArmBarTimer(bartimer::kFirstLoad, kInitialiseReloadMs);
  return result;
}

void CGesterinMouseDevice::SelectKey(int keyIndex) {
  CModelDevice::SelectKey(keyIndex);
  const auto& keys = core_.Keys();
  if (!keyEditor_ || keyIndex < 0 || size_t(keyIndex) >= keys.size()) return;
  keyEditor_->SetKey(keys[size_t(keyIndex)]);
  // A chosen key can be edited and saved at once (the buttons would
  // otherwise stay off after a save until "default" is pressed).
  keyEditor_->SetButtonsEnabled(true);
}

void CGesterinMouseDevice::SetFunctionSwitch(int type) { CModelDevice::SetFunctionSwitch(type); }

void CGesterinMouseDevice::LightStep() {
  CModelDevice::LightStep();
  // The strip drawn a second time on another view, and the logo in the
  // colour of the light chosen for it.
  const LightColourArray& colours = lights_->Colours();
  for (size_t i = 0; i < stripCaps_.size() && i < colours.Size(); ++i) {
    const LightColour c = colours.Load(i);
    if (stripCaps_[i]) stripCaps_[i]->SetLightOverlay(uint32_t(c.c0) << 16 | uint32_t(c.c1) << 8 | c.c2, c.brightness, true);
  }
  if (logoCap_ && logoLight_ >= 0 && size_t(logoLight_) < colours.Size()) {
    const LightColour c = colours.Load(size_t(logoLight_));
    logoCap_->SetLightOverlay(uint32_t(c.c0) << 16 | uint32_t(c.c1) << 8 | c.c2, c.brightness, true);
  }
}

// ---- showing the settings ---------------------------------------------------------

StepRange CGesterinMouseDevice::SliderRange(int stage) {
  const auto it = layoutRanges_.find(stage);
  return StepRangeFor(core_.Sensor(), it == layoutRanges_.end() ? StepRange{0, 0} : it->second);
}

void CGesterinMouseDevice::ShowSettings() {
  CModelDevice::ShowSettings();
  profiles::CMouseProfiledata& p = MouseProfile();
  const std::vector<profiles::DpiStage> stages = p.GetDpiStages();
  for (int i = 0; i < kStages && size_t(i) < stages.size(); ++i) {
    const profiles::DpiStage& s = stages[size_t(i)];
    ShowStageEnabled(i, s.active != 0);
    ShowStage(i, s.dpiX);
    ShowStageColour(i, Argb(s.red, s.green, s.blue));
  }
  const profiles::MouseSystemSettings sys = p.GetSystemSettings();
  ShowPollingRate(sys.reportRate);
  ShowLiftOff(sys.silentAltitude);
  ShowLinearCalibration(sys.linearCalibration);
  ShowRipple(sys.ripple);
  ShowAntiShake(sys.keyDebounceTime);
  ShowSleep(QString::fromLatin1(kSleepCombos[0]), sys.bleSleep1);
  ShowSleep(QString::fromLatin1(kSleepCombos[1]), sys.bleSleep2);
  ShowSleep(QString::fromLatin1(kSleepCombos[2]), sys.deviceSleep1);
  ShowSleep(QString::fromLatin1(kSleepCombos[3]), sys.deviceSleep2);
  ShowPointerSettings();
  NameKeyCaps();
}

void CGesterinMouseDevice::ShowStageEnabled(int stage, bool on) {
  if (auto* layout = Control<ui::CControlUI>(N("DPI_layout_", stage))) layout->SetEnabled(on);
  if (auto* check = Control<ui::COptionUI>(N("DPI_enable_check_", stage))) check->Selected(on, false);
  if (on) {
    for (int i = 0; i < kStages; ++i)
      if (auto* c = Control<ui::CControlUI>(N("DPI_enable_check_", i))) c->SetEnabled(true);
    return;
  }
  // The last enabled stage cannot be switched off.
  ui::COptionUI* last = nullptr;
  int selected = 0;
  for (int i = 0; i < kStages; ++i) {
    auto* c = Control<ui::COptionUI>(N("DPI_enable_check_", i));
    if (c && c->IsSelected()) {
      ++selected;
      last = c;
    }
  }
  if (selected == 1 && last) last->SetEnabled(false);
}

bool CGesterinMouseDevice::IsStageEnabled(int stage) {
  auto* check = Control<ui::COptionUI>(N("DPI_enable_check_", stage));
  return check && check->IsSelected();
}

void CGesterinMouseDevice::ShowStage(int stage, int step) {
  if (auto* slider = Control<ui::CSliderUI>(N("DPI_slider_", stage))) slider->SetValue(step);
  const int active = MouseProfile().GetActiveStage();
  for (int i = 0; i < kStages; ++i) {
    if (auto* c = Control<ui::CControlUI>(N("DPI_enable_check_", i)); c && i == active) c->SetEnabled(false);
    if (auto* s = Control<ui::COptionUI>(N("DPI_select_check_", i))) s->Selected(i == active, false);
  }
  if (auto* edit = Control<ui::CEditUI>(N("DPI_edit_", stage)))
    edit->SetText(QString::number(DpiFromStep(core_.Sensor(), step)));
}

int CGesterinMouseDevice::StepFromEdit(int stage) {
  auto* edit = Control<ui::CEditUI>(N("DPI_edit_", stage));
  if (!edit || edit->GetText().isEmpty()) return 0;
  const int typed = std::clamp(edit->GetText().toInt(), kDpiEditMin, kDpiEditMax);
  return StepFromDpi(core_.Sensor(), typed, SliderRange(stage));
}

void CGesterinMouseDevice::ShowStageColour(int stage, uint32_t argb) {
  if (auto* swatch = Control<ui::CControlUI>(N("DPI_color_option_", stage))) swatch->SetBkColor(argb);
}

uint32_t CGesterinMouseDevice::GetStageColour(int stage) {
  auto* swatch = Control<ui::CControlUI>(N("DPI_color_option_", stage));
  return swatch ? swatch->GetBkColor() : 0;
}

void CGesterinMouseDevice::ShowOption(const QString& prefix, int count, int n) {
  for (int i = 0; i < count; ++i)
    if (auto* o = Control<ui::COptionUI>(prefix + QString::number(i))) o->Selected(i == n, false);
}

void CGesterinMouseDevice::ShowPollingRate(int n) {
  ShowOption(QStringLiteral("polling_rate_option_"), kPollingOptions, n >= 0 && n < kPollingShown ? n : 0);
}
void CGesterinMouseDevice::ShowLiftOff(int n) {
  ShowOption(QStringLiteral("Silent_Altitude_option_"), kBinaryOptions, n == 1 ? 1 : 0);
}
void CGesterinMouseDevice::ShowLinearCalibration(int n) {
  ShowOption(QStringLiteral("Linear_Calibration_option_"), kBinaryOptions, n == 1 ? 1 : 0);
}
void CGesterinMouseDevice::ShowRipple(int n) {
  ShowOption(QStringLiteral("Ripple_option_"), kBinaryOptions, n == 1 ? 1 : 0);
}

void CGesterinMouseDevice::ShowAntiShake(int n) {
  if (auto* combo = Control<ui::CComboUI>(kAntiShake)) combo->SelectItem(n, false, false);
}

int CGesterinMouseDevice::GetAntiShake() {
  auto* combo = Control<ui::CComboUI>(kAntiShake);
  return combo ? combo->GetCurSel() : -1;
}

void CGesterinMouseDevice::ShowSleep(const QString& name, int value) {
  auto* combo = Control<ui::CComboUI>(name);
  if (!combo) return;
  for (int i = 0; i < combo->GetCount(); ++i)
    if (combo->GetItemAt(i)->GetUserData().toInt() == value) {
      combo->SelectItem(i, false, false);
      return;
    }
}

int CGesterinMouseDevice::GetSleep(const QString& name) {
  auto* combo = Control<ui::CComboUI>(name);
  if (!combo || combo->GetCurSel() < 0) return -1;
  return combo->GetItemAt(combo->GetCurSel())->GetUserData().toInt();
}

void CGesterinMouseDevice::ShowPointerSettings() {
  const profiles::MouseSystemSettings s = MouseProfile().GetSystemSettings();
  if (auto* c = Control<ui::CSliderUI>(QStringLiteral("pointer_speed_slider"))) c->SetValue(s.mouseSpeed);
  if (auto* c = Control<ui::COptionUI>(QStringLiteral("pointer_precision_check"))) c->Selected(s.pointerPrecision != 0, false);
  if (auto* c = Control<ui::COptionUI>(QStringLiteral("scrolls_page_check"))) c->Selected(s.scrollPage != 0, false);
  if (auto* c = Control<ui::CSliderUI>(QStringLiteral("scroll_speed_slider"))) {
    c->SetValue(s.wheelScrollLines);
    c->SetEnabled(s.scrollPage == 0);
  }
  if (auto* c = Control<ui::CSliderUI>(QStringLiteral("double_click_slider"))) c->SetValue(s.doubleClickTime);
}

void CGesterinMouseDevice::ShowOptionTab(int n) {
  auto* tabs = Control<ui::CTabLayoutUI>(QStringLiteral("mouse_device_seting_layout"));
  if (tabs) tabs->SelectItem(n >= 0 && n < tabs->GetCount() ? n : 0);
  auto* options = Control<ui::CContainerUI>(QStringLiteral("mouse_option_layout"));
  if (!options) return;
  const QString chosen = N("mouse_device_seting_option_", n);
  for (int i = 0; i < options->GetCount(); ++i)
    if (auto* o = qobject_cast<ui::COptionUI*>(options->GetItemAt(i))) o->Selected(o->GetName() == chosen, false);
}

// ---- key names ------------------------------------------------------------------------

void CGesterinMouseDevice::NameKeyCaps() {
  const auto& keys = core_.Keys();
  for (size_t b = 0; b < keys.size(); ++b) {
    ShowKeyAssignment(int(b), AssignmentName(keys[b].assignment));
  }
  ShowLogoTooltip();
}

void CGesterinMouseDevice::ShowKeyAssignment(int button, const QString& name) {
  if (button < 0 || button >= keyButtonCount_ || button >= kMouseButtons) return;
  controls::CDeviceKeyButtonUI* cap = KeyButton(button);
  if (!cap) return;
  const QString title = Translate(QString::fromLatin1(kButtonNames[button]));
  cap->setProperty("tooltipTitle", title);
  cap->setProperty("tooltipText", name);
  cap->SetToolTip(title + QLatin1Char('\n') + name);
  const auto& keys = core_.Keys();
  const bool changed = size_t(button) < keys.size() && keys[size_t(button)].assignment.Code() !=
                                                           keys[size_t(button)].defaultAssignment.Code();
  cap->SetKeysetMarkHidden(!changed);

  auto* list = Control<ui::CListUI>(QStringLiteral("device_setkeyinfo_list"));
  if (!list) return;
  while (list->GetCount() < button + 1) {
    auto* row = new ui::CListContainerElementUI;
    row->SetFixedHeight(kKeyInfoRowHeight);
    auto* first = new ui::CLabelUI;
    first->SetFixedWidth(kKeyInfoTitleWidth);
    first->SetTextColor(kKeyInfoTitleColour);
    auto* second = new ui::CLabelUI;
    second->SetFixedWidth(kKeyInfoNameWidth);
    second->SetTextColor(kKeyInfoNameColour);
    second->SetAttribute(QStringLiteral("endellipsis"), QStringLiteral("true"));
    row->Add(first);
    row->Add(second);
    row->SetVisible(false);
    row->SetEnabled(false);
    list->Add(row);
  }
  auto* row = qobject_cast<ui::CContainerUI*>(list->GetItemAt(button));
  if (!row || row->GetCount() < 2) return;
  row->GetItemAt(0)->SetText(title);
  row->GetItemAt(1)->SetText(name);
  // A row shows a button the picture shows.
  row->SetVisible(cap->IsVisible());
  row->SetEnabled(cap->IsVisible());
}

void CGesterinMouseDevice::ShowLogoTooltip() {
  if (!logoCap_) return;
  QString text = Translate(QStringLiteral("Light_Set")) + QLatin1Char('\n') + Translate(QStringLiteral("Overall_Light_Set"));
  const int mode = lightState_.selectItem;
  if (mode > 11) {
    if (size_t(mode - 12) < customEffectNames_.size()) text += customEffectNames_[size_t(mode - 12)];
  } else if (size_t(mode) < lightModeNames_.size()) {
    text += Translate(lightModeNames_[size_t(mode)]);
  }
  logoCap_->setProperty("tooltipTitle", QStringLiteral("Logo"));
  logoCap_->setProperty("tooltipText", text);
  logoCap_->SetToolTip(QStringLiteral("Logo\n") + text);
}

// ---- what the controls do ---------------------------------------------------------------

void CGesterinMouseDevice::WriteSettingsAndSave() {
  SaveProfile();
  WriteSettingsToDevice(0, 0, 0, 0, 0);
}

void CGesterinMouseDevice::OnDpiSlider(int stage, bool store) {
  auto* slider = Control<ui::CSliderUI>(N("DPI_slider_", stage));
  if (!slider || stage < 0 || stage >= kStages) return;
  const int step = slider->GetValue();
  if (auto* edit = Control<ui::CEditUI>(N("DPI_edit_", stage)))
    edit->SetText(QString::number(DpiFromStep(core_.Sensor(), step)));
  if (!store) return;
  std::vector<profiles::DpiStage> stages = MouseProfile().GetDpiStages();
  if (stages.size() <= size_t(stage)) stages.resize(size_t(stage) + 1);
  stages[size_t(stage)].dpiX = uint16_t(step);
  stages[size_t(stage)].dpiY = uint16_t(step);
  MouseProfile().SetDpiStages(stages);
  WriteSettingsAndSave();
}

void CGesterinMouseDevice::OnDpiEdit(int stage) {
  if (stage < 0 || stage >= kStages) return;
  const int step = StepFromEdit(stage);
  if (auto* slider = Control<ui::CSliderUI>(N("DPI_slider_", stage))) slider->SetValue(step);
  OnDpiSlider(stage, true);
}

void CGesterinMouseDevice::OnStageEnableCheck(int stage) {
  if (stage < 0 || stage >= kStages) return;
  const bool on = IsStageEnabled(stage);
  ShowStageEnabled(stage, on);
  std::vector<profiles::DpiStage> stages = MouseProfile().GetDpiStages();
  if (stages.size() <= size_t(stage)) stages.resize(size_t(stage) + 1);
  stages[size_t(stage)].active = on ? 1 : 0;
  MouseProfile().SetDpiStages(stages);
  WriteSettingsAndSave();
}

void CGesterinMouseDevice::OnStageSelectCheck(int stage) {
  auto* check = Control<ui::COptionUI>(N("DPI_select_check_", stage));
  if (!check || !check->IsSelected() || stage < 0 || stage >= kStages) return;
  (void)MouseProfile().GetDpiStages();
  MouseProfile().SetActiveStage(stage);
  const std::vector<profiles::DpiStage> stages = MouseProfile().GetDpiStages();
  for (int i = 0; i < kStages && size_t(i) < stages.size(); ++i) ShowStage(i, stages[size_t(i)].dpiX);
  WriteSettingsAndSave();
}

void CGesterinMouseDevice::OnSettingOption(const QString& prefix, int n) {
  profiles::MouseSystemSettings s = MouseProfile().GetSystemSettings();
  if (prefix == QLatin1String("polling_rate_option_")) s.reportRate = uint16_t(n);
  else if (prefix == QLatin1String("Silent_Altitude_option_")) s.silentAltitude = uint16_t(n);
  else if (prefix == QLatin1String("Linear_Calibration_option_")) s.linearCalibration = uint16_t(n);
  else if (prefix == QLatin1String("Ripple_option_")) s.ripple = uint16_t(n);
  else return;
  MouseProfile().SetSystemSettings(s);
  WriteSettingsAndSave();
}

void CGesterinMouseDevice::OnTimingCombo(const QString& name) {
  profiles::MouseSystemSettings s = MouseProfile().GetSystemSettings();
  const auto value = [&](const QString& combo) { return uint16_t(std::max(GetSleep(combo), 0)); };
  if (name == kAntiShake) s.keyDebounceTime = uint16_t(std::max(GetAntiShake(), 0));
  else if (name == QLatin1String(kSleepCombos[0])) s.bleSleep1 = value(name);
  else if (name == QLatin1String(kSleepCombos[1])) s.bleSleep2 = value(name);
  else if (name == QLatin1String(kSleepCombos[2])) s.deviceSleep1 = value(name);
  else if (name == QLatin1String(kSleepCombos[3])) s.deviceSleep2 = value(name);
  else return;
  MouseProfile().SetSystemSettings(s);
  WriteSettingsAndSave();
}

void CGesterinMouseDevice::OnPointerControl(const QString& name) {
  profiles::MouseSystemSettings s = MouseProfile().GetSystemSettings();
  auto slider = [&](const char* n) {
    auto* c = Control<ui::CSliderUI>(QString::fromLatin1(n));
    return c ? uint16_t(c->GetValue()) : uint16_t(0);
  };
  auto check = [&](const char* n) {
    auto* c = Control<ui::COptionUI>(QString::fromLatin1(n));
    return c && c->IsSelected() ? uint16_t(1) : uint16_t(0);
  };
  if (name == QLatin1String("pointer_speed_slider")) s.mouseSpeed = slider("pointer_speed_slider");
  else if (name == QLatin1String("scroll_speed_slider")) s.wheelScrollLines = slider("scroll_speed_slider");
  else if (name == QLatin1String("double_click_slider")) s.doubleClickTime = slider("double_click_slider");
  else if (name == QLatin1String("pointer_precision_check")) s.pointerPrecision = check("pointer_precision_check");
  else if (name == QLatin1String("scrolls_page_check")) s.scrollPage = check("scrolls_page_check");
  else return;
  MouseProfile().SetSystemSettings(s);
  SaveProfile();
  ShowPointerSettings();
}

void CGesterinMouseDevice::SaveEditedKey() {
  if (!keyEditor_ || selectedKey_ < 0 || selectedKey_ >= kMouseButtons) return;
  profiles::KeyAssignment key = keyEditor_->BuildFunction();
  key.assignment.keyIndex = uint16_t(selectedKey_);
  core_.SetKey(selectedKey_, key);
  NameKeyCaps();
  keyEditor_->SetButtonsEnabled(true);
}


}  // namespace devices
