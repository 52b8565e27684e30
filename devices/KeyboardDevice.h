#pragma once
// CGesterinKeyboardDevice: the keyboard's page and controller. The device
// work (read-all with key and light positions, settings, custom colour
// groups, key map) is KeyboardCore's, shared with vx27ctl; the light effects
// are the engine's (KeyboardEffects). This class adds the page: its caps,
// the settings tab and the custom colour painting.

#include <map>

#include <QPointer>

#include "devices/Models.h"
#include "devices/core/KeyboardCore.h"

namespace devices {

class CGesterinKeyboardDevice : public CModelDevice {
  Q_OBJECT
 public:
  explicit CGesterinKeyboardDevice(std::shared_ptr<hid::HidBackend> backend);
  ~CGesterinKeyboardDevice() override;
  QString GetClass() const override { return QStringLiteral("GesterinKeyboardDevice"); }
  bool IsClass(const QString& className) const override;
  void PollStatus() override { PollStatusBlock(kKeyboardStatusLength); }
  int IsLinked() override { return LinkedThroughReceiver(); }
  // With host light control on: the caps, the frame, and for the host-computed
  // effects on a wired keyboard the frame streamed to the device.
  void LightStep() override;

  static constexpr uint8_t kKeyboardStatusLength = 6;
  static constexpr uint32_t kFrameRetryMs = 200;
  static constexpr int kRepeatDelays = 4;  // 250, 500, 750, 1000 ms
  static constexpr int kPollingRates = 4;

  // ---- model operations ----------------------------------------------------
  void BuildPage() override;
  void LoadFromDevice() override;
  // After 0x402 the profile goes back to its factory content first.
  void ReloadSettings() override;
  int LoadProfile() override;
  int ApplyLightingFromProfile() override;
  void ShowSettings() override;
  int WriteSettingsToDevice(int p, int v, int, int, int) override { return core_.WriteSettings(p, v); }
  int WriteKeyMapToDevice(int page, std::span<const profiles::KeyAssignment> keys) override;
  int WriteKeysFromProfile(int page) override;
  std::vector<int> CollectUsedMacros() override { return core_.CollectUsedMacros(); }
  int WriteMacrosToDevice(std::span<const int> macros) override { return core_.WriteMacros(macros); }
  // Keys whose macro is gone get their default back and their caps renamed.
  void RepairMacroKeys() override;
  // The macro names to the key editor, the light modes to the lighting editor.
  void LoadCatalogues() override;
  // A chosen cap: its key goes to the key editor; in the custom mode its
  // light also takes the single colour (PaintKey).
  void SelectKey(int keyIndex) override;
  // The key editor's keysave: the edited key's function stored.
  void SaveEditedKey() override;

  // The audio lighting record: kept in the profile and drawn by mode 29.
  void SetColour(uint32_t word0, uint32_t word1, uint8_t byte8) override;
  // The audio capture link's levels (at most 25; missing ones 0) and the
  // host colour of mode 30 (at most six values; missing ones 0). Any thread.
  void SetAudioLevels(std::span<const int32_t> levels);
  void SetHostColours(std::span<const int32_t> values);

  void SetSystemSettings(uint32_t w0, uint32_t w1, uint32_t w2);
  profiles::KeyboardSystemSettings GetSystemSettings() { return KeyboardProfile().GetSystemSettings(); }
  // Mode 20: light j takes the single colour; with a group selected in the
  // lighting editor the colours are stored as that group, and the page of
  // the lighting state's group is sent.
  void PaintKey(int light);
  // Mode 20: the selected group into the lights, sent to the keyboard.
  void SelectCustomGroup();
  // "light_combo_custommodeSelect": the group stored in the profile and the
  // lighting state, the settings sent, the group's colours shown and, in
  // mode 20, sent.
  void OnCustomGroupChosen(int group);
  // "custom_bright_color_btn" / "custom_off_color_btn": every light takes the
  // single colour / black (alpha kept); stored as the editor's group, and in
  // mode 20 sent as the lighting state's group.
  void PaintAllKeys(bool lit);

  // ---- page ------------------------------------------------------------------
  void ShowPollingRate(int n);
  void ShowRepeatDelay(int n);
  void ShowRepeatRate(int value);
  void ShowWinLock(bool on);
  void ShowWFlag(bool on);
  void ShowSixKey(bool on);
  // The settings tab's controls: each change stored, saved and sent.
  void OnPollingOption(int n);
  void OnRepeatDelayOption(int n);
  void OnRepeatRate(int value);
  void OnLockOption(const QString& name, bool on);
  // "reset_repeat_btn": the factory profile's repeat values.
  void OnResetRepeat();

  // ---- key names ---------------------------------------------------------
  // Every key of the profile's key list named on its cap.
  void NameKeyCaps();
  // Cap `key`'s tooltip: its own name and the "Key_Set" text with the
  // assignment's name; the key-set mark shown when the two names differ.
  void ShowKeyAssignment(int key, const QString& name);

  KeyboardCore& Core() { return core_; }
  profiles::CKeyboardProfiledata& KeyboardProfile() {
    return static_cast<profiles::CKeyboardProfiledata&>(*profile_);
  }

 protected:
  void OnModelEvent(uint16_t value, bool cableHandle) override;

 private:
  template <typename T>
  T* Control(const QString& name);
  void ShowOption(const QString& prefix, int count, int n);
  // The settings read with the mode start it may bring (mode 20: the groups
  // read from the keyboard, the selected one sent back).
  int ReadSettingsAndStartMode();
  void LoadCustomColours(int group);
  void ShowCustomColours(std::span<const profiles::CustomColor> colours);
  // Mode 20's page for the lighting state's group; a page the keyboard did
  // not take holds the next back kFrameRetryMs.
  void SendCustomColours(std::span<const profiles::CustomColor> colours);
  void StoreSystemSettings(const profiles::KeyboardSystemSettings& s);
  // The custom group list and the all-keys buttons work for a keyboard by
  // cable only (the editor of a keyboard through the receiver has another kind).
  bool CustomGroupsOffered() const;
  // The lighting editor's custom group, -1 without one.
  int EditorCustomGroup();
  // Mode 20: the colours stored as the editor's group (when one is chosen),
  // shown, and sent as the lighting state's group.
  void StoreAndSendCustomColours(const std::vector<profiles::CustomColor>& colours);

  KeyboardCore core_;
  std::map<QString, QPointer<ui::CControlUI>> controls_;
  std::vector<profiles::KeyAssignment> namedKeys_;  // the key list NameKeyCaps last showed
  // A frame the keyboard did not take holds the light steps back for
  // kFrameRetryMs; the UI thread goes on meanwhile.
  bool framePostponed_ = false;
  uint32_t frameFailedAt_ = 0;
};

}  // namespace devices

using devices::CGesterinKeyboardDevice;
