#include "devices/Models.h"

#include <algorithm>

#include "controls/CMpDevicePowerUI.h"
#include "devices/DeviceProfileUI.h"
#include "editors/CLightControlUI.h"
#include "profiles/JsonAccess.h"
#include "profiles/JsonFile.h"
#include "platform/Messages.h"
#include "platform/Trace.h"

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

}  // namespace devices
