#pragma once
// What the profile panel's buttons do with the list, without widgets: the
// confirmations, the checks and the messages around each list operation. The
// main window answers the prompts with its modal message box; `vx27ctl
// profile` answers every confirmation with yes and prints the messages.

#include <filesystem>
#include <string>
#include <string_view>

#include "profiles/ProfileList.h"

namespace profiles {

class ProfilePrompts {
 public:
  virtual ~ProfilePrompts() = default;
  // A yes/no question by text id; false ends the action.
  virtual bool Confirm(std::string_view textId) = 0;
  // A message by text id; `number`, when not -1, replaces "%d" in its text.
  virtual void Message(std::string_view textId, int number = -1) = 0;
};

// Each returns true when the list or a profile file changed.
bool RunAddProfile(ProfileList& list, ProfilePrompts& prompts);
bool RunCopyProfile(ProfileList& list, ProfilePrompts& prompts);
// True when a profile was deleted: the combo then selects the predecessor,
// which the caller loads through the ordinary profile switch.
bool RunDeleteProfile(ProfileList& list, ProfilePrompts& prompts);
// `path` as the open dialog gave it. A file that is not a JSON object with
// "profilename" and "profileUUID" is left alone without a message.
bool RunImportProfile(ProfileList& list, ProfilePrompts& prompts,
                      const std::filesystem::path& path);
bool RunExportProfile(ProfileList& list, const std::filesystem::path& path);
// The name edit's text; `codePage` the chosen language's code page.
bool RunRenameProfile(ProfileList& list, ProfilePrompts& prompts, const std::u16string& text,
                      int codePage);
// True when the profile was reset: the caller then applies it to the device.
bool RunResetProfile(ProfileList& list, ProfilePrompts& prompts);

// True when `path` holds what an import needs: a JSON object with
// "profilename" and "profileUUID" at its root.
bool IsImportableProfile(const std::filesystem::path& path);

// A translated text with a number: every "%d" becomes the number. The text is
// never used as a printf format.
std::string InsertNumber(std::string_view text, int number);

}  // namespace profiles
