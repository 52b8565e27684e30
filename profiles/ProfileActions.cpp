#include "profiles/ProfileActions.h"

#include <functional>

#include "profiles/JsonFile.h"

namespace profiles {
namespace {

constexpr const char* kLimitMessage = "message_text_32";

// A confirmed addition that the 50-profile limit may refuse.
bool RunAddition(ProfilePrompts& prompts, const char* question, const std::function<bool()>& add) {
  if (!prompts.Confirm(question)) return false;
  if (add()) {
    prompts.Message(kLimitMessage);
    return false;
  }
  return true;
}

}  // namespace

bool RunAddProfile(ProfileList& list, ProfilePrompts& prompts) {
  return RunAddition(prompts, "message_text_28", [&] { return list.AddProfile(); });
}

bool RunCopyProfile(ProfileList& list, ProfilePrompts& prompts) {
  return RunAddition(prompts, "message_text_27", [&] { return list.CopyProfile(); });
}

bool RunDeleteProfile(ProfileList& list, ProfilePrompts& prompts) {
  if (!prompts.Confirm("message_text_30")) return false;
  return list.DeleteProfile();
}

bool IsImportableProfile(const std::filesystem::path& path) {
  const Json::Value document = LoadJsonFile(path);
  return document.isObject() && document.isMember("profilename") &&
         document.isMember("profileUUID");
}

bool RunImportProfile(ProfileList& list, ProfilePrompts& prompts,
                      const std::filesystem::path& path) {
  if (list.GetSelectedIndex() < 0 || path.empty() || !IsImportableProfile(path)) return false;
  const int before = list.Count();
  if (list.ImportProfile(path)) {
    prompts.Message(kLimitMessage);
    return false;
  }
  return list.Count() > before;
}

bool RunExportProfile(ProfileList& list, const std::filesystem::path& path) {
  if (list.GetSelectedIndex() < 0 || path.empty()) return false;
  return list.ExportProfile(path);
}

bool RunRenameProfile(ProfileList& list, ProfilePrompts& prompts, const std::u16string& text,
                      int codePage) {
  switch (CheckProfileName(text, codePage)) {
    case NameCheck::Empty: return false;
    case NameCheck::TooLong: prompts.Message("message_text_34"); return false;
    case NameCheck::Forbidden: prompts.Message("message_text_35"); return false;
    case NameCheck::Ok: break;
  }
  switch (list.RenameProfile(text)) {
    case 1: return true;
    case 2: prompts.Message("message_text_25"); return false;
    default: prompts.Message("message_text_5"); return false;
  }
}

bool RunResetProfile(ProfileList& list, ProfilePrompts& prompts) {
  if (!prompts.Confirm("message_text_22")) return false;
  return list.ResetProfile();
}

std::string InsertNumber(std::string_view text, int number) {
  const std::string digits = std::to_string(number);
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '%' && i + 1 < text.size() && text[i + 1] == 'd') {
      out += digits;
      ++i;
    } else {
      out += text[i];
    }
  }
  return out;
}

}  // namespace profiles
