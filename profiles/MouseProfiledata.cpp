#include "profiles/MouseProfiledata.h"

#include "profiles/JsonAccess.h"
#include "profiles/Sections.h"

namespace profiles {

std::vector<DpiStage> CMouseProfiledata::GetDpiStages() {
  const Json::Value& section = Section(sections::kDpiStages);
  if (!section.isNull()) {
    activeStage_ = json::ToInt(json::Member(section, sections::kStageActive));
    const Json::Value& stages = json::Member(section, sections::kStageDpis);
    const size_t n = json::ArraySize(stages);
    for (size_t i = 0; i < n; ++i) {
      const DpiStage stage = sections::ReadDpiStage(json::Element(stages, i));
      if (i < dpiStages_.size())
        dpiStages_[i] = stage;
      else
        dpiStages_.push_back(stage);
    }
  }
  return dpiStages_;
}

void CMouseProfiledata::SetDpiStages(const std::vector<DpiStage>& stages) {
  dpiStages_ = stages;
  Json::Value& list =
      json::ObjectMember(MutableSection(sections::kDpiStages), sections::kStageDpis);
  for (size_t i = 0; i < stages.size(); ++i)
    sections::WriteDpiStage(json::ArrayElement(list, i), stages[i]);
}

void CMouseProfiledata::SetActiveStage(int index) {
  activeStage_ = index;
  json::ObjectMember(MutableSection(sections::kDpiStages), sections::kStageActive) = index;
}

MouseSystemSettings CMouseProfiledata::GetSystemSettings() {
  const Json::Value& system = Section(sections::kSystemStages);
  systemSettings_ = system.isNull()
                        ? MouseSystemSettings{}
                        : sections::ReadMouseSystem(system, Section(sections::kReportStages));
  return systemSettings_;
}

void CMouseProfiledata::SetSystemSettings(std::span<const uint32_t, 8> words) {
  SetSystemSettings(MouseSystemSettings::FromWords(words));
}

void CMouseProfiledata::SetSystemSettings(const MouseSystemSettings& settings) {
  systemSettings_ = settings;
  Json::Value& system = MutableSection(sections::kSystemStages);
  Json::Value& report = MutableSection(sections::kReportStages);
  sections::WriteMouseSystem(system, report, settings);
}

}  // namespace profiles
