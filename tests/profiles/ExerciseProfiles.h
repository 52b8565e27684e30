#pragma once
// Drives a profile file through every reader and writer of each device kind's
// profile object: load (with the factory fallback), every getter, every setter
// with what the getter gave, save, load again. Shared by the mutation test and
// the libFuzzer target.

#include <filesystem>
#include <fstream>
#include <string>

#include "profiles/JsonFile.h"
#include "profiles/KeyboardProfiledata.h"
#include "profiles/MouseProfiledata.h"
#include "profiles/ProfileFolders.h"
#include "profiles/Ru6533Profiledata.h"

namespace profiles_test {

using namespace profiles;

inline void ExerciseBase(CBasicProfiledata& p, const std::filesystem::path& folder) {
  const auto light = p.GetLightInfo();
  const auto words = light.ToWords();
  p.SetLightInfo(words[0], words[1], words[2], uint16_t(words[3]));
  p.SetAudioLightInfo(p.GetAudioLightInfo());
  p.GetLightList();
  p.SetKeyList(p.GetKeyList());
  p.LoadLightConfig(folder / "orvix_light.config");
  for (int mode : {0, 1, 2, 200}) {
    LightInfoRecord r = light;
    r.selectItem = uint8_t(mode);
    p.SetLightInfo(r);
    p.GetLightEffect();
  }
}

inline void Exercise(CBasicProfiledata& p, const std::filesystem::path& folder) {
  ExerciseBase(p, folder);
}

inline void Exercise(CKeyboardProfiledata& p, const std::filesystem::path& folder) {
  ExerciseBase(p, folder);
  const auto w = p.GetSystemSettings().ToWords();
  p.SetSystemSettings(w[0], w[1], w[2]);
  const int group = p.GetCustomGroupIndex();
  p.SetCustomGroupIndex(group);
  p.SetCustomColors(p.GetCustomColors(group, 170), group);
  p.SetCustomColors(p.GetCustomColors(p.GetLightInfo().customGroup, 3), 4);
}

inline void Exercise(CMouseProfiledata& p, const std::filesystem::path& folder) {
  ExerciseBase(p, folder);
  p.SetDpiStages(p.GetDpiStages());
  p.SetActiveStage(p.GetActiveStage());
  const auto w = p.GetSystemSettings().ToWords();
  p.SetSystemSettings(w);
}

inline void Exercise(CRu6533Profiledata& p, const std::filesystem::path& folder) {
  ExerciseBase(p, folder);
  const auto h = p.GetHeadsetSettings();
  p.SetHeadsetSettings(h);
  for (int type = -1; type <= 14; ++type) p.SetEqValues(type, p.GetEqValues(type));
  p.SetCustomEqValues(h.customEqSelectIndex, p.GetCustomEqValues(h.customEqSelectIndex));
  p.SetCustomEqNames(p.GetCustomEqNames());
}

// True when the saved file loads again.
template <typename Profile>
bool LoadExerciseSave(const std::filesystem::path& folder, const char* model,
                      const std::string& text) {
  {
    std::ofstream out(folder / "p.Json", std::ios::binary | std::ios::trunc);
    out << text;
  }
  Profile p;
  p.SetDefaultPath(DefaultProfilePath(model));
  p.SetProfilePath(folder / "p.Json");
  p.SetLightConfigPath(folder / "orvix_light.config");
  p.LoadProfile(folder / "p.Json");
  Exercise(p, folder);
  if (!p.Save() || LoadJsonFile(folder / "p.Json").isNull()) return false;
  Profile again;
  again.LoadProfile(folder / "p.Json");
  Exercise(again, folder);
  return true;
}

// The profile text in "p.Json" of the folder, with the light configuration
// file and effect files already there. True when every saved file loads again.
inline bool RunAllKinds(const std::filesystem::path& folder, const std::string& text) {
  return LoadExerciseSave<CKeyboardProfiledata>(folder, "keyboard", text) &&
         LoadExerciseSave<CMouseProfiledata>(folder, "mouse", text) &&
         LoadExerciseSave<CBasicProfiledata>(folder, "MousePad", text) &&
         LoadExerciseSave<CRu6533Profiledata>(folder, "HD", text);
}

}  // namespace profiles_test
