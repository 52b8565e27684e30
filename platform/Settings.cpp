#include "platform/Settings.h"

#include <algorithm>

#include <QSettings>
#include <QStandardPaths>
#include <QString>

#include "platform/Paths.h"

namespace platform {
namespace {

QString Key(std::string_view key, std::string_view name) {
  QString k = QString::fromUtf8(key.data(), qsizetype(key.size()));
  // QSettings treats '/' as the group separator, which matches registry paths.
  return k + "/" + QString::fromUtf8(name.data(), qsizetype(name.size()));
}

QString Group(std::string_view key) { return QString::fromUtf8(key.data(), qsizetype(key.size())); }

constexpr const char* kKeyMarker = ".exists";

}  // namespace

std::string SettingsStore::DefaultFile() {
  const QString base = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
  return (base + "/" + kProductName + "/registry.ini").toStdString();
}

SettingsStore::SettingsStore(std::string_view file) {
  const std::string path = file.empty() ? DefaultFile() : std::string(file);
  settings_ = std::make_unique<QSettings>(QString::fromStdString(path), QSettings::IniFormat);
}

SettingsStore::~SettingsStore() = default;

bool SettingsStore::KeyExists(std::string_view key) const {
  if (settings_->contains(Key(key, kKeyMarker))) return true;
  // A key exists when a value or a subkey lives under it: whole path parts
  // from the start, never a match somewhere inside a longer path.
  const QString prefix = Group(key) + "/";
  const QStringList all = settings_->allKeys();
  return std::any_of(all.begin(), all.end(), [&](const QString& k) { return k.startsWith(prefix); });
}

void SettingsStore::CreateKey(std::string_view key) {
  if (!KeyExists(key)) settings_->setValue(Key(key, kKeyMarker), 1);
}

std::optional<int64_t> SettingsStore::ReadInt(std::string_view key, std::string_view name) const {
  const QVariant v = settings_->value(Key(key, name));
  bool ok = false;
  const qlonglong n = v.toLongLong(&ok);
  if (!v.isValid() || !ok) return std::nullopt;
  return int64_t(n);
}

std::optional<std::string> SettingsStore::ReadString(std::string_view key,
                                                     std::string_view name) const {
  const QVariant v = settings_->value(Key(key, name));
  if (!v.isValid()) return std::nullopt;
  return v.toString().toStdString();
}

void SettingsStore::WriteInt(std::string_view key, std::string_view name, int64_t value) {
  settings_->setValue(Key(key, name), qlonglong(value));
}

void SettingsStore::WriteString(std::string_view key, std::string_view name,
                                std::string_view value) {
  settings_->setValue(Key(key, name), QString::fromUtf8(value.data(), qsizetype(value.size())));
}

void SettingsStore::DeleteValue(std::string_view key, std::string_view name) {
  settings_->remove(Key(key, name));
}

bool SettingsStore::Flush() {
  settings_->sync();
  return settings_->status() == QSettings::NoError;
}

void EnsureInstallKeys(SettingsStore& store, std::string_view displayVersion) {
  store.CreateKey(kProductKey);
  if (!store.ReadString(kUninstallKey, "DisplayVersion"))
    store.WriteString(kUninstallKey, "DisplayVersion", displayVersion);
  store.Flush();
}

}  // namespace platform
