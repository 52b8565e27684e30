#pragma once
// The profile data object a device owns: the device entry of the selected
// profile file in memory, its sections as records, and the writes back to the
// file. CBasicProfiledata serves the mouse pad as it is; the keyboard, mouse and
// headset classes add their own sections.
//
// A profile file is {"Device": [entry, ...], "profilename": ..., "profileUUID":
// ...}; the object works on element deviceIndex (always 0) of "Device". Setters
// change only the document in memory; nothing reaches the disk before Save,
// SaveEntry, SaveOther or WriteDocument. Callers serialise all access.

#include <cstddef>
#include <filesystem>
#include <vector>

#include <json/json.h>

#include "profiles/ProfileRecords.h"

namespace profiles {

// Indices a caller or a file can hand to a writer (groups, presets, keys) are
// refused beyond this bound, so that a stray value cannot grow a document to
// millions of elements.
inline constexpr int kMaxSectionIndex = 4096;

class CBasicProfiledata {
 public:
  CBasicProfiledata() = default;
  virtual ~CBasicProfiledata() = default;
  CBasicProfiledata(const CBasicProfiledata&) = default;
  CBasicProfiledata& operator=(const CBasicProfiledata&) = default;

  // The four overridable operations, in this order. Each returns true when
  // the file was written (a failed write leaves the old file and is traced).
  // SaveEntry of the document to the profile path.
  virtual bool Save();
  // Read-modify-write: the file's device entry becomes `entry`; the file's
  // other members ("profilename", "profileUUID", ...) stay.
  virtual bool SaveEntry(const Json::Value& entry, const std::filesystem::path& path);
  // SaveEntry of the other document to the path.
  virtual bool SaveOther(const std::filesystem::path& path);
  // The value becomes the whole file.
  virtual bool WriteDocument(const Json::Value& value, const std::filesystem::path& path);

  // Paths; an empty path is ignored.
  void SetDefaultPath(const std::filesystem::path& path);
  void SetProfilePath(const std::filesystem::path& path);
  const std::filesystem::path& GetProfilePath() const { return profilePath_; }
  const std::filesystem::path& GetDefaultPath() const { return defaultPath_; }
  void SetLightConfigPath(const std::filesystem::path& path);
  const std::filesystem::path& GetLightConfigPath() const { return lightConfigPath_; }
  // Negative indices are ignored.
  void SetDeviceIndex(int index);
  int GetDeviceIndex() const { return deviceIndex_; }

  // Loads the device entry of the file as the document. When the file has none
  // (missing, unparsable, or without that entry) the factory entry of the
  // default file is taken and written into the file, whose other root members
  // survive. Returns a copy of the document (null when neither file has one).
  Json::Value LoadProfile(const std::filesystem::path& path);
  // The same into the other document (profile-wide maintenance).
  Json::Value LoadOtherProfile(const std::filesystem::path& path);

  const Json::Value& Document() const { return document_; }
  const Json::Value& OtherDocument() const { return otherDocument_; }

  // "LightInfo".
  LightInfoRecord GetLightInfo();
  void SetLightInfo(uint32_t w0, uint32_t w1, uint32_t w2, uint16_t w3);
  void SetLightInfo(const LightInfoRecord& record);

  // "AudioLightInfo".
  AudioLightRecord GetAudioLightInfo();
  void SetAudioLightInfo(const AudioLightRecord& record);

  // "LightList" (factory data; read only).
  std::vector<LightModeEntry> GetLightList();

  // The light configuration file: {"LightInfo": [[{"LightName", "Guid"}...]...]}.
  Json::Value LoadLightConfig(const std::filesystem::path& path);
  const Json::Value& GetLightConfig() const { return lightConfig_; }
  // How many built-in modes precede the custom effects in the mode list; the
  // custom effect of mode m is entry m - count. 0 until a device sets it.
  void SetBuiltInModeCount(int count);
  // The steps of the custom effect the selected light mode names. A relative
  // "Guid" path resolves in the profile folder (beside the light configuration
  // file).
  std::vector<LightEffectStep> GetLightEffect();

  // "KeyList" of the document and of the other document.
  std::vector<KeyAssignment> GetKeyList();
  void SetKeyList(const std::vector<KeyAssignment>& keys);
  std::vector<KeyAssignment> GetOtherKeyList();
  void SetOtherKeyList(const std::vector<KeyAssignment>& keys);

 protected:
  // The section of the document, or null when the document or the section is
  // missing or the document is not an object.
  const Json::Value& Section(const char* name) const;
  // The section for writing; the document becomes an object when needed.
  Json::Value& MutableSection(const char* name);
  // Folder of the profile files (where the light configuration file lives).
  std::filesystem::path ProfileFolder() const;

  std::filesystem::path profilePath_;
  std::filesystem::path defaultPath_;
  LightInfoRecord lightInfo_;
  AudioLightRecord audioLight_;
  std::vector<LightModeEntry> lightModes_;
  Json::Value document_;
  Json::Value otherDocument_;
  std::filesystem::path lightConfigPath_;
  std::vector<LightEffectStep> lightEffects_;
  Json::Value lightConfig_;
  std::vector<KeyAssignment> keyList_;
  std::vector<KeyAssignment> otherKeyList_;
  int deviceIndex_ = 0;
  int builtInModeCount_ = 0;

 private:
  Json::Value LoadInto(Json::Value& target, const std::filesystem::path& path);
};

}  // namespace profiles
