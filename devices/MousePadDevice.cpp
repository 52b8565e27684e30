#include "devices/MousePadDevice.h"

#include <filesystem>

#include "platform/Messages.h"
#include "platform/Trace.h"

namespace devices {
namespace {
constexpr size_t kPadCatalogueRow = 2;
constexpr const char* kFallbackProfileId = "default";
}  // namespace

CGesterinMousePadDevice::CGesterinMousePadDevice(std::shared_ptr<hid::HidBackend> backend)
    : CModelDevice(std::move(backend), hid::kind::kMousePad, "MousePad",
                   std::make_unique<profiles::CBasicProfiledata>()),
      core_(commandChannel_) {}

bool CGesterinMousePadDevice::IsClass(const QString& className) const {
  return className == QLatin1String("GesterinMousePadDevice") || CModelDevice::IsClass(className);
}

void CGesterinMousePadDevice::OnEventValue(uint16_t value, bool) {
  if (value == eventcode::kReloadSettings) ArmBarTimer(bartimer::kReloadSettings, kReloadDelayMs);
}

void CGesterinMousePadDevice::BuildPage() {
  CModelDevice::BuildPage();
  core_.SetLightModeValues(
      LightModeValues(std::filesystem::path(DefaultDataFolder()) / "default_light.json", kPadCatalogueRow));
}

void CGesterinMousePadDevice::LoadFromDevice() {
  const bool read = core_.ReadInfo();
  LoadProfile();
  // The engine starts the profile's mode afresh: a mode equal to the one the
  // engine was created with (0, the wave) would otherwise never be prepared,
  // and its unlit lights showed as the plain white light image.
  lights_->StartMode(lightState_);
  ShowSettings();
  StartLightEngine();
  Trace("pad loaded: information block " + std::to_string(int(read)) + ", mode " +
        std::to_string(lightState_.selectItem));
}

void CGesterinMousePadDevice::ReloadSettings() {
  core_.ReadSettings();
  if (mainWindow_) mainWindow_->Send(platform::msg::kOnboardProfile, core_.OnboardProfile(), 0);
}

int CGesterinMousePadDevice::LoadProfile() {
  if (profileId_.empty()) profileId_ = kFallbackProfileId;
  PreparePaths();
  const int loaded = profile_->LoadProfile(profile_->GetProfilePath()).isNull() ? 0 : 1;
  ApplyLightingFromProfile();
  return loaded;
}

int CGesterinMousePadDevice::ApplyLightingFromProfile() {
  core_.ApplyLighting(profile_->GetLightInfo());
  FeedAreasFromProfile();
  return CModelDevice::ApplyLightingFromProfile();
}

}  // namespace devices
