#include "profiles/KeyboardProfiledata.h"

#include <algorithm>
#include <string>

#include "platform/Trace.h"
#include "profiles/JsonAccess.h"
#include "profiles/Sections.h"

namespace profiles {
namespace {

bool GroupInRange(int group, int keyCount) {
  if (group >= 0 && group < kMaxSectionIndex && keyCount >= 0 && keyCount <= kMaxSectionIndex)
    return true;
  Trace("CustomLightMode: group " + std::to_string(group) + " / key count " +
        std::to_string(keyCount) + " refused");
  return false;
}

}  // namespace

KeyboardSystemSettings CKeyboardProfiledata::GetSystemSettings() {
  systemSettings_ = sections::ReadKeyboardSystem(Section(sections::kSystemStages));
  return systemSettings_;
}

void CKeyboardProfiledata::SetSystemSettings(uint32_t w0, uint32_t w1, uint32_t w2) {
  SetSystemSettings(KeyboardSystemSettings::FromWords(w0, w1, w2));
}

void CKeyboardProfiledata::SetSystemSettings(const KeyboardSystemSettings& settings) {
  systemSettings_ = settings;
  sections::WriteKeyboardSystem(MutableSection(sections::kSystemStages), settings);
}

std::vector<CustomColor> CKeyboardProfiledata::GetCustomColors(int group, int keyCount) {
  customColors_.clear();
  if (!GroupInRange(group, keyCount)) return customColors_;
  Json::Value& groups = json::ObjectMember(MutableSection(sections::kCustomLightMode),
                                           sections::kLightColorInfo);
  Json::Value& colours = json::ArrayElement(groups, size_t(group));
  // A group that is missing (or is not a list) is rebuilt with zero colours.
  const bool repairAll = !colours.isArray();
  customColors_.resize(size_t(keyCount));
  for (int i = 0; i < keyCount; ++i) {
    Json::Value& element = json::ArrayElement(colours, size_t(i));
    if (repairAll || element.isNull())
      sections::WriteCustomColor(element, CustomColor{});
    else
      customColors_[size_t(i)] = sections::ReadCustomColor(element);
  }
  return customColors_;
}

void CKeyboardProfiledata::SetCustomColors(const std::vector<CustomColor>& colors, int group) {
  if (!GroupInRange(group, int(std::min<size_t>(colors.size(), kMaxSectionIndex + 1)))) return;
  customColors_ = colors;
  Json::Value& groups = json::ObjectMember(MutableSection(sections::kCustomLightMode),
                                           sections::kLightColorInfo);
  Json::Value& colours = json::ArrayElement(groups, size_t(group));
  for (size_t i = 0; i < colors.size(); ++i)
    sections::WriteCustomColor(json::ArrayElement(colours, i), colors[i]);
}

int CKeyboardProfiledata::GetCustomGroupIndex() {
  customGroupIndex_ =
      json::ToInt(json::Member(Section(sections::kCustomLightMode), sections::kCustomGroupIndex));
  return customGroupIndex_;
}

void CKeyboardProfiledata::SetCustomGroupIndex(int index) {
  customGroupIndex_ = index;
  json::ObjectMember(MutableSection(sections::kCustomLightMode), sections::kCustomGroupIndex) =
      index;
}

}  // namespace profiles
