#include "macros/MacroLibrary.h"

#include <algorithm>
#include <system_error>

#include <QString>

#include "macros/MacroEvent.h"
#include "platform/AtomicFile.h"
#include "platform/Trace.h"
#include "profiles/JsonAccess.h"
#include "profiles/JsonFile.h"
#include "profiles/Sections.h"
#include "profiles/Text.h"
#include "protocol/KeyMap.h"

namespace macros {

namespace json = profiles::json;
using profiles::Utf8ToWide;
using profiles::WideToUtf8;

namespace {

constexpr const char* kMacroInfo = "MacroInfo";
constexpr const char* kMacroName = "MacroName";
constexpr const char* kGuid = "Guid";
constexpr const char* kEvents = "Events";
constexpr const char* kVersion = "Version";

bool SameName(std::u16string_view a, std::u16string_view b) {
  return QString::fromUtf16(a.data(), qsizetype(a.size()))
             .compare(QString::fromUtf16(b.data(), qsizetype(b.size())), Qt::CaseInsensitive) == 0;
}

bool IsBlank(std::u16string_view name) {
  return std::all_of(name.begin(), name.end(),
                     [](char16_t c) { return QChar(c).isSpace(); });
}

std::u16string Format(const char* pattern, int n) {
  char text[32];
  std::snprintf(text, sizeof text, pattern, n);
  return Utf8ToWide(text);
}

}  // namespace

std::u16string NewGuid() { return Utf8ToWide(profiles::NewProfileId()); }

std::filesystem::path MacroFilePath(const std::filesystem::path& folder, std::u16string_view guid) {
  if (guid.empty() || guid.find(u'/') != guid.npos || guid.find(u'\\') != guid.npos ||
      guid.find(u"..") != guid.npos || guid.find(u'\0') != guid.npos)
    return {};
  return folder / std::filesystem::path(WideToUtf8(guid) + kMacroExtension);
}

std::vector<std::u16string> ReadSecondaryNames(const std::filesystem::path& folder) {
  const Json::Value root = profiles::LoadJsonFile(folder / kSecondaryIndexFileName);
  const Json::Value& info = json::Member(root, kMacroInfo);
  std::vector<std::u16string> names;
  for (size_t i = 0; i < json::ArraySize(info); ++i)
    names.push_back(Utf8ToWide(json::ToText(json::Member(json::Element(info, i), kMacroName))));
  return names;
}

MacroLibrary::MacroLibrary(std::filesystem::path folder, GuidSource guids)
    : folder_(std::move(folder)), guids_(std::move(guids)) {
  const Json::Value root = profiles::LoadJsonFile(folder_ / kIndexFileName);
  const Json::Value& info = json::Member(root, kMacroInfo);
  for (size_t i = 0; i < json::ArraySize(info); ++i) {
    const Json::Value& e = json::Element(info, i);
    entries_.push_back({Utf8ToWide(json::ToText(json::Member(e, kMacroName))),
                        Utf8ToWide(json::ToText(json::Member(e, kGuid)))});
  }
}

std::filesystem::path MacroLibrary::FileOf(int position) const {
  if (position < 0 || position >= Count()) return {};
  return MacroFilePath(folder_, entries_[size_t(position)].guid);
}

bool MacroLibrary::NameTaken(std::u16string_view name) const {
  return std::any_of(entries_.begin(), entries_.end(),
                     [name](const MacroEntry& e) { return SameName(e.name, name); });
}

bool MacroLibrary::SaveIndex() const {
  Json::Value root = profiles::LoadJsonFile(folder_ / kIndexFileName);
  if (!root.isObject()) root = Json::Value(Json::objectValue);
  Json::Value info(Json::arrayValue);
  for (const MacroEntry& e : entries_) {
    Json::Value element(Json::objectValue);
    element[kMacroName] = WideToUtf8(e.name);
    element[kGuid] = WideToUtf8(e.guid);
    info.append(element);
  }
  root[kMacroInfo] = info;
  std::error_code ec;
  std::filesystem::create_directories(folder_, ec);
  return profiles::SaveJsonFile(folder_ / kIndexFileName, root) == 0;
}

std::u16string MacroLibrary::AppendEntry(std::u16string name) {
  // Two macros added within one millisecond would share an identifier and so
  // one file; the later one takes the next millisecond that is free.
  std::u16string guid = guids_();
  while (std::any_of(entries_.begin(), entries_.end(),
                     [&guid](const MacroEntry& e) { return e.guid == guid; })) {
    const auto cut = guid.rfind(u'_');
    const std::string tail = WideToUtf8(guid.substr(cut == guid.npos ? 0 : cut + 1));
    const int ms = std::atoi(tail.c_str());
    guid = (cut == guid.npos ? std::u16string() : guid.substr(0, cut + 1)) + Format("%03d", ms + 1);
  }
  entries_.push_back({name, guid});
  SaveIndex();
  return name;
}

std::u16string MacroLibrary::AddMacro() {
  if (IsFull()) return {};
  int n = 1;
  std::u16string candidate = Format("macro_%d", n);
  while (NameTaken(candidate)) candidate = Format("macro_%d", ++n);
  return AppendEntry(candidate);
}

std::u16string MacroLibrary::AddMacroFromFile(const std::filesystem::path& file) {
  if (IsFull()) return {};
  std::error_code ec;
  if (!std::filesystem::is_regular_file(file, ec)) return {};
  const std::string bytes = profiles::readjsonFile(file);
  std::u16string candidate = profiles::FileBaseName(file);
  for (int n = 2; NameTaken(candidate); ++n) candidate += Format("(%d)", n);
  const std::u16string name = AppendEntry(candidate);
  if (!platform::WriteFileAtomic(FileOf(Count() - 1), bytes))
    Trace("macro import: the copy was not written");
  return name;
}

std::u16string MacroLibrary::RenameMacro(int position, std::u16string_view name) {
  if (position < 0 || position >= Count()) return {};
  if (IsBlank(name)) return kIsEmpty;
  if (NameTaken(name)) return {};
  entries_[size_t(position)].name = std::u16string(name);
  SaveIndex();
  return std::u16string(name);
}

int MacroLibrary::DeleteMacro(int position) {
  if (position < 0 || position >= Count()) return -1;
  const std::filesystem::path file = FileOf(position);
  std::error_code ec;
  if (!file.empty()) std::filesystem::remove(file, ec);
  entries_.erase(entries_.begin() + position);
  SaveIndex();
  return position;
}

std::vector<Json::Value> MacroLibrary::LoadEvents(int position) const {
  std::vector<Json::Value> events;
  const std::filesystem::path file = FileOf(position);
  if (file.empty()) return events;
  const Json::Value root = profiles::LoadJsonFile(file);
  const Json::Value& list = json::Member(root, kEvents);
  for (size_t i = 0; i < json::ArraySize(list); ++i) {
    Json::Value event = json::Element(list, i);
    if (!event.isObject()) event = Json::Value(Json::objectValue);
    event["Delay"] = std::to_string(DelayOf(event["Delay"]));
    events.push_back(event);
  }
  return events;
}

int MacroLibrary::SaveEvents(int position, const std::vector<Json::Value>& events) {
  const std::filesystem::path file = FileOf(position);
  if (file.empty()) return -1;
  Json::Value list(Json::arrayValue);
  for (const Json::Value& action : events) {
    if (list.size() >= Json::ArrayIndex(kMaxActions) || action.isNull()) break;
    Json::Value event = action.isObject() ? action : Json::Value(Json::objectValue);
    event["Delay"] = std::to_string(DelayOf(event["Delay"]));
    list.append(event);
  }
  const MacroEntry& entry = entries_[size_t(position)];
  Json::Value root(Json::objectValue);
  root[kMacroName] = WideToUtf8(entry.name);
  root[kGuid] = WideToUtf8(entry.guid);
  root[kEvents] = list;
  root[kVersion] = kMacroFileVersion;
  return profiles::SaveJsonFile(file, root) == 0 ? 0 : -1;
}

bool MacroLibrary::ExportMacro(int position, const std::filesystem::path& target) const {
  const std::filesystem::path file = FileOf(position);
  std::error_code ec;
  if (file.empty() || target.empty() || !std::filesystem::is_regular_file(file, ec)) return false;
  return platform::WriteFileAtomic(target, profiles::readjsonFile(file));
}

bool RenumberMacroKeys(std::vector<profiles::KeyAssignment>& keys, int removed) {
  bool changed = false;
  for (profiles::KeyAssignment& key : keys) {
    if (!protocol::IsMacroType(key.assignment.c0)) continue;
    if (key.assignment.c1 == removed) {
      key.assignment = key.defaultAssignment;
      changed = true;
    } else if (key.assignment.c1 > removed) {
      --key.assignment.c1;
      changed = true;
    }
  }
  return changed;
}

bool UsesMacro(const std::vector<profiles::KeyAssignment>& keys, int macro) {
  return std::any_of(keys.begin(), keys.end(), [macro](const profiles::KeyAssignment& k) {
    return protocol::IsMacroType(k.assignment.c0) && k.assignment.c1 == macro;
  });
}

namespace {

// The "KeyList" of the file's device entry 0; null when the file has none.
Json::Value* KeyListOf(Json::Value& root) {
  if (!root.isObject()) return nullptr;
  Json::Value& devices = root[profiles::sections::kDevice];
  if (!devices.isArray() || devices.empty() || !devices[0].isObject()) return nullptr;
  Json::Value& keys = devices[0][profiles::sections::kKeyList];
  return keys.isArray() ? &keys : nullptr;
}

}  // namespace

std::vector<std::filesystem::path> ProfileFiles(const std::filesystem::path& folder) {
  std::vector<std::filesystem::path> files;
  std::error_code ec;
  for (const auto& item : std::filesystem::directory_iterator(folder, ec)) {
    if (!item.is_regular_file(ec) || item.path().extension() != ".Json") continue;
    Json::Value root = profiles::LoadJsonFile(item.path());
    if (root.isObject() && json::Member(root, profiles::sections::kDevice).isArray())
      files.push_back(item.path());
  }
  std::sort(files.begin(), files.end());
  return files;
}

bool ProfileUsesMacro(const std::filesystem::path& profile, int macro) {
  Json::Value root = profiles::LoadJsonFile(profile);
  const Json::Value* section = KeyListOf(root);
  return section && UsesMacro(profiles::sections::ReadKeyList(*section), macro);
}

int RenumberProfiles(const std::vector<std::filesystem::path>& files, int removed) {
  int written = 0;
  for (const std::filesystem::path& file : files) {
    Json::Value root = profiles::LoadJsonFile(file);
    Json::Value* section = KeyListOf(root);
    if (!section) continue;
    std::vector<profiles::KeyAssignment> keys = profiles::sections::ReadKeyList(*section);
    if (!RenumberMacroKeys(keys, removed)) continue;
    profiles::sections::WriteKeyList(*section, keys);
    if (profiles::SaveJsonFile(file, root) == 0) ++written;
  }
  return written;
}

}  // namespace macros

namespace macros {

int DeleteMacroFlow(MacroLibrary& library, int position,
                    const std::filesystem::path& currentProfile,
                    const std::vector<std::filesystem::path>& otherProfiles, const AskUser& ask,
                    bool* currentChanged) {
  if (currentChanged) *currentChanged = false;
  if (!ask("message_text_4")) return -1;
  if (position < 0 || position >= library.Count()) return -1;
  if (!currentProfile.empty() && ProfileUsesMacro(currentProfile, position) &&
      !ask("message_text_2"))
    return -1;
  RenumberProfiles(otherProfiles, position);
  if (!currentProfile.empty()) {
    const int written = RenumberProfiles({currentProfile}, position);
    if (currentChanged) *currentChanged = written > 0;
  }
  return library.DeleteMacro(position);
}

}  // namespace macros
