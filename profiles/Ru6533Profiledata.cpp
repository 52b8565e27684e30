#include "profiles/Ru6533Profiledata.h"

#include <algorithm>

#include "platform/Trace.h"
#include "profiles/JsonAccess.h"
#include "profiles/Sections.h"
#include "profiles/Text.h"

namespace profiles {
namespace {

int EqSlot(int eqType) {
  if (eqType == CRu6533Profiledata::kUserPresetType) return -1;
  if (eqType >= 1 && eqType <= 12) return eqType;
  return 1;
}

bool PresetInRange(int index) {
  if (index >= 0 && index < kMaxSectionIndex) return true;
  Trace("CustomEQHzValueInfo: preset " + std::to_string(index) + " refused");
  return false;
}

}  // namespace

HeadsetSettings CRu6533Profiledata::GetHeadsetSettings() {
  headsetSettings_ = sections::ReadHeadsetSettings(Section(sections::kSystemSetStages));
  return headsetSettings_;
}

void CRu6533Profiledata::SetHeadsetSettings(const HeadsetSettings& settings) {
  headsetSettings_ = settings;
  sections::WriteHeadsetSettings(MutableSection(sections::kSystemSetStages), settings);
}

std::vector<int> CRu6533Profiledata::ReadBands(const char* section, int slot) {
  std::vector<int> values(kBandCount, 0);
  const Json::Value& bands = json::Element(Section(section), size_t(slot));
  if (bands.isNull()) {
    Json::Value& created = json::ArrayElement(MutableSection(section), size_t(slot));
    for (int b = 0; b < kBandCount; ++b) {
      Json::Value band(Json::objectValue);
      band[sections::kEqBandValue] = 0;
      json::ArrayElement(created, size_t(b)) = band;
    }
    return values;
  }
  for (int b = 0; b < kBandCount; ++b)
    values[size_t(b)] =
        json::ToInt(json::Member(json::Element(bands, size_t(b)), sections::kEqBandValue));
  return values;
}

void CRu6533Profiledata::WriteBands(const char* section, int slot,
                                    const std::vector<int>& values) {
  Json::Value& bands = json::ArrayElement(MutableSection(section), size_t(slot));
  const size_t n = std::min(values.size(), size_t(kBandCount));
  for (size_t b = 0; b < n; ++b)
    json::ObjectMember(json::ArrayElement(bands, b), sections::kEqBandValue) = values[b];
}

std::vector<int> CRu6533Profiledata::GetEqValues(int eqType) {
  const int slot = EqSlot(eqType);
  if (slot < 0) return {};
  return ReadBands(sections::kEqValues, slot);
}

void CRu6533Profiledata::SetEqValues(int eqType, const std::vector<int>& values) {
  const int slot = EqSlot(eqType);
  if (slot >= 0) WriteBands(sections::kEqValues, slot, values);
}

std::vector<std::u16string> CRu6533Profiledata::GetCustomEqNames() {
  std::vector<std::u16string> names;
  const Json::Value& list = Section(sections::kCustomEqNames);
  const size_t n = json::ArraySize(list);
  names.reserve(n);
  for (size_t i = 0; i < n; ++i)
    names.push_back(
        Utf8ToWide(json::ToText(json::Member(json::Element(list, i), sections::kEqName))));
  return names;
}

void CRu6533Profiledata::SetCustomEqNames(const std::vector<std::u16string>& names) {
  Json::Value list(Json::arrayValue);
  for (const std::u16string& name : names) {
    Json::Value entry(Json::objectValue);
    entry[sections::kEqName] = WideToUtf8(name);
    list.append(entry);
  }
  MutableSection(sections::kCustomEqNames) = list;
}

std::vector<int> CRu6533Profiledata::GetCustomEqValues(int index) {
  if (!PresetInRange(index)) return std::vector<int>(kBandCount, 0);
  return ReadBands(sections::kCustomEqValues, index);
}

void CRu6533Profiledata::SetCustomEqValues(int index, const std::vector<int>& values) {
  if (PresetInRange(index)) WriteBands(sections::kCustomEqValues, index, values);
}

void CRu6533Profiledata::RemoveCustomEq(int index) {
  if (index < 0) return;
  Json::Value removed;
  for (const char* section : {sections::kCustomEqNames, sections::kCustomEqValues}) {
    if (size_t(index) >= json::ArraySize(Section(section))) continue;
    MutableSection(section).removeIndex(Json::ArrayIndex(index), &removed);
  }
}

}  // namespace profiles
