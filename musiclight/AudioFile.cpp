#include "musiclight/AudioFile.h"

#include "platform/Trace.h"
#include "profiles/JsonFile.h"

namespace musiclight {
namespace {

constexpr const char* kRecordKey = "AudioLightInfo";
constexpr const char* kDeviceKey = "Device";
constexpr char kComponentLetters[3] = {'R', 'G', 'B'};

std::string ComponentKey(size_t group, size_t component) {
  return std::string("nStyle") + kComponentLetters[component] + std::to_string(group);
}
std::string NameKey(size_t group) { return "nStyleName" + std::to_string(group + 1); }

}  // namespace

AudioLightInfo AudioLightInfoFromJson(const Json::Value& object) {
  AudioLightInfo info;
  if (!object.isObject()) return info;
  const auto integer = [&](const std::string& key) {
    const Json::Value& v = object[key];
    return v.isIntegral() ? v.asLargestInt() : 0;
  };
  info.style = uint8_t(integer("nAudioStyle"));
  for (size_t g = 0; g < kGroupCount; ++g) {
    const Json::Value& name = object[NameKey(g)];
    info.names[g] = name.isString() ? name.asString() : std::string();
    for (size_t c = 0; c < 3; ++c) info.colours[g][c] = uint8_t(integer(ComponentKey(g, c)));
  }
  return info;
}

Json::Value AudioLightInfoToJson(const AudioLightInfo& info) {
  Json::Value object(Json::objectValue);
  object["nAudioStyle"] = int(info.style);
  for (size_t g = 0; g < kGroupCount; ++g) {
    object[NameKey(g)] = info.names[g];
    for (size_t c = 0; c < 3; ++c) object[ComponentKey(g, c)] = int(info.colours[g][c]);
  }
  return object;
}

AudioFile::AudioFile(std::filesystem::path userFile, std::filesystem::path defaultFile)
    : userFile_(std::move(userFile)), defaultFile_(std::move(defaultFile)) {}

AudioLightInfo AudioFile::LoadAudioFile() {
  Json::Value root = profiles::LoadJsonFile(userFile_);
  Json::Value device = root.isObject() ? root[kDeviceKey] : Json::Value();
  if (device.isNull()) {
    root = profiles::LoadJsonFile(defaultFile_);
    if (!root.isNull() && profiles::SaveJsonFile(userFile_, root) != 0)
      Trace("AudioFile.json: the user copy cannot be written");
    device = root.isObject() ? root[kDeviceKey] : Json::Value();
  }
  device_ = device.isObject() ? device : Json::Value(Json::objectValue);
  return AudioLightInfoFromJson(device_[kRecordKey]);
}

int AudioFile::SaveAudioLightInfo(const AudioLightInfo& info) {
  device_[kRecordKey] = AudioLightInfoToJson(info);
  Json::Value root = profiles::LoadJsonFile(userFile_);
  if (!root.isObject()) root = Json::Value(Json::objectValue);
  root[kDeviceKey] = device_;
  return profiles::SaveJsonFile(userFile_, root);
}

}  // namespace musiclight
