#pragma once
// The mouse's profile: the base sections plus "DPIStages" and the mouse form
// of "SystemStages" with "ReportStages".

#include <span>
#include <vector>

#include "profiles/BasicProfiledata.h"

namespace profiles {

class CMouseProfiledata : public CBasicProfiledata {
 public:
  // Merges the file's stages into the held list: stage i of the file replaces
  // stage i, further stages are appended; the list never shrinks, so stages the
  // device reported beyond the file's count stay. A missing section changes
  // nothing. Returns a copy of the held list.
  std::vector<DpiStage> GetDpiStages();
  void SetDpiStages(const std::vector<DpiStage>& stages);
  // The active stage held since the last GetDpiStages or SetActiveStage.
  int GetActiveStage() const { return activeStage_; }
  void SetActiveStage(int index);

  // Zero when "SystemStages" is missing; a missing "ReportStages" leaves the
  // words it fills zero.
  MouseSystemSettings GetSystemSettings();
  void SetSystemSettings(std::span<const uint32_t, 8> words);
  void SetSystemSettings(const MouseSystemSettings& settings);

 private:
  std::vector<DpiStage> dpiStages_;
  int activeStage_ = 0;
  MouseSystemSettings systemSettings_;
};

}  // namespace profiles
