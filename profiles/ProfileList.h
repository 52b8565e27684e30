#pragma once
// A device model's profile list without widgets: ProfileList.ini in the
// model's profile folder and the operations on it (first start, select, add,
// copy, import, export, delete, rename, reset, the macro removal sweep).
//
// ProfileList.ini is JSON despite its name:
//   {"profilelist": [{"profilename", "profileUUID", "profileislink": 0,
//                     "profilelinkmame": ""}, ...], "profileselect": i}
// The file is the single record of the list: every operation rereads it
// before changing it and writes it back at once. The object mirrors the
// profile combo box of the panel (names in file order and the combo's
// selection), which the panel draws from `Names()` and `ComboSelection()`.

#include <chrono>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include <json/json.h>

#include "hid/SupportedDevices.h"  // hid::kind, the device kinds
#include "profiles/ProfileRecords.h"

namespace profiles {

inline constexpr int kMaxProfiles = 50;
inline constexpr int kMaxProfileNameBytes = 16;

// Result of checking a name the user typed for a rename.
enum class NameCheck {
  Ok,
  Empty,      // nothing typed: the rename does nothing
  TooLong,    // more than 16 bytes in the language's code page
  Forbidden,  // one of < > : " space / \ | ? # % & * =
};
// `codePage` is 874, 932, 936, 949, 950, 1250, 1251, 1252, 1254 or 1258 (any
// other counts as 1252). A character the code page cannot hold counts as one
// byte, as its replacement would.
NameCheck CheckProfileName(std::u16string_view name, int codePage);
// Bytes the name takes in the code page (same counting as above).
int CodePageLength(std::u16string_view name, int codePage);
// The code page of a language id of Language.config (510 + 10 x index).
int CodePageOfLanguage(int languageId);

// Macro functions in a key assignment: c0 0x70 or 0x71, c1 = macro index.
// Removing macro m sets every assignment of m back to its default and moves
// the ones above m down by one. True when anything changed.
bool RemoveMacroFromKeys(std::vector<KeyAssignment>& keys, int macroIndex);
bool KeysUseMacro(const std::vector<KeyAssignment>& keys, int macroIndex);

class ProfileList {
 public:
  using Clock = std::function<std::chrono::system_clock::time_point()>;

  // `clock` makes the time-based profile identities (tests step it).
  explicit ProfileList(Clock clock = std::chrono::system_clock::now);

  void SetKind(int deviceKind) { kind_ = deviceKind; }
  int Kind() const { return kind_; }
  void SetPaths(const std::filesystem::path& profileFolder,
                const std::filesystem::path& defaultProfilePath);
  const std::filesystem::path& Folder() const { return folder_; }
  std::filesystem::path ListPath() const;

  // Reads the list (making the one-profile list when the file is missing,
  // unparsable or empty), fills the names and selects the stored profile
  // ("profileselect" outside the list reads as 0).
  void InitList();
  // Selects entry `index`: the name text, "profileselect" and the selected
  // identity follow. False (and nothing changes) for an index outside the list.
  bool SelectProfile(int index);
  // The combo box's selection (-1 none); the combo may move ahead of the
  // recorded selection until the panel's switch catches up.
  int GetSelectedIndex() const { return comboSelection_; }
  void SetComboSelection(int index);
  const std::string& GetSelectedProfileId() const { return selectedId_; }
  const std::u16string& NameText() const { return nameText_; }
  void SetNameText(std::u16string text) { nameText_ = std::move(text); }
  const std::vector<std::u16string>& Names() const { return names_; }
  int Count() const { return int(names_.size()); }

  // Reads ProfileList.ini into the scan copy; its number of entries.
  int ReloadList();
  // Profile file of entry `index` of the scan copy; empty when the entry has
  // no usable identity (empty, or holding a path separator or "..").
  std::filesystem::path ProfileFilePath(int index) const;
  // "profileUUID" of entry `index` of the scan copy.
  std::string ScanProfileId(int index) const { return EntryId(scanDocument_, index); }
  // Profile file of a profile identity (empty as above).
  std::filesystem::path FileOfId(const std::string& uuid) const;

  // True when the limit (50) refused the operation; nothing changed then.
  bool AddProfile();
  bool CopyProfile();
  // The caller has checked that the file is a JSON object with "profilename"
  // and "profileUUID". A document that plainly belongs to another device kind
  // is refused (traced) and false returned, as for a file that vanished.
  bool ImportProfile(const std::filesystem::path& path);
  // Writes the selected profile to `path`; a missing profile file is first
  // completed from the factory profile. False when nothing was written.
  bool ExportProfile(const std::filesystem::path& path);
  // False when nothing happened (no selection, fewer than 2 profiles).
  // Afterwards the combo selects the predecessor (or entry 0).
  bool DeleteProfile();
  // The selected profile file becomes the factory profile under its name and
  // identity (a headset keeps its user EQ presets).
  bool ResetProfile();
  // 1 done; 0 another entry has the name (any case) or nothing is selected;
  // 2 the name is blank.
  int RenameProfile(const std::u16string& name);

  // Removes macro m from the key lists of every profile (keyboard and mouse
  // by cable only). The selected profile's keys are those in
  // `selectedKeys` (the device's list). When they use macro m, `confirm` is
  // asked first; a refusal changes no profile and gives false. Otherwise the
  // other profile files are rewritten, `selectedKeys` is changed in place and
  // the result is true.
  bool SweepRemovedMacro(int macroIndex, std::vector<KeyAssignment>& selectedKeys,
                         const std::function<bool()>& confirm);

 private:
  Json::Value ReadList() const;
  void WriteList(const Json::Value& list) const;
  static Json::Value Entry(const std::u16string& name, const std::string& uuid);
  std::string NewUniqueId() const;
  bool NameTaken(std::u16string_view name, int except = -1) const;
  std::string EntryId(const Json::Value& list, int index) const;
  // Default profile document with the root name and identity set.
  Json::Value NamedDocument(Json::Value document, const std::u16string& name,
                            const std::string& uuid) const;
  bool AppendEntry(const std::u16string& name, const std::string& uuid);

  Clock clock_;
  int kind_ = 0;
  std::filesystem::path folder_;
  std::filesystem::path defaultPath_;
  Json::Value listDocument_;
  Json::Value scanDocument_;
  std::string selectedId_;
  std::vector<std::u16string> names_;
  int comboSelection_ = -1;
  std::u16string nameText_;
};

}  // namespace profiles
