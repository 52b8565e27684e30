#include "app/Environment.h"

#include <QFile>
#include <QFontDatabase>

#include "platform/Paths.h"
#include "platform/Trace.h"
#include "profiles/JsonFile.h"

namespace app {
namespace {

std::filesystem::path Sub(const std::filesystem::path& base, const char* name) {
  return base / (std::string(name) + "/");
}

}  // namespace

std::filesystem::path GetInstallFolder() { return platform::InstallFolder(); }
std::filesystem::path GetSkinFolder() { return Sub(GetInstallFolder(), "skin"); }
std::filesystem::path GetFontFolder() { return Sub(GetInstallFolder(), "Font"); }
std::filesystem::path GetDefaultDataFolder() { return Sub(GetInstallFolder(), "DefaultData"); }
std::filesystem::path GetUpdateFolder() { return Sub(GetInstallFolder(), "Update"); }

std::filesystem::path GetUserDataFolder() {
  const std::filesystem::path folder = platform::UserDataRoot();
  if (!std::filesystem::exists(folder)) platform::EnsureFolder(folder);
  return folder;
}

std::filesystem::path GetTempUpdateFolder() {
  const std::filesystem::path folder = Sub(platform::TempFolder(), "UpdateData");
  if (!std::filesystem::exists(folder)) platform::EnsureFolder(folder);
  return folder;
}

std::vector<LanguageEntry> ReadLanguageList() {
  const Json::Value doc = profiles::LoadJsonFile(GetDefaultDataFolder() / "Language.config");
  std::vector<LanguageEntry> list;
  if (!doc.isObject() || !doc["Language"].isArray()) return list;
  for (const Json::Value& e : doc["Language"]) {
    LanguageEntry entry;
    if (e.isObject()) {
      if (e["Language_ID"].isInt()) entry.id = e["Language_ID"].asInt();
      if (e["Language_name"].isString()) entry.name = e["Language_name"].asString();
      if (e["Language_file"].isString()) entry.file = e["Language_file"].asString();
      if (e["Language_text"].isString()) entry.text = e["Language_text"].asString();
    }
    list.push_back(std::move(entry));
  }
  return list;
}

int ReadLanguageIndex(const platform::SettingsStore& store) {
  if (!store.KeyExists(platform::kProductKey)) return 0;
  const int id = int(store.ReadInt(platform::kProductKey, "LANGUAGE").value_or(kDefaultLanguageId));
  const std::vector<LanguageEntry> list = ReadLanguageList();
  for (size_t i = 0; i < list.size(); ++i)
    if (list[i].id == id) return int(i);
  return 0;
}

void WriteLanguageId(platform::SettingsStore& store, int id) {
  if (!store.KeyExists(platform::kProductKey)) return;
  store.WriteInt(platform::kProductKey, "LANGUAGE", uint32_t(id));
  if (store.Flush()) Trace("写成功！");
}

int VersionTextToNumber(std::string_view text) {
  long long value = 0;
  bool any = false;
  for (char c : text) {
    if (c == '.') continue;
    if (c < '0' || c > '9') break;  // read the leading decimal number, as a C scan would
    value = value * 10 + (c - '0');
    any = true;
    if (value > 0x7FFFFFFF) return 0;
  }
  return any ? int(value) : 0;
}

int GetInstalledVersion(const platform::SettingsStore& store) {
  const auto text = store.ReadString(platform::kUninstallKey, "DisplayVersion");
  return text ? VersionTextToNumber(*text) : 0;
}

std::string LanguageFontFace(int index) {
  switch (index) {
    case 0: return "汉仪菱心体简";
    case 2: return "Noto Sans CJK TC Regular";
    case 15: return "Noto Sans Thai";
    default: return "Arial";
  }
}

bool LanguageNeedsFontRebuild(int current, int next) {
  auto special = [](int i) { return i == 0 || i == 2 || i == 15; };
  return special(next) || special(current) || current == -1;
}

platform::MessageId RegisterIdentityMessage() {
  return platform::RegisterWindowMessage(kProductIdentity);
}

ProgramMessages RegisterProgramMessages() {
  ProgramMessages m;
  m.identity = RegisterIdentityMessage();
  m.toolBF15 = platform::RegisterWindowMessage("{4695579F-999A-41d4-9FAF-EFFCE93EBF15}");
  m.toolBF16 = platform::RegisterWindowMessage("{4695579F-999A-41d4-9FAF-EFFCE93EBF16}");
  m.toolBF17 = platform::RegisterWindowMessage("{4695579F-999A-41d4-9FAF-EFFCE93EBF17}");
  m.toolBF18 = platform::RegisterWindowMessage("{4695579F-999A-41d4-9FAF-EFFCE93EBF18}");
  m.toolBE19 = platform::RegisterWindowMessage("{4695579F-999A-41d4-9FAF-EFFCE93EBE19}");
  return m;
}

PrivateFonts::PrivateFonts(const std::filesystem::path& fontFolder) {
  for (size_t i = 0; i < kFiles.size(); ++i) {
    QFile file(QString::fromStdString((fontFolder / kFiles[i]).string()));
    if (!file.open(QIODevice::ReadOnly)) continue;
    ids_[i] = QFontDatabase::addApplicationFontFromData(file.readAll());
  }
}

PrivateFonts::~PrivateFonts() {
  for (size_t i = ids_.size(); i-- > 0;)
    if (ids_[i] >= 0) QFontDatabase::removeApplicationFont(ids_[i]);
}

std::vector<std::string> PrivateFonts::Families() const {
  std::vector<std::string> out;
  for (int id : ids_)
    if (id >= 0)
      for (const QString& f : QFontDatabase::applicationFontFamilies(id)) out.push_back(f.toStdString());
  return out;
}

}  // namespace app
