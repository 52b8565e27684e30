#pragma once
// The keyboard's profile: the base sections plus "SystemStages" (repeat,
// lock flags, polling rate) and "CustomLightMode" (five groups of per-key
// colours for the custom lighting mode).

#include <vector>

#include "profiles/BasicProfiledata.h"

namespace profiles {

class CKeyboardProfiledata : public CBasicProfiledata {
 public:
  KeyboardSystemSettings GetSystemSettings();
  void SetSystemSettings(uint32_t w0, uint32_t w1, uint32_t w2);
  void SetSystemSettings(const KeyboardSystemSettings& settings);

  // Colours of group `group` for keys 0..keyCount-1. A missing group or key is
  // created in the document with zeros and reads as zero. A negative or
  // out-of-bound group or count gives an empty list and changes nothing.
  std::vector<CustomColor> GetCustomColors(int group, int keyCount);
  // Stores colour i as key i of the group.
  void SetCustomColors(const std::vector<CustomColor>& colors, int group);

  // "CustomLightModeGroupIndex"; missing reads as 0.
  int GetCustomGroupIndex();
  void SetCustomGroupIndex(int index);

 private:
  KeyboardSystemSettings systemSettings_;
  std::vector<CustomColor> customColors_;
  int customGroupIndex_ = 0;
};

}  // namespace profiles
