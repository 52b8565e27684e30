#pragma once
// A device model's macro library: the index "macro.config" ({"MacroInfo":
// [{"MacroName", "Guid"}...]}) in the profile folder and one macro file per
// macro, guid + ".mac" ({"MacroName", "Guid", "Events", "Version": 64}). A
// macro's number is its place in the index; key assignments of the macro kind
// store it, so a delete renumbers them in every profile of the device.
// Everything here runs without a UI.

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include <json/json.h>

#include "profiles/ProfileRecords.h"

namespace macros {

inline constexpr int kMaxMacros = 50;
inline constexpr int kMaxActions = 60;
inline constexpr int kMacroFileVersion = 64;
inline constexpr const char* kIndexFileName = "macro.config";
inline constexpr const char* kSecondaryIndexFileName = "orvix_macro.config";
inline constexpr const char* kMacroExtension = ".mac";
// RenameMacro's result for a blank name.
inline constexpr const char16_t* kIsEmpty = u"IsEmpty";

struct MacroEntry {
  std::u16string name;
  std::u16string guid;
};

// A new identifier from the local time, "%d_%02d_%02d_%02d_%02d_%02d_%03d".
std::u16string NewGuid();

// The macro file of a guid; empty when the guid could name anything but a
// plain file in the folder (empty, a path separator, ".."), so that an index
// from disk can never make us read, write or delete another file.
std::filesystem::path MacroFilePath(const std::filesystem::path& folder, std::u16string_view guid);

// The "MacroName" members of a secondary index ("orvix_macro.config").
std::vector<std::u16string> ReadSecondaryNames(const std::filesystem::path& folder);

class MacroLibrary {
 public:
  using GuidSource = std::function<std::u16string()>;

  // LoadLibrary: the entries of the folder's index (none when the index is
  // missing or unreadable).
  explicit MacroLibrary(std::filesystem::path folder, GuidSource guids = NewGuid);

  const std::filesystem::path& Folder() const { return folder_; }
  const std::vector<MacroEntry>& Entries() const { return entries_; }
  int Count() const { return int(entries_.size()); }
  bool IsFull() const { return Count() >= kMaxMacros; }
  std::filesystem::path FileOf(int position) const;

  // "macro_%d" with the first n not taken (case-insensitive); "" when full.
  std::u16string AddMacro();
  // The file's base name, "(n)" appended until free (the suffixes
  // accumulate); the file is copied byte for byte as the new macro's file.
  // "" when full or the file cannot be read.
  std::u16string AddMacroFromFile(const std::filesystem::path& file);
  // The stored name; kIsEmpty for a blank name; "" when the name is taken
  // (its own name included) or there is no such entry.
  std::u16string RenameMacro(int position, std::u16string_view name);
  // Removes the macro file and the entry; returns the position, or -1 when
  // there is no such entry. Renumbering key assignments is the caller's
  // (RenumberProfiles), so that the order of questions stays with the flow.
  int DeleteMacro(int position);

  // The actions of the macro file; delays shown as decimal text (above 65534:
  // 65535). Empty when the file is missing or unreadable.
  std::vector<Json::Value> LoadEvents(int position) const;
  // Writes the macro file from the actions in order: delays normalised to
  // decimal text ("" -> "0"), an action that is null ends the list, at most
  // 60 actions. 0, or -1 when there is no such entry, its guid names no file
  // or the write failed.
  int SaveEvents(int position, const std::vector<Json::Value>& events);
  // Copies the macro file to the target; false when nothing was copied.
  bool ExportMacro(int position, const std::filesystem::path& target) const;

  bool NameTaken(std::u16string_view name) const;

 private:
  std::u16string AppendEntry(std::u16string name);
  bool SaveIndex() const;

  std::filesystem::path folder_;
  GuidSource guids_;
  std::vector<MacroEntry> entries_;
};

// Key assignments of the macro kind (type 0x70/0x71, byte 1 = macro number)
// after `removed` was deleted: that number falls back to the key's default,
// higher numbers move down by one. True when anything changed.
bool RenumberMacroKeys(std::vector<profiles::KeyAssignment>& keys, int removed);
// Whether a key list names the macro.
bool UsesMacro(const std::vector<profiles::KeyAssignment>& keys, int macro);

// The profile files of a device folder: every "*.Json" holding a "Device"
// array, in name order.
std::vector<std::filesystem::path> ProfileFiles(const std::filesystem::path& folder);
// Whether the profile file's key list names the macro.
bool ProfileUsesMacro(const std::filesystem::path& profile, int macro);
// RenumberMacroKeys over each profile file, saving those that changed.
// Returns how many files were written.
int RenumberProfiles(const std::vector<std::filesystem::path>& profiles, int removed);

}  // namespace macros

namespace macros {

// A question to the user by text id; true for a positive answer.
using AskUser = std::function<bool(const char* textId)>;

// Deleting a macro with its confirmations, before anything changes:
// "message_text_4", then "message_text_2" when the current profile's keys use
// the macro. Then every other profile and the current one are renumbered,
// and the macro file and entry removed. Returns the position removed, or -1
// when the user declined or there is no such macro (no file changed).
// `currentChanged` tells whether the current profile was rewritten.
int DeleteMacroFlow(MacroLibrary& library, int position,
                    const std::filesystem::path& currentProfile,
                    const std::vector<std::filesystem::path>& otherProfiles, const AskUser& ask,
                    bool* currentChanged = nullptr);

}  // namespace macros
