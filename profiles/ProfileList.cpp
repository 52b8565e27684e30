#include "profiles/ProfileList.h"

#include <iconv.h>

#include <algorithm>
#include <cerrno>
#include <ctime>
#include <system_error>

#include "platform/Trace.h"
#include "profiles/BasicProfiledata.h"
#include "profiles/JsonAccess.h"
#include "profiles/JsonFile.h"
#include "profiles/Text.h"

namespace profiles {
namespace {

constexpr const char* kListKey = "profilelist";
constexpr const char* kSelectKey = "profileselect";
constexpr const char* kNameKey = "profilename";
constexpr const char* kIdKey = "profileUUID";
constexpr uint8_t kMacroFunction = 0x70;
constexpr uint8_t kMacroFunctionOver = 0x71;

// iconv handle, closed with its scope.
class Converter {
 public:
  explicit Converter(const char* to) : cd_(iconv_open(to, "UTF-8")) {}
  ~Converter() {
    if (cd_ != iconv_t(-1)) iconv_close(cd_);
  }
  Converter(const Converter&) = delete;
  Converter& operator=(const Converter&) = delete;
  // Bytes one character (UTF-8) takes, or -1 when the code page lacks it.
  int Length(std::string utf8) {
    if (cd_ == iconv_t(-1)) return -1;
    iconv(cd_, nullptr, nullptr, nullptr, nullptr);
    char out[16];
    char* in = utf8.data();
    size_t inLeft = utf8.size();
    char* o = out;
    size_t outLeft = sizeof out;
    if (iconv(cd_, &in, &inLeft, &o, &outLeft) == size_t(-1)) return -1;
    if (iconv(cd_, nullptr, nullptr, &o, &outLeft) == size_t(-1)) return -1;
    return int(sizeof out - outLeft);
  }

 private:
  iconv_t cd_;
};

const char* IconvName(int codePage) {
  switch (codePage) {
    case 874: return "CP874";
    case 932: return "CP932";
    case 936: return "CP936";
    case 949: return "CP949";
    case 950: return "CP950";
    case 1250: return "CP1250";
    case 1251: return "CP1251";
    case 1254: return "CP1254";
    // Vietnamese letters with two marks are written as a base letter and a
    // combining mark: two bytes.
    case 1258: return "CP1258";
    default: return "CP1252";
  }
}

char16_t FoldCase(char16_t c) {
  if (c >= u'A' && c <= u'Z') return char16_t(c + 32);
  if (c >= 0xC0 && c <= 0xDE && c != 0xD7) return char16_t(c + 32);
  if (c >= 0x391 && c <= 0x3A9) return char16_t(c + 32);
  if (c >= 0x410 && c <= 0x42F) return char16_t(c + 32);
  return c;
}

bool SameNameNoCase(std::u16string_view a, std::u16string_view b) {
  return a.size() == b.size() &&
         std::equal(a.begin(), a.end(), b.begin(),
                    [](char16_t x, char16_t y) { return FoldCase(x) == FoldCase(y); });
}

bool IsBlank(std::u16string_view name) {
  return std::all_of(name.begin(), name.end(), [](char16_t c) {
    return c == u' ' || (c >= 0x09 && c <= 0x0D) || c == 0xA0 || c == 0x3000;
  });
}

std::u16string NumberedName(std::u16string_view base, const char* format, int n) {
  char digits[32];
  std::snprintf(digits, sizeof digits, format, n);
  return std::u16string(base) + Utf8ToWide(digits);
}

// The own section of a device kind's entry, and the sections only another
// kind has. A pad entry has no section of its own.
const char* OwnSection(int kind) {
  switch (kind) {
    case hid::kind::kKeyboardCable:
    case hid::kind::kKeyboardReceiver: return "CustomLightMode";
    case hid::kind::kMouseCable:
    case hid::kind::kMouseReceiver: return "DPIStages";
    case hid::kind::kHeadset: return "SystemSetStages";
    default: return nullptr;
  }
}

bool EntryFitsKind(const Json::Value& document, int kind) {
  const Json::Value& entry = json::Element(json::Member(document, "Device"), 0);
  if (!entry.isObject()) return false;
  const char* own = OwnSection(kind);
  for (const char* section : {"DPIStages", "CustomLightMode", "SystemSetStages"}) {
    const bool has = entry.isMember(section);
    const bool mine = own && std::string_view(own) == section;
    if (has != mine) return false;
  }
  return true;
}

}  // namespace

int CodePageLength(std::u16string_view name, int codePage) {
  Converter converter(IconvName(codePage));
  int bytes = 0;
  for (size_t i = 0; i < name.size(); ++i) {
    size_t units = 1;
    if (name[i] >= 0xD800 && name[i] <= 0xDBFF && i + 1 < name.size()) units = 2;
    const int length = converter.Length(WideToUtf8(name.substr(i, units)));
    bytes += length < 0 ? 1 : length;
    i += units - 1;
  }
  return bytes;
}

NameCheck CheckProfileName(std::u16string_view name, int codePage) {
  if (name.empty()) return NameCheck::Empty;
  if (CodePageLength(name, codePage) > kMaxProfileNameBytes) return NameCheck::TooLong;
  if (name.find_first_of(u"<>:\" /\\|?#%&*=") != std::u16string_view::npos)
    return NameCheck::Forbidden;
  return NameCheck::Ok;
}

int CodePageOfLanguage(int languageId) {
  switch (languageId) {
    case 510: return 936;   // cn
    case 530: return 950;   // tw
    case 540: return 932;   // ja
    case 550: return 949;   // ko
    case 610: return 1251;  // ru
    case 620: return 1250;  // pl
    case 630: return 1254;  // tr
    case 640: return 1258;  // vi
    case 660: return 874;   // th
    default: return 1252;   // en, de, fr, es, pt, it, id and any other
  }
}

bool KeysUseMacro(const std::vector<KeyAssignment>& keys, int macroIndex) {
  return std::any_of(keys.begin(), keys.end(), [macroIndex](const KeyAssignment& k) {
    const KeyFunction& f = k.assignment;
    return (f.c0 == kMacroFunction || f.c0 == kMacroFunctionOver) && f.c1 == macroIndex;
  });
}

bool RemoveMacroFromKeys(std::vector<KeyAssignment>& keys, int macroIndex) {
  bool changed = false;
  for (KeyAssignment& k : keys) {
    KeyFunction& f = k.assignment;
    if (f.c0 != kMacroFunction && f.c0 != kMacroFunctionOver) continue;
    if (f.c1 == macroIndex) {
      f = k.defaultAssignment;
      changed = true;
    } else if (f.c1 > macroIndex) {
      --f.c1;
      changed = true;
    }
  }
  return changed;
}

ProfileList::ProfileList(Clock clock) : clock_(std::move(clock)) {}

void ProfileList::SetPaths(const std::filesystem::path& profileFolder,
                           const std::filesystem::path& defaultProfilePath) {
  folder_ = profileFolder;
  defaultPath_ = defaultProfilePath;
}

std::filesystem::path ProfileList::ListPath() const { return folder_ / "ProfileList.ini"; }

Json::Value ProfileList::ReadList() const { return LoadJsonFile(ListPath()); }

void ProfileList::WriteList(const Json::Value& list) const { SaveJsonFile(ListPath(), list); }

Json::Value ProfileList::Entry(const std::u16string& name, const std::string& uuid) {
  Json::Value entry(Json::objectValue);
  entry[kNameKey] = WideToUtf8(name);
  entry[kIdKey] = uuid;
  entry["profileislink"] = 0;
  entry["profilelinkmame"] = "";
  return entry;
}

std::filesystem::path ProfileList::FileOfId(const std::string& uuid) const {
  if (uuid.empty() || uuid.find_first_of("/\\") != std::string::npos ||
      uuid.find("..") != std::string::npos)
    return {};
  return folder_ / (uuid + ".Json");
}

std::string ProfileList::EntryId(const Json::Value& list, int index) const {
  if (index < 0) return {};
  return json::ToText(
      json::Member(json::Element(json::Member(list, kListKey), size_t(index)), kIdKey));
}

std::string ProfileList::NewUniqueId() const {
  const Json::Value list = ReadList();
  const Json::Value& entries = json::Member(list, kListKey);
  auto taken = [&](const std::string& id) {
    for (size_t i = 0; i < json::ArraySize(entries); ++i)
      if (json::ToText(json::Member(json::Element(entries, i), kIdKey)) == id) return true;
    std::error_code ec;
    return std::filesystem::exists(FileOfId(id), ec);
  };
  auto when = std::chrono::time_point_cast<std::chrono::milliseconds>(clock_());
  for (;;) {
    const std::time_t seconds = std::chrono::system_clock::to_time_t(when);
    const auto millis = when.time_since_epoch().count() % 1000;
    std::tm local{};
    localtime_r(&seconds, &local);
    const std::string id = FormatProfileId(LocalTime{local.tm_year + 1900, local.tm_mon + 1,
                                                     local.tm_mday, local.tm_hour, local.tm_min,
                                                     local.tm_sec, int(millis)});
    if (!taken(id)) return id;
    when += std::chrono::milliseconds(1);
  }
}

bool ProfileList::NameTaken(std::u16string_view name, int except) const {
  for (int i = 0; i < Count(); ++i)
    if (i != except && SameNameNoCase(names_[size_t(i)], name)) return true;
  return false;
}

Json::Value ProfileList::NamedDocument(Json::Value document, const std::u16string& name,
                                       const std::string& uuid) const {
  if (!document.isObject()) document = Json::Value(Json::objectValue);
  document[kNameKey] = WideToUtf8(name);
  document[kIdKey] = uuid;
  return document;
}

void ProfileList::InitList() {
  listDocument_ = ReadList();
  if (json::ArraySize(json::Member(listDocument_, kListKey)) == 0) {
    const std::string uuid = NewUniqueId();
    listDocument_ = Json::Value(Json::objectValue);
    listDocument_[kListKey] = Json::Value(Json::arrayValue);
    listDocument_[kListKey].append(Entry(u"Profile1", uuid));
    listDocument_[kSelectKey] = 0;
    WriteList(listDocument_);
    if (const auto file = FileOfId(uuid); !file.empty())
      SaveJsonFile(file, NamedDocument(LoadJsonFile(defaultPath_), u"Profile1", uuid));
  }
  names_.clear();
  const Json::Value& entries = json::Member(listDocument_, kListKey);
  for (size_t i = 0; i < json::ArraySize(entries); ++i)
    names_.push_back(Utf8ToWide(json::ToText(json::Member(json::Element(entries, i), kNameKey))));
  int select = json::ToInt(json::Member(listDocument_, kSelectKey));
  if (select < 0 || select >= Count()) select = 0;
  SelectProfile(select);
}

void ProfileList::SetComboSelection(int index) {
  comboSelection_ = index >= 0 && index < Count() ? index : -1;
}

bool ProfileList::SelectProfile(int index) {
  if (index < 0 || index >= Count()) return false;
  comboSelection_ = index;
  nameText_ = names_[size_t(index)];
  listDocument_ = ReadList();
  json::ObjectMember(listDocument_, kSelectKey) = index;
  selectedId_ = EntryId(listDocument_, index);
  WriteList(listDocument_);
  return true;
}

int ProfileList::ReloadList() {
  scanDocument_ = ReadList();
  return int(json::ArraySize(json::Member(scanDocument_, kListKey)));
}

std::filesystem::path ProfileList::ProfileFilePath(int index) const {
  return FileOfId(EntryId(scanDocument_, index));
}

bool ProfileList::AppendEntry(const std::u16string& name, const std::string& uuid) {
  names_.push_back(name);
  listDocument_ = ReadList();
  Json::Value& entries = json::ObjectMember(listDocument_, kListKey);
  if (!entries.isArray()) entries = Json::Value(Json::arrayValue);
  // The combo box and the file grow together: the entry goes to the combo's
  // last index even when the file was shorter.
  json::ArrayElement(entries, names_.size() - 1) = Entry(name, uuid);
  WriteList(listDocument_);
  return true;
}

bool ProfileList::AddProfile() {
  if (Count() >= kMaxProfiles) return true;
  std::u16string name = u"Profile1";
  for (int n = 1; NameTaken(name);) name = NumberedName(u"profile", "%d", ++n);
  const std::string uuid = NewUniqueId();
  AppendEntry(name, uuid);
  if (const auto file = FileOfId(uuid); !file.empty())
    SaveJsonFile(file, NamedDocument(LoadJsonFile(defaultPath_), name, uuid));
  return false;
}

bool ProfileList::CopyProfile() {
  if (Count() >= kMaxProfiles) return true;
  if (comboSelection_ < 0) return false;
  const std::u16string source = names_[size_t(comboSelection_)];
  const std::string sourceId = EntryId(ReadList(), comboSelection_);
  std::u16string name = source + u" copy1";
  for (int n = 1; NameTaken(name);) name = NumberedName(source + u" copy", "%d", ++n);
  const std::string uuid = NewUniqueId();
  AppendEntry(name, uuid);
  const auto sourceFile = FileOfId(sourceId);
  Json::Value document = sourceFile.empty() ? Json::Value() : LoadJsonFile(sourceFile);
  if (const auto file = FileOfId(uuid); !file.empty())
    SaveJsonFile(file, NamedDocument(std::move(document), name, uuid));
  return false;
}

bool ProfileList::ImportProfile(const std::filesystem::path& path) {
  if (Count() >= kMaxProfiles) return true;
  Json::Value document = LoadJsonFile(path);
  if (!document.isObject()) {
    Trace("profile import: " + path.string() + " is not a JSON object");
    return false;
  }
  if (!EntryFitsKind(document, kind_)) {
    Trace("profile import: " + path.string() + " is not a profile of device kind " +
                    std::to_string(kind_));
    return false;
  }
  std::u16string name = FileBaseName(path);
  for (int n = 1; NameTaken(name); ++n) name = NumberedName(name, "(%d)", n);
  const std::string uuid = NewUniqueId();
  AppendEntry(name, uuid);
  if (const auto file = FileOfId(uuid); !file.empty())
    SaveJsonFile(file, NamedDocument(std::move(document), name, uuid));
  return false;
}

bool ProfileList::ExportProfile(const std::filesystem::path& path) {
  const std::string uuid = EntryId(ReadList(), comboSelection_);
  const auto file = FileOfId(uuid);
  if (file.empty()) return false;
  std::error_code ec;
  if (!std::filesystem::exists(file, ec)) {
    // Completes the missing file from the factory profile and writes it.
    CBasicProfiledata profile;
    profile.SetDefaultPath(defaultPath_);
    profile.LoadProfile(file);
    Json::Value named = LoadJsonFile(file);
    if (named.isObject() && !named.isMember(kNameKey)) {
      named = NamedDocument(std::move(named), names_[size_t(comboSelection_)], uuid);
      SaveJsonFile(file, named);
    }
  }
  const Json::Value document = LoadJsonFile(file);
  if (document.isNull()) return false;
  return SaveJsonFile(path, document) == 0;
}

bool ProfileList::DeleteProfile() {
  const int cur = comboSelection_;
  if (cur < 0 || Count() < 2) return false;
  const int next = cur == 0 ? 0 : cur - 1;
  listDocument_ = ReadList();
  Json::Value& entries = json::ObjectMember(listDocument_, kListKey);
  const std::string uuid = EntryId(listDocument_, cur);
  if (entries.isArray() && cur < int(entries.size())) {
    Json::Value removed;
    entries.removeIndex(Json::ArrayIndex(cur), &removed);
  }
  if (const auto file = FileOfId(uuid); !file.empty()) {
    std::error_code ec;
    std::filesystem::remove(file, ec);
  }
  listDocument_[kSelectKey] = next;
  WriteList(listDocument_);
  names_.erase(names_.begin() + cur);
  comboSelection_ = next;
  return true;
}

bool ProfileList::ResetProfile() {
  listDocument_ = ReadList();
  const int cur = comboSelection_;
  if (cur < 0) return false;
  const Json::Value& entry = json::Element(json::Member(listDocument_, kListKey), size_t(cur));
  const std::string uuid = json::ToText(json::Member(entry, kIdKey));
  const auto file = FileOfId(uuid);
  if (file.empty()) return false;
  Json::Value document = NamedDocument(
      LoadJsonFile(defaultPath_), Utf8ToWide(json::ToText(json::Member(entry, kNameKey))), uuid);
  if (kind_ == hid::kind::kHeadset) {
    const Json::Value current = LoadJsonFile(file);
    const Json::Value& from = json::Element(json::Member(current, "Device"), 0);
    Json::Value& to = json::ArrayElement(json::ObjectMember(document, "Device"), 0);
    for (const char* key : {"CustomEQNameInfo", "CustomEQHzValueInfo"})
      if (from.isObject() && from.isMember(key)) json::ObjectMember(to, key) = from[key];
  }
  return SaveJsonFile(file, document) == 0;
}

int ProfileList::RenameProfile(const std::u16string& name) {
  const int cur = comboSelection_;
  if (cur < 0) return 0;
  if (IsBlank(name)) return 2;
  if (NameTaken(name, cur)) return 0;
  names_[size_t(cur)] = name;
  nameText_ = name;
  listDocument_ = ReadList();
  Json::Value& entry =
      json::ArrayElement(json::ObjectMember(listDocument_, kListKey), size_t(cur));
  json::ObjectMember(entry, kNameKey) = WideToUtf8(name);
  const std::string uuid = json::ToText(json::Member(entry, kIdKey));
  WriteList(listDocument_);
  if (const auto file = FileOfId(uuid); !file.empty()) {
    Json::Value document = LoadJsonFile(file);
    if (!document.isObject()) document = Json::Value(Json::objectValue);
    document[kNameKey] = WideToUtf8(name);
    SaveJsonFile(file, document);
  }
  return 1;
}

bool ProfileList::SweepRemovedMacro(int macroIndex, std::vector<KeyAssignment>& selectedKeys,
                                    const std::function<bool()>& confirm) {
  if (kind_ != hid::kind::kKeyboardCable && kind_ != hid::kind::kMouseCable) return false;
  if (macroIndex < 0) return false;
  // The question about the selected profile comes before any file changes, so
  // that a refusal leaves every profile as it was.
  if (KeysUseMacro(selectedKeys, macroIndex) && !(confirm && confirm())) return false;
  const int count = ReloadList();
  CBasicProfiledata other;
  other.SetDefaultPath(defaultPath_);
  for (int j = 0; j < count; ++j) {
    if (j == comboSelection_) continue;
    const auto path = ProfileFilePath(j);
    if (path.empty()) continue;
    other.LoadOtherProfile(path);
    std::vector<KeyAssignment> keys = other.GetOtherKeyList();
    if (!RemoveMacroFromKeys(keys, macroIndex)) continue;
    other.SetOtherKeyList(keys);
    other.SaveOther(path);
  }
  RemoveMacroFromKeys(selectedKeys, macroIndex);
  return true;
}

}  // namespace profiles
