#include "devices/Models.h"

#include <algorithm>

#include "controls/CMpDevicePowerUI.h"
#include "devices/DeviceProfileUI.h"
#include "editors/CLightControlUI.h"
#include "editors/core/KeyCatalogue.h"
#include "profiles/JsonAccess.h"
#include "profiles/JsonFile.h"
#include "platform/Messages.h"
#include "platform/Trace.h"
#include "protocol/KeyMap.h"

namespace devices {

CModelDevice::CModelDevice(std::shared_ptr<hid::HidBackend> backend, int kind, const char* folderName,
                           std::unique_ptr<profiles::CBasicProfiledata> profile)
    : CGesterinUSBDevice(std::move(backend), kind), profile_(std::move(profile)) {
  deviceFolderName_ = folderName;
  profile_->SetDefaultPath(DefaultProfilePath());
}

void CModelDevice::InitPage() {
  RegisterPage();
  CGesterinUSBDevice::InitPage();
  BuildPage();
}

void CModelDevice::BuildPage() {
  (void)FunctionSwitchLayout();
  (void)KeyFunctionSwitchLayout();
  lightEditor_ = qobject_cast<editors::CLightControlUI*>(FindSubControl(QStringLiteral("LightControlItem")));
  if (lightEditor_) {
    lightEditor_->SetKind(kind_);
    LoadCatalogues();
  }
  // The folder name the main window gave decides the factory profile.
  profile_->SetDefaultPath(DefaultProfilePath());
  SetUpProfilePanel();
}

void CModelDevice::SetUpProfilePanel() {
  auto* panel = ProfilePanel();
  if (!panel) return;
  panel->SetKind(Kind());
  panel->SetPaths(ProfileFolder(), DefaultProfilePath());
  panel->InitList();
  const bool mouse = Kind() == hid::kind::kMouseCable || Kind() == hid::kind::kMouseReceiver;
  // The page opens on the function the panel shows selected.
  const int firstTab = mouse ? 2 : 1;
  SetFunctionSwitch(firstTab);
  panel->SelectOpTab(firstTab);
  SetProfileId(panel->GetSelectedProfileId());
}

CDeviceProfileUI* CModelDevice::ProfilePanel() const {
  if (!GetManager()) return nullptr;
  return qobject_cast<CDeviceProfileUI*>(GetManager()->FindSubControlByName(
      const_cast<CModelDevice*>(this), QStringLiteral("DeviceProfileItem")));
}

void CModelDevice::PreparePaths() {
  const std::filesystem::path folder = ProfileFolder();
  profile_->SetProfilePath(folder / (profileId_ + ".Json"));
  profile_->SetLightConfigPath(folder / (lightConfigWord_ + ".config"));
}

std::string CModelDevice::GetProfilePath() const { return profile_->GetProfilePath().string(); }

void CModelDevice::SaveProfile() { profile_->Save(); }

void CModelDevice::SetOptionTag(int value) {
  CGesterinUSBDevice::SetOptionTag(value);
  profile_->SetDeviceIndex(0);
}

void CModelDevice::LoadFromDevice() {
  ApplyLightingFromProfile();
  ShowSettings();
  StartLightEngine();
}

void CModelDevice::LoadCatalogues() {
  if (!lightEditor_) return;
  namespace json = profiles::json;
  constexpr int kMaxLevel = 4;
  const Json::Value catalogue = profiles::LoadJsonFile(std::filesystem::path(DefaultDataFolder()) / "default_light.json");
  const Json::Value& modes = json::Element(json::Member(catalogue, "DefaultLightName"), size_t(deviceOptionTag_));
  QStringList names;
  std::vector<bool> visible;
  for (size_t i = 0; i < json::ArraySize(modes); ++i) {
    const Json::Value& mode = json::Element(modes, i);
    names << QString::fromStdString(json::ToText(json::Member(mode, "LightName")));
    visible.push_back(json::ToBool(json::Member(mode, "visible")));
  }
  lightEditor_->SetModeList(names, visible, kMaxLevel, kMaxLevel);
}

void CModelDevice::ShowSettings() {
  if (lightEditor_) lightEditor_->ShowLightInfo(lightState_);
}

int CModelDevice::ApplyLightingFromProfile() {
  lights_->SetEffectSteps(profile_->GetLightEffect());
  ApplyLightMode(profile_->GetLightInfo());
  return 1;
}

void CModelDevice::FeedAreasFromProfile() {
  std::vector<profiles::LightModeEntry> areas = profile_->GetLightList();
  areas.resize(size_t(std::max(lightCount_, 0)));
  lights_->SetAreas(std::move(areas));
}

void CModelDevice::SetLightState(uint32_t w0, uint32_t w1, uint32_t w2, uint16_t w3) {
  CGesterinUSBDevice::SetLightState(w0, w1, w2, w3);
  profile_->SetLightInfo(lightState_);
}

void CModelDevice::PollStatusBlock(uint8_t length) {
  namespace sb = protocol::statusblock;
  if (statusPollOff_ || !commandChannel_.IsOpen() || !commandChannel_.QueryWirelessLink()) return;
  std::array<uint8_t, protocol::kStatusBlockSize> block{};
  if (commandChannel_.ReadStatusBlock(block, length, 0) != protocol::kOk) return;
  block[sb::kReceiverMode] = commandChannel_.ReceiverMode() ? 1 : 0;
  if (auto* panel = qobject_cast<controls::CMpDevicePowerUI*>(powerPanel_.data())) panel->UpdatePower(block);
  if (mainWindow_) mainWindow_->Send(platform::msg::kDeviceStatus, block[sb::kMessageParam], 0);
}

int CModelDevice::LinkedThroughReceiver() {
  return commandChannel_.IsOpen() && commandChannel_.ReceiverMode() && commandChannel_.QueryWirelessLink() ? 1 : 0;
}

// ---- key editor -------------------------------------------------------------------

void CModelDevice::TakeMacroNames(const std::vector<MacroIndexEntry>& index) {
  macroNames_.clear();
  for (const MacroIndexEntry& e : index) macroNames_.push_back(QString::fromStdString(e.name));
  if (!keyEditor_) return;
  auto* combo = qobject_cast<ui::CComboUI*>(keyEditor_->FindSubControl(QStringLiteral("keyset_macro_combo")));
  while (combo && combo->GetCount() > 0) keyEditor_->RemoveMacroName(combo->GetCount() - 1);
  keyEditor_->SetMacroNames(macroNames_);
}

void CModelDevice::FindKeyEditor(int editorKind) {
  keyEditor_ = qobject_cast<editors::CKeySetControlUI*>(FindSubControl(QStringLiteral("KeySetControlItem")));
  if (!keyEditor_) return;
  keyEditor_->Init();
  keyEditor_->SetDeviceKind(editorKind);
}

int CModelDevice::SaveKeysToDevice() {
  const std::vector<int> used = CollectUsedMacros();
  const int r = WriteMacrosToDevice(used);
  if (r == 0 || r == protocol::kNotWritten) {
    WriteKeysFromProfile(0);
    SaveProfile();
  }
  return r;
}

void CModelDevice::RestoreEditedKey() {
  if (!keyEditor_) return;
  keyEditor_->ShowDefault();
  SaveEditedKey();
}

QString CModelDevice::Translate(const QString& id) {
  if (!textProbe_) textProbe_ = qobject_cast<ui::CLabelUI*>(FindSubControl(QStringLiteral("text_test")));
  if (!textProbe_) return id;
  textProbe_->SetText(id);
  return textProbe_->GetText();
}

QString CModelDevice::AssignmentName(const profiles::KeyFunction& f) {
  if (protocol::IsMacroType(f.c0)) return f.c1 < macroNames_.size() ? macroNames_[f.c1] : QString();
  if (const char* id = editors::NameOfCode(f.c0, f.c1, f.c2)) return Translate(QString::fromLatin1(id));
  return UnlistedName(f);
}

QString CModelDevice::UnlistedName(const profiles::KeyFunction& f) {
  // A key with modifiers: the modifiers' names, then the key's.
  if (f.c0 == editors::fn::kKey && f.c1 != 0) {
    QStringList parts;
    const auto rows = editors::KeyboardRows();
    for (int m = 0; m < editors::kModifierRows; ++m)
      if (f.c1 & rows[size_t(m)].c1) parts << Translate(QString::fromLatin1(rows[size_t(m)].textId));
    if (const char* key = editors::NameOfCode(f.c0, 0, f.c2); key && f.c2 != 0) parts << Translate(QString::fromLatin1(key));
    return parts.join(QStringLiteral(" + "));
  }
  // Types without a row of their own are named by their kind.
  struct TypeName {
    uint8_t c0;
    const char* id;
  };
  static constexpr TypeName kTypeNames[] = {
      {editors::fn::kSwing, "keyset_category_swing"}, {editors::fn::kScroll, "keyset_category_scroll"},
      {editors::fn::kFire, "keyset_category_fire"},   {0x16, "key_function_dpi_shift"},
      {0x22, "key_function_shortcut"},                {0x23, "key_function_show_window"},
      {0xA0, "key_function_off"},                     {editors::fn::kShortcutPage, "keyset_category_shortcut"},
  };
  for (const TypeName& t : kTypeNames)
    if (t.c0 == f.c0) return Translate(QString::fromLatin1(t.id));
  return QStringLiteral("0x%1").arg(f.Code(), 6, 16, QLatin1Char('0'));
}

}  // namespace devices
