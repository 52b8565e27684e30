#pragma once
// The settings store that stands in for the per-user registry: keys are paths
// such as "SOFTWARE/VX27 MOUSE", values are named integers or strings. It lives
// in an INI file under $XDG_CONFIG_HOME/VX27 MOUSE/. Reads of a missing key or
// value fail by result; nothing throws.

#include <memory>
#include <optional>
#include <string>
#include <string_view>

class QSettings;

namespace platform {

class SettingsStore {
 public:
  // The user's store; `file` overrides the location (tests).
  explicit SettingsStore(std::string_view file = {});
  ~SettingsStore();
  SettingsStore(const SettingsStore&) = delete;
  SettingsStore& operator=(const SettingsStore&) = delete;

  static std::string DefaultFile();

  bool KeyExists(std::string_view key) const;
  void CreateKey(std::string_view key);
  std::optional<int64_t> ReadInt(std::string_view key, std::string_view name) const;
  std::optional<std::string> ReadString(std::string_view key, std::string_view name) const;
  void WriteInt(std::string_view key, std::string_view name, int64_t value);
  void WriteString(std::string_view key, std::string_view name, std::string_view value);
  void DeleteValue(std::string_view key, std::string_view name);
  // Writes pending changes to disk.
  bool Flush();

 private:
  std::unique_ptr<QSettings> settings_;
};

// Registry keys the program uses.
inline constexpr std::string_view kProductKey = "SOFTWARE/VX27 MOUSE";
inline constexpr std::string_view kUninstallKey =
    "SOFTWARE/Microsoft/Windows/CurrentVersion/Uninstall/VX27 MOUSE";

// The first start creates the product key and the uninstall key's
// DisplayVersion, as an installer would.
void EnsureInstallKeys(SettingsStore& store, std::string_view displayVersion);

}  // namespace platform
