// The main window's settings button and firmware check over an emulated
// mouse (release number 0x0102): the settings window lists it, the firmware
// check keeps or suspends its I/O, and a cancelled prompt ends the program.

#include <gtest/gtest.h>

#include "app/DeviceBar.h"
#include "controls/CUpdateInfoListItemUI.h"
#include "platform/Messages.h"
#include "tests/app/MainWndFixture.h"

namespace {

class MainWndSettingsTest : public apptest::MainWndFixture {};

TEST_F(MainWndSettingsTest, SetButtonListsTheMouseAndTheProgram) {
  store_.WriteString(platform::kUninstallKey, "DisplayVersion", "1.2.6");
  auto main = Open(Emulate("mouse"));
  ASSERT_TRUE(apptest::WaitFor([&] { return EntryShown(*main, app::PageKind::Mouse); }));
  std::vector<std::pair<std::string, std::string>> rows;
  QRect placed, mainRect;
  apptest::WhenWindowShows("SetWnd", [&](QWidget* w) {
    app::CSetWnd* set = main->SettingsWindow();
    ASSERT_NE(set, nullptr);
    apptest::WaitFor([&] { return set->WorkerDone() && set->RowCount() >= 1; });
    for (int i = 0; i < set->RowCount(); ++i)
      rows.emplace_back(set->Records()[size_t(i)].name, set->Row(i)->OldRev().toStdString());
    placed = w->geometry();
    mainRect = main->GetHWND()->geometry();
    apptest::Click(apptest::Control<ui::CControlUI>(w, "closebtn"));
  });
  apptest::Click(apptest::Control<ui::CControlUI>(main->GetHWND(), "setbtn"));
  ASSERT_FALSE(rows.empty());
  EXPECT_EQ(rows.front(), (std::pair<std::string, std::string>{"MS", "V0102"}));
  EXPECT_EQ(main->SettingsWindow(), nullptr) << "let go once closed";
  // 30 pixels inside the right edge, 60 below the top.
  EXPECT_EQ(placed.right(), mainRect.right() - 30);
  EXPECT_EQ(placed.top(), mainRect.top() + 60);
}

TEST_F(MainWndSettingsTest, FirmwareCheckKeepsOrSuspendsTheSelectedDevice) {
  auto main = Open(Emulate("mouse"));
  ASSERT_TRUE(apptest::WaitFor([&] { return main->SelectedDevice() != nullptr; }));
  protocol::CCommandChannel& channel = main->SelectedDevice()->CommandChannel();
  channel.SetSuppressIo(true);
  main->SendMessage(platform::msg::kFirmwareVersionCheck, 0, 294);
  EXPECT_FALSE(channel.SuppressIo());
  EXPECT_EQ(app::g_bDeviceUsable.load(), 1);

  // 293 prompts; cancelling ends the program through its teardown.
  apptest::WhenWindowShows("MsgWnd", [&](QWidget* box) { apptest::Click(apptest::Control<ui::CControlUI>(box, "cancel_btn")); });
  main->SendMessage(platform::msg::kFirmwareVersionCheck, 0, 293);
  EXPECT_EQ(app::g_bDeviceUsable.load(), 0);
  EXPECT_FALSE(channel.SuppressIo()) << "nothing suspended without a confirmation";
  EXPECT_TRUE(apptest::WaitFor([&] { return !main->IsWindow(); }));
  apptest::TakeQuitRequest();
}

}  // namespace
