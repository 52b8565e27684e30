#pragma once
// CGesterinMousePadDevice: the lit pad. No keys, fifteen lights and one
// small settings block with its lighting (PadCore, shared with vx27ctl).

#include "devices/Models.h"
#include "devices/core/KeyboardCore.h"

namespace devices {

class CGesterinMousePadDevice : public CModelDevice {
  Q_OBJECT
 public:
  explicit CGesterinMousePadDevice(std::shared_ptr<hid::HidBackend> backend);
  ~CGesterinMousePadDevice() override { StopThreads(); }
  QString GetClass() const override { return QStringLiteral("GesterinMousePadDevice"); }
  bool IsClass(const QString& className) const override;
  // The pad reacts to 0x401 only.
  void OnEventValue(uint16_t value, bool cableHandle) override;

  void BuildPage() override;
  void LoadFromDevice() override;
  // The settings read, then message 3328 with the onboard profile.
  void ReloadSettings() override;
  int LoadProfile() override;
  int ApplyLightingFromProfile() override;
  // The mode list, then the lighting state in the lighting editor.
  void ShowSettings() override {
    LoadCatalogues();
    CModelDevice::ShowSettings();
  }
  int WriteSettingsToDevice(int p, int, int, int, int) override { return core_.WriteSettings(p); }
  PadCore& Core() { return core_; }

 protected:
  const char* EventExitTrace() const override { return "MS设备同步线程设定退出"; }

 private:
  PadCore core_;
};

}  // namespace devices

using devices::CGesterinMousePadDevice;
