#include "devices/Models.h"

#include "controls/CMpDevicePowerUI.h"
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
  // The folder name the main window gave decides the factory profile.
  profile_->SetDefaultPath(DefaultProfilePath());
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
  StartLightEngine();
}

int CModelDevice::ApplyLightingFromProfile() {
  lights_->SetEffectSteps(profile_->GetLightEffect());
  ApplyLightMode(profile_->GetLightInfo());
  return 1;
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

// ---- models --------------------------------------------------------------

CGesterinRU6533Device::CGesterinRU6533Device(std::shared_ptr<hid::HidBackend> backend)
    : CModelDevice(std::move(backend), hid::kind::kHeadset, "HD",
                   std::make_unique<profiles::CRu6533Profiledata>()) {}

bool CGesterinRU6533Device::IsClass(const QString& className) const {
  return className == QLatin1String("GesterinRU6533Device") || CModelDevice::IsClass(className);
}

}  // namespace devices
