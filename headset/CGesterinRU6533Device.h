#pragma once
// The USB headset: its page (profile panel, lighting editor, the voice and
// voice effect panels) and its device object. The audio settings go through
// the chip library (headset/audio/); the panels show what the audio model
// decides and the main window hands their notifications to the On… actions.

#include <memory>
#include <mutex>

#include <QPointer>

#include "devices/Models.h"
#include "headset/HeadsetPanels.h"
#include "headset/audio/HeadsetAudio.h"
#include "headset/core/HeadsetLights.h"

namespace headset {

class CGesterinRU6533Device : public devices::CModelDevice {
  Q_OBJECT
 public:
  explicit CGesterinRU6533Device(std::shared_ptr<hid::HidBackend> backend);
  ~CGesterinRU6533Device() override;
  QString GetClass() const override { return QStringLiteral("GesterinRU6533Device"); }
  bool IsClass(const QString& className) const override;

  // Builds the page, finds the two panels and starts the audio library.
  void InitPage() override;
  // LoadProfile, the chip's values, ShowSettings, the shown equaliser to the chip.
  void LoadFromDevice() override;
  int LoadProfile() override;
  void ShowSettings() override;
  // The light state of the profile, for the light thread.
  int ApplyLightingFromProfile() override;
  // The profile's light state to settings slot `slot` (a 21-byte block at
  // slot × 64: the stored slot byte, then the state with the speed stored as
  // 4 − speed), between begin and end transfer.
  int WriteSettingsToDevice(int slot, int, int, int, int) override;
  // The device's current slot s (settings byte 0) and the light state of the
  // 45 bytes at s × 25; message 3328 with s. A failed read changes nothing.
  void ReloadSettings() override;
  // The 6-byte status block to the power panel; message 3329 with byte 4.
  void PollStatus() override { PollStatusBlock(kHeadsetStatusLength); }
  static constexpr uint8_t kHeadsetStatusLength = 6;
  static constexpr size_t kSettingsBlockSize = 21;
  static constexpr size_t kReloadBlockSize = 45;

  // Copies the colours to the light caps and sends them to the headset as
  // its twelve light reports (nothing while the channel is closed).
  void LightStep() override;

  // The panels' actions, as the main window routes them.
  void OnVoiceEffectEnabled();
  void OnVoiceEffect(int type);
  void OnMicrophoneToggled();
  void OnMicrophoneLevel();
  void OnMonitoringToggled();
  void OnMonitoringLevel();
  void OnBand(int band);
  void OnEqPreset(int eqType);
  void OnUserPresetSelected();
  // 1 saved, 0 the name is taken (the caller shows "message_text_5"), -1 nothing done.
  int OnSaveUserPreset();
  void OnDeleteUserPreset();

  audio::HeadsetAudio& Audio() { return *audio_; }
  CVoice6533ControlUI* VoicePanel() const { return voicePanel_; }
  CMagicControlUI* MagicPanel() const { return magicPanel_; }

  // The profile used while the profile list has chosen none.
  static constexpr const char* kFallbackProfileId = "default";

 private:
  profiles::CRu6533Profiledata& HeadsetProfile();
  void Refresh();
  // The light thread: a turn every tick of the light clock while the channel
  // is open and not held by the synchronised lighting.
  void RunLights(const platform::StopEvent& stop);

  std::unique_ptr<audio::HeadsetAudio> audio_;
  QPointer<CVoice6533ControlUI> voicePanel_;
  QPointer<CMagicControlUI> magicPanel_;
  // lightState_ between the UI thread and the light thread.
  std::mutex stateLock_;
  HeadsetLightEngine headsetLights_;  // the light thread's
  uint8_t slot_ = 0;  // the settings slot the device last reported
};

}  // namespace headset

using headset::CGesterinRU6533Device;
