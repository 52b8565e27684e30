#pragma once
// The headset's audio model, without widgets: the library start (chip
// library, device choice, features, property defaults, read-back), the
// headset settings with the equaliser bands and user presets, and every
// setting handler of the headset panels. The panels only show `View()` and
// report what the user did; the model decides, calls the chip and keeps the
// profile.

#include <array>
#include <functional>
#include <string>
#include <vector>

#include "headset/audio/AudioChip.h"
#include "profiles/Ru6533Profiledata.h"

namespace headset::audio {

inline constexpr int kBandCount = 10;
inline constexpr int kBandMin = -20;
inline constexpr int kBandMax = 20;
inline constexpr int kLevelMax = 100;
inline constexpr int kBuiltInPresets = 12;
inline constexpr int kUserPresetType = 13;
inline constexpr int kMaxUserPresets = 20;
inline constexpr int kVoiceEffects = 4;

// Band values of built-in preset 1..12.
const std::array<int, kBandCount>& BuiltInPreset(int eqType);

// The groups of controls that a chip may lack.
enum class Group { Equaliser, Microphone, Monitoring, VoiceEffect, Count };

// What the two panels show.
struct PanelView {
  int eqOption = 0;                        // 1..13 selected, 0 none
  std::array<int, kBandCount> bandSliders{};
  std::vector<std::u16string> presetNames;  // combo items
  int presetSelection = -1;                 // combo selection, -1 none
  std::u16string nameEdit;
  bool userPresetArea = false;              // "custom_eq_option_layout" enabled
  bool micOption = false;
  int micSlider = 0;
  bool monitorOption = false;
  int monitorSlider = 0;
  bool effectOption = false;                // "magic_enable_option"
  bool effectTypes = false;                 // "magic_option_layout" enabled
  int effectType = 0;                       // 1..4 selected, 0 none
  // Per group: usable, else the text id of the note shown instead.
  std::array<bool, size_t(Group::Count)> available{};
  std::array<std::string, size_t(Group::Count)> notes;
};

// Text ids of the notes beside disabled controls.
inline constexpr const char* kNoteNoLibrary = "headset_audio_no_library";
inline constexpr const char* kNoteNoDevice = "headset_audio_no_device";
inline constexpr const char* kNoteNotOffered = "headset_audio_not_offered";

// Result of SaveUserPreset.
inline constexpr int kPresetSaved = 1;
inline constexpr int kPresetNameTaken = 0;
inline constexpr int kNothingDone = -1;

class HeadsetAudio {
 public:
  using MessageFn = std::function<void(const std::string& text)>;

  // The profile object stays the caller's; `library` may be null (no library).
  HeadsetAudio(profiles::CRu6533Profiledata& profile, const ConfLibrary* library, MessageFn message);

  // The library start: init (message "ConfLibInit called failed!"), device
  // list, device choice, features ("UpdateAPOAvailable failed!"), property
  // defaults, read-back. Groups the chip cannot serve are disabled.
  void Start();
  // Settings, bands and user preset names from the (loaded) profile.
  void LoadFromProfile();
  // The chip's microphone, monitoring and voice effect values into the settings.
  void ReadBack();
  // The view from the settings.
  void ShowSettings();
  // The page's equaliser to the chip: "Enable_EQ_GFX" 1 and the shown bands.
  void ApplyShownEqualiser();
  // LoadFromProfile, ReadBack, ShowSettings, ApplyShownEqualiser.
  void Load();

  // Setting handlers. Each returns the chip's result of its main write (0
  // success), or kNothingDone when it did nothing; SaveUserPreset returns
  // kPresetSaved, kPresetNameTaken or kNothingDone.
  int SetVoiceEffectEnabled(bool enabled);
  int SelectVoiceEffect(int type);
  int ToggleMicrophone();
  int SetMicrophoneLevel(int level);
  int ToggleMonitoring();
  int SetMonitoringLevel(int level);
  int SetBand(int band, int value);
  int SelectEqPreset(int eqType);
  int SelectUserPreset(int position);
  int SaveUserPreset(const std::u16string& name);
  int DeleteUserPreset();

  const PanelView& View() const { return view_; }
  const profiles::HeadsetSettings& Settings() const { return settings_; }
  const std::array<int, kBandCount>& Bands() const { return bands_; }
  AudioChip& Chip() { return chip_; }

 private:
  struct Level;
  int Toggle(const Level& level);
  int SetLevel(const Level& level, int value);
  void ChooseDevices();
  void QueryFeatures(Dev dev);
  void ApplyDefaults();
  void DisableAll(const char* note);
  bool Usable(Group group) const { return view_.available[size_t(group)]; }
  void WriteBands();
  void ShowBands();
  void SelectPresetBySystem(int position);
  void Save();

  profiles::CRu6533Profiledata& profile_;
  AudioChip chip_;
  MessageFn message_;
  static const Level kMicrophone;
  static const Level kMonitoring;
  bool chipReady_ = false;
  profiles::HeadsetSettings settings_;
  std::array<int, kBandCount> bands_{};
  std::vector<std::u16string> presetNames_;
  int micMute_ = 0;
  int monitorMute_ = 0;
  PanelView view_;
};

}  // namespace headset::audio
