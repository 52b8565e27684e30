#include "profiles/BasicProfiledata.h"

#include "profiles/JsonAccess.h"
#include "profiles/JsonFile.h"
#include "profiles/Sections.h"
#include "profiles/Text.h"

namespace profiles {
namespace {

const Json::Value& DeviceEntry(const Json::Value& root, int deviceIndex) {
  return json::Element(json::Member(root, sections::kDevice), size_t(deviceIndex));
}

// Puts the entry into the file's document. A root or "Device" member of the
// wrong type cannot hold it and is replaced.
void PutDeviceEntry(Json::Value& root, int deviceIndex, const Json::Value& entry) {
  json::ArrayElement(json::ObjectMember(root, sections::kDevice), size_t(deviceIndex)) = entry;
}

}  // namespace

bool CBasicProfiledata::Save() { return SaveEntry(document_, profilePath_); }

bool CBasicProfiledata::SaveEntry(const Json::Value& entry, const std::filesystem::path& path) {
  Json::Value root = LoadJsonFile(path);
  PutDeviceEntry(root, deviceIndex_, entry);
  return SaveJsonFile(path, root) == 0;
}

bool CBasicProfiledata::SaveOther(const std::filesystem::path& path) {
  return SaveEntry(otherDocument_, path);
}

bool CBasicProfiledata::WriteDocument(const Json::Value& value,
                                      const std::filesystem::path& path) {
  return SaveJsonFile(path, value) == 0;
}

void CBasicProfiledata::SetDefaultPath(const std::filesystem::path& path) {
  if (!path.empty()) defaultPath_ = path;
}

void CBasicProfiledata::SetProfilePath(const std::filesystem::path& path) {
  if (!path.empty()) profilePath_ = path;
}

void CBasicProfiledata::SetLightConfigPath(const std::filesystem::path& path) {
  if (!path.empty()) lightConfigPath_ = path;
}

void CBasicProfiledata::SetDeviceIndex(int index) {
  if (index >= 0 && index < kMaxSectionIndex) deviceIndex_ = index;
}

Json::Value CBasicProfiledata::LoadInto(Json::Value& target, const std::filesystem::path& path) {
  Json::Value root = LoadJsonFile(path);
  target = DeviceEntry(root, deviceIndex_);
  if (target.isNull()) {
    // Create or complete the profile file from the factory entry; the file's
    // other root members stay as they were.
    const Json::Value factory = LoadJsonFile(defaultPath_);
    target = DeviceEntry(factory, deviceIndex_);
    PutDeviceEntry(root, deviceIndex_, target);
    SaveJsonFile(path, root);
  }
  return target;
}

Json::Value CBasicProfiledata::LoadProfile(const std::filesystem::path& path) {
  return LoadInto(document_, path);
}

Json::Value CBasicProfiledata::LoadOtherProfile(const std::filesystem::path& path) {
  return LoadInto(otherDocument_, path);
}

const Json::Value& CBasicProfiledata::Section(const char* name) const {
  return json::Member(document_, name);
}

Json::Value& CBasicProfiledata::MutableSection(const char* name) {
  return json::ObjectMember(document_, name);
}

std::filesystem::path CBasicProfiledata::ProfileFolder() const {
  return (lightConfigPath_.empty() ? profilePath_ : lightConfigPath_).parent_path();
}

LightInfoRecord CBasicProfiledata::GetLightInfo() {
  lightInfo_ = sections::ReadLightInfo(Section(sections::kLightInfo));
  return lightInfo_;
}

void CBasicProfiledata::SetLightInfo(uint32_t w0, uint32_t w1, uint32_t w2, uint16_t w3) {
  SetLightInfo(LightInfoRecord::FromWords(w0, w1, w2, w3));
}

void CBasicProfiledata::SetLightInfo(const LightInfoRecord& record) {
  lightInfo_ = record;
  MutableSection(sections::kLightInfo) = sections::WriteLightInfo(record);
}

AudioLightRecord CBasicProfiledata::GetAudioLightInfo() {
  audioLight_ = sections::ReadAudioLight(Section(sections::kAudioLightInfo));
  return audioLight_;
}

void CBasicProfiledata::SetAudioLightInfo(const AudioLightRecord& record) {
  audioLight_ = record;
  MutableSection(sections::kAudioLightInfo) = sections::WriteAudioLight(record);
}

std::vector<LightModeEntry> CBasicProfiledata::GetLightList() {
  lightModes_ = sections::ReadLightList(Section(sections::kLightList));
  return lightModes_;
}

Json::Value CBasicProfiledata::LoadLightConfig(const std::filesystem::path& path) {
  lightConfig_ = LoadJsonFile(path);
  return lightConfig_;
}

void CBasicProfiledata::SetBuiltInModeCount(int count) {
  if (count >= 0) builtInModeCount_ = count;
}

std::vector<LightEffectStep> CBasicProfiledata::GetLightEffect() {
  std::vector<LightEffectStep> result;
  const int k = int(lightInfo_.selectItem) - builtInModeCount_;
  const Json::Value& effects =
      json::Element(json::Member(lightConfig_, sections::kLightConfigList), size_t(deviceIndex_));
  const Json::Value& entry = k >= 0 ? json::Element(effects, size_t(k)) : Json::Value::nullSingleton();
  // Without an entry there is no effect file to read (its name would be
  // ".light", which must not be looked up in the profile folder).
  if (!entry.isNull()) {
    std::filesystem::path file =
        WideToUtf8(Utf8ToWide(json::ToText(json::Member(entry, sections::kGuid)))) + ".light";
    if (file.is_relative()) file = ProfileFolder() / file;
    result = sections::ReadLightEffectList(LoadJsonFile(file));
  }
  lightEffects_ = result;
  return result;
}

std::vector<KeyAssignment> CBasicProfiledata::GetKeyList() {
  keyList_ = sections::ReadKeyList(Section(sections::kKeyList));
  return keyList_;
}

void CBasicProfiledata::SetKeyList(const std::vector<KeyAssignment>& keys) {
  keyList_ = keys;
  sections::WriteKeyList(MutableSection(sections::kKeyList), keys);
}

std::vector<KeyAssignment> CBasicProfiledata::GetOtherKeyList() {
  otherKeyList_ = sections::ReadKeyList(json::Member(otherDocument_, sections::kKeyList));
  return otherKeyList_;
}

void CBasicProfiledata::SetOtherKeyList(const std::vector<KeyAssignment>& keys) {
  otherKeyList_ = keys;
  sections::WriteKeyList(json::ObjectMember(otherDocument_, sections::kKeyList), keys);
}

}  // namespace profiles
