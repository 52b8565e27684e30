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
