#pragma once
// The headset's profile: the base sections plus "SystemSetStages" (voice
// effect, equaliser choice, microphone and monitoring), the equaliser values of
// the built-in presets ("EQHzValueInfo") and the user presets
// ("CustomEQNameInfo", "CustomEQHzValueInfo").

#include <string>
#include <vector>

#include "profiles/BasicProfiledata.h"

namespace profiles {

class CRu6533Profiledata : public CBasicProfiledata {
 public:
  static constexpr int kBandCount = 10;
  static constexpr int kUserPresetType = 13;

  HeadsetSettings GetHeadsetSettings();
  void SetHeadsetSettings(const HeadsetSettings& settings);

  // Band values of the preset slot of an equaliser type: 0 and anything above
  // 13 use slot 1, 1..12 their own slot, 13 (the user preset) none (empty
  // result, document unchanged). A missing slot is created with zeros.
  std::vector<int> GetEqValues(int eqType);
  // Writes up to ten band values into the type's slot; type 13 writes nothing.
  void SetEqValues(int eqType, const std::vector<int>& values);

  std::vector<std::u16string> GetCustomEqNames();
  // Replaces the list of user preset names.
  void SetCustomEqNames(const std::vector<std::u16string>& names);

  // The ten band values of user preset `index`; a missing preset is created
  // with zeros. A negative or out-of-bound index reads ten zeros and changes
  // nothing.
  std::vector<int> GetCustomEqValues(int index);
  void SetCustomEqValues(int index, const std::vector<int>& values);
  // Removes the name and the band values of user preset `index`; the presets
  // behind it move down one place. An index beyond either list changes nothing
  // there.
  void RemoveCustomEq(int index);

 private:
  std::vector<int> ReadBands(const char* section, int slot);
  void WriteBands(const char* section, int slot, const std::vector<int>& values);

  HeadsetSettings headsetSettings_;
};

}  // namespace profiles
