#pragma once
// A headset audio model over the real chip library with an emulated chip
// described by the test, a profile file of its own (a copy of the factory
// profile on first load), and the chip's own write log to check what it took.

#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include <json/json.h>

#include "headset/audio/HeadsetAudio.h"
#include "platform/Paths.h"
#include "tests/profiles/TestFiles.h"

namespace headset_test {

using profiles_test::ReadAll;
using profiles_test::TempFolder;
using profiles_test::WriteText;

inline const headset::audio::ConfLibrary* Library() {
  return headset::audio::LoadConfLibrary(platform::InstallFolder());
}

// A headset chip with every property the model uses.
inline Json::Value BaseChip() {
  Json::Value chip;
  Json::Reader().parse(R"({
    "devices": [{"flow": 0, "id": 11, "kind": 1, "state": 1}, {"flow": 1, "id": 21, "kind": 2, "state": 1}],
    "properties": {
      "P:GetSupportFeature": "0,0,0,0,0,0,0", "R:GetSupportFeature": "131072,0,0,0,0,0,0",
      "P:VirtualSurroundEffectControl": "0", "P:Enable_EQ_GFX": "1",
      "P:EQ_Slider1": "0", "P:EQ_Slider2": "0", "P:EQ_Slider3": "0", "P:EQ_Slider4": "0", "P:EQ_Slider5": "0",
      "P:EQ_Slider6": "0", "P:EQ_Slider7": "0", "P:EQ_Slider8": "0", "P:EQ_Slider9": "0", "P:EQ_Slider10": "0",
      "P:Enable_RFX_GFX": "0", "P:RFX_ENVIRONMENT": "0", "P:RFX_ROOMSIZE": "0", "R:Enable_ENC_LFX": "0",
      "R:GetMaxVol": "30", "R:GetMinVol": "-12", "R:GetVolStep": "1",
      "R:VolumeControl": "6", "R:VolumeScalarControl": "0.3", "R:MuteControl": "0",
      "R:GetAAMaxVol": "0", "R:GetAAMinVol": "-35", "R:GetAAVolStep": "1",
      "R:AAVolumeControl": "-10", "R:AAVolumeScalarControl": "0.6", "R:AAMuteControl": "1",
      "R:Enable_MAGICVOICE": "1", "R:MagicVoice_Selection": "1", "R:Enable_MICECHO": "0"
    }})", chip);
  return chip;
}

class ChipRun {
 public:
  // A null chip leaves the library to find the ALSA card.
  explicit ChipRun(const Json::Value& chip, const headset::audio::ConfLibrary* library = Library()) {
    if (!chip.isNull()) {
      WriteText(ChipFile(), Json::FastWriter().write(chip));
      setenv(osconflib::kChipFileEnv, ChipFile().c_str(), 1);
    }
    setenv(osconflib::kChipLogEnv, LogFile().c_str(), 1);
    profile_.SetDefaultPath(platform::InstallFolder() / "DefaultData" / "HD.Json");
    profile_.SetProfilePath(ProfileFile());
    profile_.LoadProfile(ProfileFile());
    model_ = std::make_unique<headset::audio::HeadsetAudio>(
        profile_, library, [this](const std::string& text) { messages_.push_back(text); });
  }
  ~ChipRun() {
    unsetenv(osconflib::kChipFileEnv);
    unsetenv(osconflib::kChipLogEnv);
  }

  headset::audio::HeadsetAudio& Model() { return *model_; }
  profiles::CRu6533Profiledata& Profile() { return profile_; }
  const std::vector<std::string>& Messages() const { return messages_; }
  std::filesystem::path ChipFile() const { return dir_ / "chip.json"; }
  std::filesystem::path LogFile() const { return dir_ / "chip.log"; }
  std::filesystem::path ProfileFile() const { return dir_ / "HD.Json"; }

  // Start and load, as the headset page does; the write log starts empty after.
  void StartAndLoad() {
    model_->Start();
    model_->Load();
    ClearLog();
  }
  void ClearLog() { std::filesystem::remove(LogFile()); }

  // "write <key> <text>" lines the chip logged.
  std::vector<std::string> Writes() const {
    std::vector<std::string> lines;
    std::istringstream in(ReadAll(LogFile()));
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
  }
  // The device entry of the profile file as saved.
  Json::Value Saved() const {
    Json::Value root;
    Json::Reader().parse(ReadAll(ProfileFile()), root);
    return root["Device"][0];
  }

 private:
  TempFolder dir_;
  profiles::CRu6533Profiledata profile_;
  std::vector<std::string> messages_;
  std::unique_ptr<headset::audio::HeadsetAudio> model_;
};

// The writes that play band values: Enable_EQ_GFX 1, then the ten bands.
inline std::vector<std::string> EqWrites(const std::vector<int>& bands) {
  std::vector<std::string> lines{"write P:Enable_EQ_GFX 1"};
  for (size_t b = 0; b < bands.size(); ++b)
    lines.push_back("write P:EQ_Slider" + std::to_string(b + 1) + " " + std::to_string(bands[b]));
  return lines;
}

}  // namespace headset_test
