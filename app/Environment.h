#pragma once
// The program's environment: its identity, its folders, the language list and
// the chosen language, the installed version, the registered messages and the
// private fonts.

#include <array>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/Messages.h"
#include "platform/Settings.h"

namespace app {

// Used verbatim as the instance lock's name, the identity message's name, the
// main window's title and the tray tool tip.
inline constexpr const char* kProductIdentity = "VX27 MOUSE";

// Folders, each ending in '/'. The default data folder is only ever read; the
// user data folder is created whenever it is missing.
// The install folder is the folder of the executable's real path, links
// resolved (started as /usr/bin/vx27mouse it is /usr/lib/vx27-mouse/), unless
// VX27_INSTALL_DIR names another one (tests).
std::filesystem::path GetInstallFolder();
std::filesystem::path GetSkinFolder();
std::filesystem::path GetFontFolder();
std::filesystem::path GetDefaultDataFolder();
std::filesystem::path GetUserDataFolder();
std::filesystem::path GetUpdateFolder();
std::filesystem::path GetTempUpdateFolder();  // created when missing

// One element of "Language.config"; its position is the language index.
struct LanguageEntry {
  int id = 0;             // "Language_ID", the value kept in the settings store
  std::string name;       // "Language_name"
  std::string file;       // "Language_file"
  std::string text;       // "Language_text"
};
std::vector<LanguageEntry> ReadLanguageList();

inline constexpr int kDefaultLanguageId = 520;

// The index of the stored language (520 when nothing is stored); 0 when the
// settings key is missing, the list does not parse or nothing matches.
int ReadLanguageIndex(const platform::SettingsStore& store);
// Stores the language id when the settings key exists (it is never created
// here); traces "写成功！" on success.
void WriteLanguageId(platform::SettingsStore& store, int id);

// "DisplayVersion" with every '.' removed, as a decimal number (2.0.10 → 2010);
// 0 when missing or not a number.
int GetInstalledVersion(const platform::SettingsStore& store);
int VersionTextToNumber(std::string_view text);

// Fonts per language: index 0 uses the Simplified Chinese face, 2 the
// Traditional Chinese face, 15 the Thai face, every other index Arial.
std::string LanguageFontFace(int index);
// Whether switching from `current` to `next` rebuilds the font table.
bool LanguageNeedsFontRebuild(int current, int next);

struct FontDesc {
  int id;
  int size;
  bool bold;
  bool underline;
};
// The shared fonts of the main window's font table, rebuilt on a language
// change; the default font is 12 plain.
inline constexpr std::array<FontDesc, 13> kLanguageFonts{{
    {0, 15, false, false}, {1, 14, false, true}, {2, 18, false, false}, {3, 30, false, false},
    {4, 16, false, false}, {5, 20, false, false}, {6, 22, false, false}, {7, 14, false, false},
    {8, 12, false, false}, {9, 11, false, false}, {10, 10, false, false}, {11, 28, false, false},
    {50, 18, true, false},
}};
inline constexpr int kDefaultFontSize = 12;

// Registered messages of the program.
struct ProgramMessages {
  platform::MessageId identity = 0;  // "VX27 MOUSE"
  platform::MessageId toolBF15 = 0, toolBF16 = 0, toolBF17 = 0, toolBF18 = 0, toolBE19 = 0;
};
platform::MessageId RegisterIdentityMessage();
// The identity message and the five GUID-named tool messages.
ProgramMessages RegisterProgramMessages();

// The five private fonts, loaded from the font folder in order and removed in
// the reverse order when the object goes. A missing or unreadable file is
// skipped. Needs the Qt GUI application object.
class PrivateFonts {
 public:
  static constexpr std::array<const char*, 5> kFiles{
      "Simplified_Chinese.ttf", "Korventa-Regular.otf", "NotoSansThai-Regular.ttf",
      "NotoSansCJKtc-Regular.otf", "arial.ttf"};

  explicit PrivateFonts(const std::filesystem::path& fontFolder);
  ~PrivateFonts();
  PrivateFonts(const PrivateFonts&) = delete;
  PrivateFonts& operator=(const PrivateFonts&) = delete;

  // The application font id of each file, -1 for a skipped one.
  const std::array<int, 5>& Ids() const { return ids_; }
  std::vector<std::string> Families() const;

 private:
  std::array<int, 5> ids_{-1, -1, -1, -1, -1};
};

}  // namespace app
