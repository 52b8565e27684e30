// The device bar entry's icons by kind and role, and its link failure count.

#include <gtest/gtest.h>

#include "controls/CDeviceOptionUI.h"

namespace {

TEST(DeviceOptionTest, IconsFollowKindAndRole) {
  struct Case {
    int kind, role;
    bool known;
    const char* normal;
    const char* synchroSelected;
    const char* text;
  };
  const Case cases[] = {
      {1, 0, true, "common/device_ico/kb_device_normal.png", "common/device_ico/kb_device_synchro_selected.png", "kb_device_name_text"},
      {2, 0, true, "common/device_ico/ms_device_normal.png", "common/device_ico/ms_device_synchro_selected.png", "ms_device_name_text"},
      {3, 0, true, "common/device_ico/hard_mp_device_normal.png", "common/device_ico/hard_mp_device_synchro_selected.png", "hard_mp_device_name_text"},
      {3, 1, true, "common/device_ico/soft_mp_device_normal.png", "common/device_ico/soft_mp_device_synchro_selected.png", "soft_mp_device_name_text"},
      {3, 2, false, "", "", ""},
      {4, 0, true, "common/device_ico/hd_device_normal.png", "common/device_ico/hd_device_synchro_selected.png", "hd_device_name_text"},
      {7, 0, true, "common/device_ico/hd_device_normal.png", "common/device_ico/hd_device_synchro_selected.png", "hd_device_name_text"},
      {5, 0, true, "common/device_ico/hub_device_normal.png", "common/device_ico/hub_device_synchro_selected.png", "hub_device_name_text"},
      {6, 0, true, "common/device_ico/unknow_device_normal.png", "common/device_ico/unknow_device_synchro_selected.png", "unknow_device_name_text"},
  };
  for (const Case& c : cases) {
    const controls::EntryIcons icons = controls::IconsForKind(c.kind, c.role);
    EXPECT_EQ(icons.known, c.known) << c.kind << "/" << c.role;
    if (!c.known) continue;
    EXPECT_EQ(icons.set.normal.toStdString(), c.normal);
    EXPECT_EQ(icons.set.synchroSelected.toStdString(), c.synchroSelected);
    EXPECT_EQ(icons.set.text.toStdString(), c.text);
  }
}

TEST(DeviceOptionTest, AKindWithAnUnknownRoleKeepsTheIconsItHad) {
  controls::CDeviceOptionUI entry;
  entry.SetKind(2, 0);
  entry.SetKind(3, 5);
  EXPECT_EQ(entry.Icons().normal.toStdString(), "common/device_ico/ms_device_normal.png");
  EXPECT_EQ(entry.Kind(), 3);
}

TEST(DeviceOptionTest, TheLinkFailureCountWrapsAfter19) {
  controls::CDeviceOptionUI entry;
  for (int i = 0; i < 19; ++i) entry.CountLinkFailure();
  EXPECT_EQ(entry.LinkFailures(), 19);
  entry.CountLinkFailure();
  EXPECT_EQ(entry.LinkFailures(), 0);
}

}  // namespace
