#include <cstdlib>
#include <filesystem>
#include <fstream>

#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "app/Environment.h"
#include "platform/Settings.h"
#include "platform/Trace.h"

namespace {

namespace fs = std::filesystem;

// A private install folder and user data folder for one test.
class EnvironmentTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Save("VX27_INSTALL_DIR");
    Save("XDG_DATA_HOME");
    setenv("VX27_INSTALL_DIR", install.path().toUtf8().constData(), 1);
    setenv("XDG_DATA_HOME", (root.path() + "/data").toUtf8().constData(), 1);
    fs::create_directories(install.path().toStdString() + "/DefaultData");
  }
  void TearDown() override {
    for (auto& [name, value] : saved_) {
      if (value) setenv(name.c_str(), value->c_str(), 1);
      else unsetenv(name.c_str());
    }
  }
  void Save(const char* name) {
    const char* v = std::getenv(name);
    saved_.emplace_back(name, v ? std::optional<std::string>(v) : std::nullopt);
  }
  void WriteLanguages(const std::string& json) {
    std::ofstream(install.path().toStdString() + "/DefaultData/Language.config") << json;
  }
  std::string StoreFile() const { return (root.path() + "/registry.ini").toStdString(); }

  QTemporaryDir install, root;
  std::vector<std::pair<std::string, std::optional<std::string>>> saved_;
};

constexpr const char* kThreeLanguages = R"({"Language":[
  {"Language_ID":2052,"Language_name":"cn","Language_file":"lan_cn.xml","Language_text":"lang_cn"},
  {"Language_ID":520,"Language_name":"en","Language_file":"lan_en.xml","Language_text":"lang_en"},
  {"Language_ID":1028,"Language_name":"tw","Language_file":"lan_tw.xml","Language_text":"lang_tw"}]})";

TEST_F(EnvironmentTest, LanguageIndexFollowsTheStoredIdWith520AsDefault) {
  WriteLanguages(kThreeLanguages);
  platform::SettingsStore store(StoreFile());
  EXPECT_EQ(app::ReadLanguageIndex(store), 0) << "no settings key: index 0";

  store.CreateKey(platform::kProductKey);
  EXPECT_EQ(app::ReadLanguageIndex(store), 1) << "no LANGUAGE value reads as 520";

  std::vector<std::string> traced;
  platform::ScopedTraceSink sink([&](std::string_view l) { traced.emplace_back(l); });
  app::WriteLanguageId(store, 1028);
  ASSERT_FALSE(traced.empty());
  EXPECT_EQ(traced.front(), "写成功！");
  EXPECT_EQ(app::ReadLanguageIndex(store), 2);

  app::WriteLanguageId(store, 9999);
  EXPECT_EQ(app::ReadLanguageIndex(store), 0) << "an id no element has";

  WriteLanguages(R"({"Language":[{"Language_ID":2052}]})");
  store.DeleteValue(platform::kProductKey, "LANGUAGE");
  EXPECT_EQ(app::ReadLanguageIndex(store), 0) << "no element with 520";
  WriteLanguages("{ not json");
  EXPECT_EQ(app::ReadLanguageIndex(store), 0);
}

TEST_F(EnvironmentTest, WriteLanguageIdNeverCreatesTheSettingsKey) {
  platform::SettingsStore store(StoreFile());
  app::WriteLanguageId(store, 520);
  EXPECT_FALSE(store.KeyExists(platform::kProductKey));
}

TEST_F(EnvironmentTest, UserDataFolderIsCreatedAndTheDefaultDataFolderIsOnlyRead) {
  WriteLanguages(kThreeLanguages);
  const fs::path data = root.path().toStdString() + "/data/VX27 MOUSE/";
  ASSERT_FALSE(fs::exists(data));
  EXPECT_EQ(app::GetUserDataFolder(), data);
  EXPECT_TRUE(fs::is_directory(data));
  fs::remove_all(data);
  EXPECT_EQ(app::GetUserDataFolder(), data) << "created again on every call when missing";
  EXPECT_TRUE(fs::is_directory(data));

  const fs::path defaults = app::GetDefaultDataFolder();
  EXPECT_EQ(defaults, fs::path(install.path().toStdString() + "/DefaultData/"));
  const auto before = fs::last_write_time(defaults / "Language.config");
  platform::SettingsStore store(StoreFile());
  store.CreateKey(platform::kProductKey);
  (void)app::ReadLanguageIndex(store);
  (void)app::ReadLanguageList();
  EXPECT_EQ(fs::last_write_time(defaults / "Language.config"), before);
  size_t files = 0;
  for ([[maybe_unused]] auto& e : fs::directory_iterator(defaults)) ++files;
  EXPECT_EQ(files, 1u);
}

TEST(Version, TextBecomesADecimalNumberWithoutDots) {
  const std::pair<const char*, int> cases[] = {
      {"2.0.10", 2010}, {"1.2.6", 126}, {"10", 10}, {"", 0}, {"beta", 0}, {"3.1-rc2", 31},
  };
  for (auto [text, want] : cases) EXPECT_EQ(app::VersionTextToNumber(text), want) << text;
  QTemporaryDir dir;
  platform::SettingsStore store((dir.path() + "/r.ini").toStdString());
  EXPECT_EQ(app::GetInstalledVersion(store), 0);
  platform::EnsureInstallKeys(store, "2.0.10");
  EXPECT_EQ(app::GetInstalledVersion(store), 2010);
}

TEST(LanguageFonts, OnlyTheSpecialScriptsRebuildTheFontTable) {
  struct Case {
    int current, next;
    bool rebuild;
  } cases[] = {
      {-1, 1, true},   // first application
      {1, 3, false},   // Arial to Arial: texts change, fonts stay
      {3, 0, true},    {0, 1, true}, {1, 2, true}, {2, 4, true},
      {4, 15, true},   {15, 5, true}, {5, 14, false},
  };
  for (const Case& c : cases)
    EXPECT_EQ(app::LanguageNeedsFontRebuild(c.current, c.next), c.rebuild) << c.current << "->" << c.next;
  EXPECT_EQ(app::LanguageFontFace(1), "Arial");
  EXPECT_EQ(app::LanguageFontFace(3), "Arial");
  EXPECT_EQ(app::LanguageFontFace(15), "Noto Sans Thai");
}

TEST(ProgramMessages, IdentityAndToolMessagesAreDistinctRegisteredNumbers) {
  const app::ProgramMessages m = app::RegisterProgramMessages();
  const platform::MessageId all[] = {m.identity, m.toolBF15, m.toolBF16, m.toolBF17, m.toolBF18, m.toolBE19};
  for (size_t i = 0; i < std::size(all); ++i) {
    EXPECT_GE(all[i], platform::kFirstRegisteredMessage);
    for (size_t j = 0; j < i; ++j) EXPECT_NE(all[i], all[j]);
  }
  EXPECT_EQ(platform::RegisteredMessageName(m.identity), "VX27 MOUSE");
  EXPECT_EQ(platform::RegisteredMessageName(m.toolBE19), "{4695579F-999A-41d4-9FAF-EFFCE93EBE19}");
}

TEST(PrivateFonts, LoadsTheInstalledStandInsAndSkipsMissingFiles) {
  QTemporaryDir dir;
  const fs::path fonts = dir.path().toStdString();
  const fs::path bin = std::getenv("VX27_INSTALL_DIR");
  fs::copy_file(bin / "Font/arial.ttf", fonts / "arial.ttf");
  std::ofstream(fonts / "Korventa-Regular.otf") << "not a font";
  {
    app::PrivateFonts loaded(fonts);
    const auto& ids = loaded.Ids();
    EXPECT_EQ(ids[0], -1);  // missing
    EXPECT_EQ(ids[1], -1);  // unreadable as a font
    EXPECT_GE(ids[4], 0);
    EXPECT_EQ(loaded.Families(), std::vector<std::string>{"Liberation Sans"});
  }
}

}  // namespace
