#pragma once
// CGesterinMouseDevice: the mouse's page and controller. The device work
// (read-all, settings, key map, macros, recoil) is MouseCore's, shared with
// vx27ctl; this class adds the page: its caps, the DPI stages with their
// sensor rules, the polling, lift-off, calibration, ripple, anti-shake and
// sleep controls, the pointer controls, the key caps' names and the key
// information list.

#include <map>
#include <memory>

#include <QPointer>

#include "devices/Models.h"
#include "devices/core/MouseCore.h"
#include "editors/CKeySetControlUI.h"
#include "recoil/editor/CShootControlUI.h"

namespace devices {

// A reply of the mouse's read-all through message 3333: 1 usable, 0 not.
inline constexpr int kLayoutUsable = 1;

class CGesterinMouseDevice : public CModelDevice {
  Q_OBJECT
 public:
  explicit CGesterinMouseDevice(std::shared_ptr<hid::HidBackend> backend);
  ~CGesterinMouseDevice() override;
  QString GetClass() const override { return QStringLiteral("GesterinMouseDevice"); }
  bool IsClass(const QString& className) const override;

  static constexpr uint8_t kMouseStatusLength = 2;
  void PollStatus() override { PollStatusBlock(kMouseStatusLength); }
  int IsLinked() override { return LinkedThroughReceiver(); }
  // The mouse takes 0x401 only from the common codes; 0x402 and 0 do nothing.
  void OnEventValue(uint16_t value, bool cableHandle) override;

  // ---- model operations ----------------------------------------------------
  void BuildPage() override;
  void LoadFromDevice() override;
  void ReloadSettings() override;
  int LoadProfile() override;
  void ShowSettings() override;
  void RepairMacroKeys() override;
  std::vector<int> CollectUsedMacros() override { return core_.CollectUsedMacros(); }
  int WriteKeyMapToDevice(int page, std::span<const profiles::KeyAssignment> keys) override {
    return core_.WriteKeyMap(page, keys);
  }
  int WriteKeysFromProfile(int page) override { return core_.WriteKeysFromProfile(page); }
  int WriteMacrosToDevice(std::span<const int> macros) override { return core_.WriteMacros(macros); }
  int WriteSettingsToDevice(int p, int v, int, int, int) override { return core_.WriteSettings(p, v); }
  void LoadCatalogues() override;
  void SelectKey(int keyIndex) override;
  void SetFunctionSwitch(int type) override;
  void LightStep() override;
  int WriteRecoilToDevice() { return core_.WriteRecoil(ProfileFolder()); }
  // The main window's answer to an unrecognised mouse: the block marked
  // initialised and written, then a fresh load 500 ms later.
  int InitialiseInfoBlock();

  // ---- page operations -----------------------------------------------------
  void ShowStageEnabled(int stage, bool on);
  bool IsStageEnabled(int stage);
  void ShowStage(int stage, int step);
  int StepFromEdit(int stage);
  void ShowStageColour(int stage, uint32_t argb);
  uint32_t GetStageColour(int stage);
  void ShowPollingRate(int n);
  void ShowLiftOff(int n);
  void ShowLinearCalibration(int n);
  void ShowRipple(int n);
  void ShowAntiShake(int n);
  int GetAntiShake();
  void ShowSleep(const QString& combo, int value);
  int GetSleep(const QString& combo);
  void ShowPointerSettings();
  void ShowOptionTab(int n);
  void NameKeyCaps();
  void ShowKeyAssignment(int button, const QString& name);
  void ShowLogoTooltip();

  // ---- what the page's controls do (routed by the main window) ------------
  // A DPI slider moved (live) or let go / an edit finished: the step is shown;
  // unless only moving, it is stored, saved and sent.
  void OnDpiSlider(int stage, bool store);
  void OnDpiEdit(int stage);
  void OnStageEnableCheck(int stage);
  void OnStageSelectCheck(int stage);
  // Option families: "polling_rate_option_", "Silent_Altitude_option_",
  // "Linear_Calibration_option_", "Ripple_option_".
  void OnSettingOption(const QString& prefix, int n);
  // "Anti_Shake_combo_timeSelect" and the four sleep combos.
  void OnTimingCombo(const QString& name);
  // The pointer controls: stored in the profile only.
  void OnPointerControl(const QString& name);

  // The key editor's keysave: the edited button's function stored.
  void SaveEditedKey() override;
  // The recoil editor ("ShootControlItem"); started with the page on the
  // profile folder's recoil files.
  recoil::editor::CShootControlUI* RecoilEditor() const { return recoilEditor_; }

  MouseCore& Core() { return core_; }
  profiles::CMouseProfiledata& MouseProfile() { return static_cast<profiles::CMouseProfiledata&>(*profile_); }
  const std::vector<QString>& MacroNames() const { return macroNames_; }
  const std::vector<QString>& LightModeNames() const { return lightModeNames_; }

 protected:
  void OnModelEvent(uint16_t value, bool cableHandle) override;

 private:
  template <typename T>
  T* Control(const QString& name);
  // The slider range of a stage: the sensor's, or the layout's.
  StepRange SliderRange(int stage);
  void ShowOption(const QString& prefix, int count, int n);
  void WriteSettingsAndSave();

  MouseCore core_;
  std::vector<QPointer<controls::CDeviceKeyButtonUI>> stripCaps_;  // "light_0_"N
  QPointer<controls::CDeviceKeyButtonUI> logoCap_;
  QPointer<recoil::editor::CShootControlUI> recoilEditor_;
  int logoLight_ = -1;
  std::map<QString, QPointer<ui::CControlUI>> controls_;
  std::map<int, StepRange> layoutRanges_;
  std::vector<QString> lightModeNames_;
  std::vector<QString> customEffectNames_;
};

}  // namespace devices

using devices::CGesterinMouseDevice;
