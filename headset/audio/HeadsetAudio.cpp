#include "headset/audio/HeadsetAudio.h"

#include <algorithm>
#include <cmath>

#include <QString>

#include "platform/Trace.h"

namespace headset::audio {
namespace {

constexpr std::array<std::array<int, kBandCount>, kBuiltInPresets> kPresets{{
    {7, 11, 2, -3, -1, 4, 9, 12, 9, 5},
    {7, 11, 6, -3, -11, -1, 6, 13, 6, 13},
    {10, 4, 0, -3, -4, -3, -2, -1, 0, 0},
    {2, 1, -2, -3, -5, -7, 0, 4, 9, 8},
    {0, 0, 0, 0, 0, 0, 0, 0, 0, 0},
    {7, 14, -13, -6, -1, 8, 13, 7, 2, 6},
    {14, 10, 4, 0, -4, -3, -1, 1, 2, 3},
    {2, 1, -2, -3, -5, -1, 7, 11, 15, 13},
    {8, 2, -4, -8, 1, 3, 8, 11, 14, 16},
    {-3, 4, 10, 0, -11, 3, 9, 13, 6, 0},
    {18, 14, 8, 2, -3, -6, -1, 2, 5, 6},
    {2, 1, -2, -4, -8, 4, 12, 16, 18, 15},
}};

constexpr const char* kBandNames[kBandCount] = {"EQ_Slider1", "EQ_Slider2", "EQ_Slider3", "EQ_Slider4",
                                                "EQ_Slider5", "EQ_Slider6", "EQ_Slider7", "EQ_Slider8",
                                                "EQ_Slider9", "EQ_Slider10"};

// Read at start; only when the read fails is the default written. A group
// whose property can be neither read nor given its default is disabled.
struct DefaultProperty {
  Dev dev;
  const char* name;
  Extra extra;
  bool isFloat;
  int group;  // Group, or -1 for none
};

constexpr int kNoGroup = -1;
constexpr int G(Group g) { return int(g); }

constexpr DefaultProperty kDefaults[] = {
    // "XearSurrHP_Enable" stands for the surround group; its room and mode do nothing.
    {Dev::Playback, "VirtualSurroundEffectControl", kSurroundExtra, false, kNoGroup},
    {Dev::Recording, "Enable_ENC_LFX", kNoExtra, false, kNoGroup},
    {Dev::Recording, "VolumeControl", kAllChannels, true, kNoGroup},
    {Dev::Playback, "Enable_EQ_GFX", kNoExtra, false, G(Group::Equaliser)},
    {Dev::Playback, "EQ_Slider1", kNoExtra, false, G(Group::Equaliser)},
    {Dev::Playback, "EQ_Slider2", kNoExtra, false, G(Group::Equaliser)},
    {Dev::Playback, "EQ_Slider3", kNoExtra, false, G(Group::Equaliser)},
    {Dev::Playback, "EQ_Slider4", kNoExtra, false, G(Group::Equaliser)},
    {Dev::Playback, "EQ_Slider5", kNoExtra, false, G(Group::Equaliser)},
    {Dev::Playback, "EQ_Slider6", kNoExtra, false, G(Group::Equaliser)},
    {Dev::Playback, "EQ_Slider7", kNoExtra, false, G(Group::Equaliser)},
    {Dev::Playback, "EQ_Slider8", kNoExtra, false, G(Group::Equaliser)},
    {Dev::Playback, "EQ_Slider9", kNoExtra, false, G(Group::Equaliser)},
    {Dev::Playback, "EQ_Slider10", kNoExtra, false, G(Group::Equaliser)},
    {Dev::Playback, "Enable_RFX_GFX", kNoExtra, false, kNoGroup},
    {Dev::Playback, "RFX_ENVIRONMENT", kNoExtra, false, kNoGroup},
    {Dev::Playback, "RFX_ROOMSIZE", kNoExtra, false, kNoGroup},
    {Dev::Recording, "MuteControl", kNoExtra, false, G(Group::Microphone)},
    {Dev::Recording, "VolumeScalarControl", kAllChannels, true, G(Group::Microphone)},
    {Dev::Recording, "AAVolumeControl", kChannel0, false, kNoGroup},
    {Dev::Recording, "AAMuteControl", kNoExtra, false, G(Group::Monitoring)},
    {Dev::Recording, "AAVolumeScalarControl", kChannel0, true, G(Group::Monitoring)},
    {Dev::Recording, "Enable_MAGICVOICE", kNoExtra, false, G(Group::VoiceEffect)},
    {Dev::Recording, "MagicVoice_Selection", kNoExtra, false, G(Group::VoiceEffect)},
};

template <typename T>
std::array<int, kBandCount> ToBands(const std::vector<T>& values) {
  std::array<int, kBandCount> bands{};
  for (size_t b = 0; b < bands.size() && b < values.size(); ++b) bands[b] = int(values[b]);
  return bands;
}

std::vector<int> ToVector(const std::array<int, kBandCount>& bands) { return {bands.begin(), bands.end()}; }

bool SameNameIgnoringCase(const std::u16string& a, const std::u16string& b) {
  return QString::fromStdU16String(a).compare(QString::fromStdU16String(b), Qt::CaseInsensitive) == 0;
}

}  // namespace

const std::array<int, kBandCount>& BuiltInPreset(int eqType) {
  return kPresets[size_t(std::clamp(eqType, 1, kBuiltInPresets) - 1)];
}

// A microphone or monitoring level with its mute switch.
struct HeadsetAudio::Level {
  Group group;
  const char* mute;
  const char* scalar;
  Extra scalarExtra;
  const char* readBack;
  Extra readBackExtra;
  int HeadsetAudio::*muteState;
  bool PanelView::*option;
  int PanelView::*slider;
  int32_t profiles::HeadsetSettings::*select;
  int32_t profiles::HeadsetSettings::*value;
};

HeadsetAudio::HeadsetAudio(profiles::CRu6533Profiledata& profile, const ConfLibrary* library, MessageFn message)
    : profile_(profile), chip_(library), message_(std::move(message)) {}

void HeadsetAudio::DisableAll(const char* note) {
  view_.available.fill(false);
  view_.notes.fill(note);
}

void HeadsetAudio::Start() {
  chipReady_ = false;
  view_.available.fill(true);
  view_.notes.fill(std::string());
  if (!chip_.Loaded()) {
    DisableAll(kNoteNoLibrary);
    return;
  }
  if (chip_.Init() != 0 && message_) message_("ConfLibInit called failed!");
  chip_.CreateDeviceList();
  unsigned int count = 0;
  chip_.DeviceCount(osconflib::kFlowPlayback, &count);
  if (count == 0) {
    DisableAll(kNoteNoDevice);
    return;
  }
  chipReady_ = true;
  ChooseDevices();
  QueryFeatures(Dev::Recording);
  QueryFeatures(Dev::Playback);
  ApplyDefaults();
  ReadBack();
}

void HeadsetAudio::ChooseDevices() {
  chip_.Device(Dev::Playback) = ChosenDevice{};
  chip_.Device(Dev::Recording) = ChosenDevice{};
  unsigned int count = 0;
  chip_.DeviceCount(osconflib::kFlowPlayback, &count);
  bool found = false;
  for (uint32_t kind : {1u, 12u, 7u, 4u}) {
    for (unsigned int i = 0; i < count && !found; ++i) {
      AudioDeviceInfo info;
      if (chip_.DeviceAt(osconflib::kFlowPlayback, i, &info) != 0) continue;
      if (info.kind == kind && info.state == 1) {
        chip_.Device(Dev::Playback).info = info;
        found = true;
      }
    }
    if (found) break;
  }
  chip_.DeviceCount(osconflib::kFlowRecording, &count);
  for (unsigned int i = 0; i < count; ++i) {
    AudioDeviceInfo info;
    if (chip_.DeviceAt(osconflib::kFlowRecording, i, &info) != 0) continue;
    if (info.kind == 2) {
      chip_.Device(Dev::Recording).info = info;
      break;
    }
  }
}

void HeadsetAudio::QueryFeatures(Dev dev) {
  ChosenDevice& device = chip_.Device(dev);
  if (device.info.kind < 1) return;
  std::string text;
  chip_.Read(dev, "GetSupportFeature", kNoExtra, &text);
  std::vector<std::string> tokens(1);
  for (char c : text) {
    if (c == ',') tokens.emplace_back();
    else tokens.back().push_back(c);
  }
  if (tokens.size() < 7) {
    if (message_) message_("UpdateAPOAvailable failed!");
    return;
  }
  device.features = {uint32_t(ParseLeadingInt(tokens[0])), uint32_t(ParseLeadingInt(tokens[4])),
                     uint32_t(ParseLeadingInt(tokens[6]))};
}

void HeadsetAudio::ApplyDefaults() {
  for (const DefaultProperty& p : kDefaults) {
    std::string text;
    if (chip_.Read(p.dev, p.name, p.extra, &text) == 0) continue;
    const int r = p.isFloat ? chip_.WriteFloat(p.dev, p.name, 0.0f, p.extra) : chip_.WriteInt(p.dev, p.name, 0, p.extra);
    if (r != 0 && p.group != kNoGroup) {
      view_.available[size_t(p.group)] = false;
      view_.notes[size_t(p.group)] = kNoteNotOffered;
    }
  }
}

void HeadsetAudio::ReadBack() {
  if (!chipReady_) return;
  std::string unused;
  int i = 0;
  double d = 0;
  chip_.Read(Dev::Recording, "GetMaxVol", kNoExtra, &unused);
  chip_.Read(Dev::Recording, "GetMinVol", kNoExtra, &unused);
  chip_.Read(Dev::Recording, "GetVolStep", kNoExtra, &unused);
  chip_.Read(Dev::Recording, "VolumeControl", kAllChannels, &unused);
  // Levels are read as 0..1 and shown as 0..100, rounded to the nearest.
  const auto percent = [](double v) { return std::clamp(int(std::lround(v * 100.0)), 0, kLevelMax); };
  if (chip_.ReadInt(Dev::Recording, "MuteControl", kNoExtra, &i) == 0) {
    micMute_ = i != 0 ? 1 : 0;
    settings_.micInSelect = micMute_ ? 0 : 1;
  }
  if (chip_.ReadFloat(Dev::Recording, "VolumeScalarControl", kAllChannels, &d) == 0) settings_.micInValue = percent(d);
  if (chip_.Read(Dev::Recording, "GetAAMaxVol", kNoExtra, &unused) == 0) {
    chip_.Read(Dev::Recording, "GetAAMinVol", kNoExtra, &unused);
    chip_.Read(Dev::Recording, "GetAAVolStep", kNoExtra, &unused);
    chip_.Read(Dev::Recording, "AAVolumeControl", kChannel0, &unused);
    if (chip_.ReadInt(Dev::Recording, "AAMuteControl", kNoExtra, &i) == 0) {
      monitorMute_ = i != 0 ? 1 : 0;
      settings_.micMonitorSelect = monitorMute_ ? 0 : 1;
    }
    if (chip_.ReadFloat(Dev::Recording, "AAVolumeScalarControl", kChannel0, &d) == 0)
      settings_.micMonitorValue = percent(d);
    for (const char* band : kBandNames) chip_.Read(Dev::Playback, band, kNoExtra, &unused);
  }
  if ((chip_.Device(Dev::Recording).features[0] & kVoiceEffectFeature) != 0 &&
      chip_.ReadInt(Dev::Recording, "Enable_MAGICVOICE", kNoExtra, &i) == 0)
    settings_.magicEnable = i != 0 ? 1 : 0;
  if (chip_.ReadInt(Dev::Recording, "MagicVoice_Selection", kNoExtra, &i) == 0 && i >= 0 && i < kVoiceEffects)
    settings_.magicType = i + 1;
}

void HeadsetAudio::LoadFromProfile() {
  settings_ = profile_.GetHeadsetSettings();
  presetNames_ = profile_.GetCustomEqNames();
  if (settings_.eqType == kUserPresetType) {
    // A selection beyond the presets shows flat bands and adds nothing to the profile.
    const int p = settings_.customEqSelectIndex;
    bands_ = p >= 0 && size_t(p) < presetNames_.size() ? ToBands(profile_.GetCustomEqValues(p))
                                                        : std::array<int, kBandCount>{};
  } else {
    bands_ = ToBands(profile_.GetEqValues(settings_.eqType));
  }
  micMute_ = settings_.micInSelect ? 0 : 1;
  monitorMute_ = settings_.micMonitorSelect ? 0 : 1;
}

void HeadsetAudio::ShowSettings() {
  const auto level = [](int v) { return std::clamp(v, 0, kLevelMax); };
  view_.effectOption = settings_.magicEnable != 0;
  view_.effectTypes = view_.effectOption;
  view_.effectType = settings_.magicType >= 1 && settings_.magicType <= kVoiceEffects ? settings_.magicType : 0;
  view_.micOption = settings_.micInSelect != 0;
  view_.micSlider = level(settings_.micInValue);
  view_.monitorOption = settings_.micMonitorSelect != 0;
  view_.monitorSlider = level(settings_.micMonitorValue);
  view_.eqOption = settings_.eqType >= 1 && settings_.eqType <= kUserPresetType ? settings_.eqType : 0;
  view_.presetNames = presetNames_;
  const int p = settings_.customEqSelectIndex;
  SelectPresetBySystem(p >= 0 && size_t(p) < presetNames_.size() ? p : -1);
  view_.userPresetArea = settings_.eqType == kUserPresetType;
  ShowBands();
}

void HeadsetAudio::ApplyShownEqualiser() {
  if (!chipReady_ || !Usable(Group::Equaliser)) return;
  chip_.WriteInt(Dev::Playback, "Enable_EQ_GFX", 1);
  WriteBands();
}

void HeadsetAudio::Load() {
  LoadFromProfile();
  ReadBack();
  ShowSettings();
  ApplyShownEqualiser();
}

void HeadsetAudio::WriteBands() {
  for (size_t b = 0; b < bands_.size(); ++b) chip_.WriteInt(Dev::Playback, kBandNames[b], bands_[b]);
}

void HeadsetAudio::ShowBands() {
  for (size_t b = 0; b < bands_.size(); ++b) view_.bandSliders[b] = std::clamp(bands_[b], kBandMin, kBandMax);
}

void HeadsetAudio::SelectPresetBySystem(int position) {
  view_.presetSelection = position;
  view_.nameEdit.clear();
}

void HeadsetAudio::Save() {
  profile_.SetHeadsetSettings(settings_);
  if (!profile_.GetProfilePath().empty()) profile_.Save();
}

// ---- handlers ----------------------------------------------------------------

int HeadsetAudio::SetVoiceEffectEnabled(bool enabled) {
  if (!Usable(Group::VoiceEffect)) return kNothingDone;
  view_.effectOption = enabled;
  view_.effectTypes = enabled;
  const int r = chip_.WriteInt(Dev::Recording, "Enable_MAGICVOICE", enabled ? 1 : 0);
  if (enabled) chip_.WriteInt(Dev::Recording, "Enable_MICECHO", 0);
  settings_.magicEnable = enabled ? 1 : 0;
  Save();
  return r;
}

int HeadsetAudio::SelectVoiceEffect(int type) {
  if (!Usable(Group::VoiceEffect) || type < 1 || type > kVoiceEffects) return kNothingDone;
  const int r = chip_.WriteInt(Dev::Recording, "MagicVoice_Selection", type - 1);
  settings_.magicType = type;
  view_.effectType = type;
  Save();
  return r;
}

int HeadsetAudio::Toggle(const Level& level) {
  if (!Usable(level.group)) return kNothingDone;
  int& mute = this->*level.muteState;
  const int before = mute;
  mute = mute ? 0 : 1;
  view_.*level.option = mute == 0;
  const int r = chip_.WriteInt(Dev::Recording, level.mute, mute);
  if (r != 0) {
    // The chip did not take it: the page shows what the chip still has.
    mute = before;
    view_.*level.option = before == 0;
    return r;
  }
  settings_.*level.select = mute == 0 ? 1 : 0;
  Save();
  return r;
}

int HeadsetAudio::SetLevel(const Level& level, int value) {
  if (!Usable(level.group)) return kNothingDone;
  value = std::clamp(value, 0, kLevelMax);
  view_.*level.slider = value;
  const int r = chip_.WriteFloat(Dev::Recording, level.scalar, float(value) / 100.0f, level.scalarExtra);
  if (r != 0) {
    view_.*level.slider = std::clamp(settings_.*level.value, 0, kLevelMax);
    return r;
  }
  std::string unused;
  chip_.Read(Dev::Recording, level.readBack, level.readBackExtra, &unused);
  settings_.*level.value = value;
  Save();
  return r;
}

const HeadsetAudio::Level HeadsetAudio::kMicrophone{
    Group::Microphone, "MuteControl", "VolumeScalarControl", kAllChannels, "VolumeControl", kAllChannels,
    &HeadsetAudio::micMute_, &PanelView::micOption, &PanelView::micSlider,
    &profiles::HeadsetSettings::micInSelect, &profiles::HeadsetSettings::micInValue};

const HeadsetAudio::Level HeadsetAudio::kMonitoring{
    Group::Monitoring, "AAMuteControl", "AAVolumeScalarControl", kChannel0, "AAVolumeControl", kChannel1,
    &HeadsetAudio::monitorMute_, &PanelView::monitorOption, &PanelView::monitorSlider,
    &profiles::HeadsetSettings::micMonitorSelect, &profiles::HeadsetSettings::micMonitorValue};

int HeadsetAudio::ToggleMicrophone() { return Toggle(kMicrophone); }
int HeadsetAudio::SetMicrophoneLevel(int level) { return SetLevel(kMicrophone, level); }
int HeadsetAudio::ToggleMonitoring() { return Toggle(kMonitoring); }
int HeadsetAudio::SetMonitoringLevel(int level) { return SetLevel(kMonitoring, level); }

int HeadsetAudio::SetBand(int band, int value) {
  if (!Usable(Group::Equaliser) || band < 0 || band >= kBandCount) return kNothingDone;
  value = std::clamp(value, kBandMin, kBandMax);
  view_.bandSliders[size_t(band)] = value;
  if (settings_.eqType != kUserPresetType) {
    // The bands no longer match a built-in preset: the page shows an unsaved
    // user setting. The profile keeps its choice until the next save.
    settings_.eqType = kUserPresetType;
    view_.eqOption = kUserPresetType;
    SelectPresetBySystem(-1);
    view_.userPresetArea = true;
  }
  return chip_.WriteInt(Dev::Playback, kBandNames[band], value);
}

int HeadsetAudio::SelectEqPreset(int eqType) {
  if (!Usable(Group::Equaliser)) return kNothingDone;
  if (eqType == kUserPresetType) {
    settings_.eqType = kUserPresetType;
    view_.eqOption = kUserPresetType;
    view_.userPresetArea = true;
    const int r = SelectUserPreset(view_.presetSelection);
    Save();
    return r == kNothingDone ? 0 : r;
  }
  if (eqType < 1 || eqType > kBuiltInPresets) return kNothingDone;
  const int r = chip_.WriteInt(Dev::Playback, "Enable_EQ_GFX", 1);
  bands_ = BuiltInPreset(eqType);
  ShowBands();
  WriteBands();
  settings_.eqType = eqType;
  view_.eqOption = eqType;
  view_.userPresetArea = false;
  profile_.SetEqValues(eqType, ToVector(bands_));
  Save();
  return r;
}

int HeadsetAudio::SelectUserPreset(int position) {
  if (!Usable(Group::Equaliser) || position < 0 || size_t(position) >= presetNames_.size()) return kNothingDone;
  bands_ = ToBands(profile_.GetCustomEqValues(position));
  const int r = chip_.WriteInt(Dev::Playback, "Enable_EQ_GFX", 1);
  view_.presetSelection = position;
  ShowBands();
  WriteBands();
  settings_.customEqSelectIndex = position;
  Save();
  return r;
}

int HeadsetAudio::SaveUserPreset(const std::u16string& name) {
  if (!Usable(Group::Equaliser)) return kNothingDone;
  view_.nameEdit = name;
  if (name.empty()) {
    const int p = view_.presetSelection;
    if (p < 0 || size_t(p) >= presetNames_.size()) return kNothingDone;
    bands_ = view_.bandSliders;
    settings_.customEqSelectIndex = p;
    profile_.SetCustomEqValues(p, ToVector(bands_));
    Save();
    return kPresetSaved;
  }
  if (presetNames_.size() >= size_t(kMaxUserPresets)) return kNothingDone;
  for (const std::u16string& existing : presetNames_)
    if (SameNameIgnoringCase(existing, name)) return kPresetNameTaken;
  presetNames_.push_back(name);
  view_.presetNames = presetNames_;
  bands_ = view_.bandSliders;
  const int index = int(presetNames_.size()) - 1;
  settings_.customEqSelectIndex = index;
  SelectPresetBySystem(index);
  profile_.SetCustomEqValues(index, ToVector(bands_));
  profile_.SetCustomEqNames(presetNames_);
  Save();
  return kPresetSaved;
}

int HeadsetAudio::DeleteUserPreset() {
  const int p = view_.presetSelection;
  if (!Usable(Group::Equaliser) || p < 0 || size_t(p) >= presetNames_.size()) return kNothingDone;
  presetNames_.erase(presetNames_.begin() + p);
  view_.presetNames = presetNames_;
  profile_.RemoveCustomEq(p);
  int r = 0;
  if (presetNames_.empty()) {
    settings_.eqType = 1;
    view_.eqOption = 1;
    bands_ = ToBands(profile_.GetEqValues(1));
    ShowBands();
    view_.userPresetArea = false;
    view_.presetSelection = -1;
    // The page now shows built-in preset 1: the chip plays it too.
    r = chip_.WriteInt(Dev::Playback, "Enable_EQ_GFX", 1);
    WriteBands();
  } else {
    settings_.customEqSelectIndex = 0;
    SelectPresetBySystem(0);
    bands_ = ToBands(profile_.GetCustomEqValues(0));
    ShowBands();
    profile_.SetCustomEqNames(presetNames_);
  }
  Save();
  return r;
}

}  // namespace headset::audio
