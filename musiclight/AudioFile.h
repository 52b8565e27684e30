#pragma once
// The music light colour groups and their file, "AudioFile.json": four named
// groups with a colour each (components 0..9) and the selected group. The
// program's part of the file sits under "Device"."AudioLightInfo".

#include <array>
#include <cstdint>
#include <filesystem>
#include <string>

#include <json/json.h>

namespace musiclight {

inline constexpr size_t kGroupCount = 4;

struct AudioLightInfo {
  uint8_t style = 0;  // selected group, 0..3
  std::array<std::string, kGroupCount> names;
  std::array<std::array<uint8_t, 3>, kGroupCount> colours{};  // R, G, B per group

  bool operator==(const AudioLightInfo&) const = default;
};

// The record from an "AudioLightInfo" object; a missing key leaves its field zeroed.
AudioLightInfo AudioLightInfoFromJson(const Json::Value& object);
Json::Value AudioLightInfoToJson(const AudioLightInfo& info);

// The file's "Device" object held in memory between a load and a save.
class AudioFile {
 public:
  AudioFile(std::filesystem::path userFile, std::filesystem::path defaultFile);

  // Reads the user copy; when it has no "Device" member the default copy is
  // read, written to the user path and used. A missing default copy leaves
  // the record zeroed.
  AudioLightInfo LoadAudioFile();
  // Stores the record under "AudioLightInfo" in the held "Device" object and
  // writes that object into the user file, keeping the file's other members.
  // Returns 0 when written, -1 when not.
  int SaveAudioLightInfo(const AudioLightInfo& info);

  const std::filesystem::path& UserFile() const { return userFile_; }

 private:
  std::filesystem::path userFile_;
  std::filesystem::path defaultFile_;
  Json::Value device_{Json::objectValue};
};

}  // namespace musiclight
