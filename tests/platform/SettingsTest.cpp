#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "platform/Paths.h"
#include "platform/Settings.h"

namespace {

TEST(SettingsStore, ValuesPersistAcrossStoresAndMissingValuesReadAsNothing) {
  QTemporaryDir dir;
  const std::string file = dir.filePath("registry.ini").toStdString();
  {
    platform::SettingsStore store(file);
    EXPECT_FALSE(store.KeyExists(platform::kProductKey));
    EXPECT_FALSE(store.ReadInt(platform::kProductKey, "LANGUAGE").has_value());
    platform::EnsureInstallKeys(store, "2.0.10");
    store.WriteInt(platform::kProductKey, "LANGUAGE", 520);
    ASSERT_TRUE(store.Flush());
  }
  platform::SettingsStore again(file);
  EXPECT_TRUE(again.KeyExists(platform::kProductKey));
  EXPECT_EQ(again.ReadInt(platform::kProductKey, "LANGUAGE"), 520);
  EXPECT_EQ(again.ReadString(platform::kUninstallKey, "DisplayVersion"), "2.0.10");
  EXPECT_FALSE(again.ReadInt(platform::kUninstallKey, "DisplayVersion").has_value())
      << "a text value is not an integer";
  // An existing version is never overwritten by a later start.
  platform::EnsureInstallKeys(again, "9.9.9");
  EXPECT_EQ(again.ReadString(platform::kUninstallKey, "DisplayVersion"), "2.0.10");
}

TEST(SettingsStore, KeysMatchWholePathsFromTheStart) {
  QTemporaryDir dir;
  platform::SettingsStore store(dir.filePath("registry.ini").toStdString());
  store.WriteInt("SOFTWARE/VX27 MOUSE/Devices", "LANGUAGE", 1);
  struct Case {
    const char* key;
    bool exists;
  };
  const Case cases[] = {
      {"SOFTWARE/VX27 MOUSE/Devices", true},
      {"SOFTWARE/VX27 MOUSE", true},  // a parent of an existing key
      {"SOFTWARE", true},
      {"VX27 MOUSE", false},          // inside the path, not from its start
      {"VX27 MOUSE/Devices", false},
      {"SOFTWARE/VX27", false},       // part of a name
      {"Devices", false},
      {"SOFTWARE/VX27 MOUSE/Devices/LANGUAGE", false},  // a value, not a key
  };
  for (const Case& c : cases) EXPECT_EQ(store.KeyExists(c.key), c.exists) << c.key;
}

TEST(Paths, UserDataFollowsXdgAndSystemPathsLoseTheirBackslashes) {
  QTemporaryDir dir;
  const std::string saved = getenv("XDG_DATA_HOME") ? getenv("XDG_DATA_HOME") : "";
  setenv("XDG_DATA_HOME", dir.path().toUtf8().constData(), 1);
  EXPECT_EQ(platform::UserDataRoot().string(), dir.path().toStdString() + "/VX27 MOUSE/");
  if (saved.empty()) unsetenv("XDG_DATA_HOME");
  else setenv("XDG_DATA_HOME", saved.c_str(), 1);
  EXPECT_EQ(platform::FromSystemPath("DefaultData\\MousePad\\MousePad.Json").string(),
            "DefaultData/MousePad/MousePad.Json");
  EXPECT_EQ(platform::InstallFolder().string().back(), '/');
}

}  // namespace
