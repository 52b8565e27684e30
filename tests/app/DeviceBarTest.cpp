// The device bar end to end: the real main window (offscreen) over the
// device emulator, devices plugged and unplugged by the test, the wireless
// device behind a receiver switched on and off, and the power panel; all
// waits are bounded.

#include <QElapsedTimer>
#include <QDir>
#include <gtest/gtest.h>

#include "app/MainWnd.h"
#include "emulator/firmware/Power.h"
#include "tests/app/MainWndFixture.h"
#include "ui/UIScreenshot.h"
#include "ui/UISlider.h"

namespace {

using app::PageKind;
using apptest::TraceLines;
namespace fw = emulator::firmware;

class DeviceBarTest : public apptest::MainWndFixture {
 protected:
  static int CurrentTab(app::CMainWnd& main, const char* name) {
    auto* tabs = qobject_cast<ui::CTabLayoutUI*>(main.FindControl(QString::fromLatin1(name)));
    return tabs ? tabs->GetCurSel() : -2;
  }
  static int PageIndexOf(app::CMainWnd& main, PageKind kind) {
    auto* tabs = qobject_cast<ui::CTabLayoutUI*>(main.FindControl(QStringLiteral("device_switch")));
    return tabs->GetItemIndex(main.Devices(kind).front());
  }
  static app::CMpDevicePowerUI* PanelOfKind(app::CMainWnd& main, int kind) {
    for (const auto& p : main.PowerPanels())
      if (p && p->Kind() == kind) return p;
    return nullptr;
  }
  void Unplug(emulator::Emulator& emu, const char* name) { ASSERT_TRUE(emu.Unplug(Unit(name).device->Id())); }
  void Plug(emulator::Emulator& emu, const char* name) { ASSERT_TRUE(emu.Plug(Unit(name).device->Id())); }
};

TEST_F(DeviceBarTest, ACableTakesOverFromTheReceiverOnTheSamePageAndGivesItBack) {
  TraceLines traces;
  auto emu = Emulate("mouse:receiver,mouse");
  Unplug(*emu, "mouse");
  auto main = Open(emu);
  auto* mouse = main->Devices(PageKind::Mouse).front().data();
  app::CDeviceOptionUI* entry = EntryFor(*main, PageKind::Mouse);
  protocol::CCommandChannel& channel = mouse->CommandChannel();

  ASSERT_TRUE(apptest::WaitFor([&] { return entry->IsVisible(); }, 4000)) << "the receiver's mouse answers";
  EXPECT_TRUE(channel.ReceiverMode());
  EXPECT_EQ(main->SelectedDevice(), mouse);
  EXPECT_EQ(CurrentTab(*main, "device_switch"), PageIndexOf(*main, PageKind::Mouse));

  Plug(*emu, "mouse");
  ASSERT_TRUE(apptest::WaitFor([&] { return channel.IsOpen() && !channel.ReceiverMode(); }, 3000));
  EXPECT_EQ(main->Devices(PageKind::Mouse).size(), 1u) << "no second page";
  EXPECT_EQ(main->Entries().size(), 2u) << "no second entry";
  EXPECT_EQ(main->CountVisibleEntries(), 1);
  EXPECT_TRUE(entry->IsVisible());
  EXPECT_EQ(main->SelectedDevice(), mouse);

  Unplug(*emu, "mouse");
  ASSERT_TRUE(apptest::WaitFor([&] { return channel.IsOpen() && channel.ReceiverMode(); }, 3000));
  EXPECT_EQ(traces.Count("获取2"), 1) << "the link was asked once the receiver took over";
  EXPECT_EQ(traces.Count("获取2.4G模式失败"), 0);
  EXPECT_EQ(main->CountVisibleEntries(), 1);
  EXPECT_EQ(main->SelectedDevice(), mouse);
  // The status poll after the switch marks the panel wireless.
  ui::CControlUI* logo = PanelOfKind(*main, hid::kind::kMouseCable)->FindSubControl(QStringLiteral("device_wuxian_logo"));
  EXPECT_TRUE(apptest::WaitFor([&] { return logo->IsVisible(); }, 1000));
}

TEST_F(DeviceBarTest, AReceiverShowsItsMouseOnlyWhileTheMouseAnswers) {
  TraceLines traces;
  auto emu = Emulate("mouse:receiver:off");
  auto main = Open(emu);
  auto* mouse = main->Devices(PageKind::Mouse).front().data();
  app::CDeviceOptionUI* entry = EntryFor(*main, PageKind::Mouse);

  // The first load asks the link 500 ms after the receiver arrived.
  ASSERT_TRUE(apptest::WaitFor([&] { return entry->LinkFailures() >= 1; }, 3000));
  EXPECT_TRUE(mouse->CommandChannel().IsOpen());
  EXPECT_FALSE(entry->IsVisible());
  EXPECT_TRUE(Overlay(*main));

  ASSERT_TRUE(fw::SetWireless(*Unit("mouse:receiver:off").device, true));
  // The first load tries again 5 s after a failure.
  ASSERT_TRUE(apptest::WaitFor([&] { return entry->IsVisible(); }, 7000));
  EXPECT_FALSE(Overlay(*main));
  EXPECT_EQ(main->SelectedDevice(), mouse);
  EXPECT_EQ(entry->LinkFailures(), 0);

  ASSERT_TRUE(fw::SetWireless(*Unit("mouse:receiver:off").device, false));
  QElapsedTimer clock;
  clock.start();
  // The link watch runs every 3 s (the first 2 s after the load).
  ASSERT_TRUE(apptest::WaitFor([&] { return !entry->IsVisible(); }, 4000));
  EXPECT_GE(traces.Count("2.4gcesvdfherhue"), 1);
  EXPECT_TRUE(Overlay(*main));
  EXPECT_EQ(main->SelectedDevice(), nullptr);
  EXPECT_TRUE(mouse->CommandChannel().IsOpen()) << "the receiver stays attached";
}

TEST_F(DeviceBarTest, RemovingTheOnlyDeviceShowsTheOverlayAndSelectsTheFirstPageAndPowerTab) {
  auto emu = Emulate("pad");
  auto main = Open(emu);
  ASSERT_TRUE(apptest::WaitFor([&] { return EntryShown(*main, PageKind::MousePad); }, 3000));
  const int padPage = PageIndexOf(*main, PageKind::MousePad);
  ASSERT_GT(padPage, 0) << "the pad's page comes after the mouse and keyboard pages";
  EXPECT_EQ(CurrentTab(*main, "device_switch"), padPage);
  EXPECT_EQ(CurrentTab(*main, "device_power_switch"), EntryFor(*main, PageKind::MousePad)->PowerIndex());
  EXPECT_FALSE(Overlay(*main));

  Unplug(*emu, "pad");
  ASSERT_TRUE(apptest::WaitFor([&] { return !EntryShown(*main, PageKind::MousePad); }, 3000));
  EXPECT_TRUE(Overlay(*main));
  EXPECT_EQ(CurrentTab(*main, "device_switch"), 0);
  EXPECT_EQ(CurrentTab(*main, "device_power_switch"), 0);
  EXPECT_EQ(main->SelectedDevice(), nullptr);
}

TEST_F(DeviceBarTest, UnpluggingOneOfTwoSynchronisedDevicesClearsBothSynchroChecks) {
  auto emu = Emulate("mouse,keyboard");
  auto main = Open(emu);
  ASSERT_TRUE(apptest::WaitFor([&] { return main->CountVisibleEntries() == 2; }, 3000));
  app::CDeviceOptionUI* mouse = EntryFor(*main, PageKind::Mouse);
  app::CDeviceOptionUI* keyboard = EntryFor(*main, PageKind::Keyboard);
  for (app::CDeviceOptionUI* e : {mouse, keyboard}) e->SetSynchroShown(true);
  main->PaintManager().UpdateLayout();
  for (app::CDeviceOptionUI* e : {mouse, keyboard}) apptest::Click(e->SynchroOption());  // as a user ticks it
  ASSERT_TRUE(mouse->IsSynchroSelected());
  ASSERT_TRUE(keyboard->IsSynchroSelected());
  EXPECT_EQ(mouse->SelectOption()->GetNormalImage(), "common/device_ico/ms_device_synchro_normal.png");
  EXPECT_EQ(keyboard->SelectOption()->GetSelectedImage(), "common/device_ico/kb_device_synchro_selected.png");

  Unplug(*emu, "keyboard");
  ASSERT_TRUE(apptest::WaitFor([&] { return !keyboard->IsVisible(); }, 3000));
  EXPECT_FALSE(mouse->IsSynchroSelected());
  EXPECT_FALSE(keyboard->IsSynchroSelected());
  EXPECT_EQ(mouse->SelectOption()->GetNormalImage(), "common/device_ico/ms_device_normal.png");
  EXPECT_EQ(main->SelectedDevice(), main->Devices(PageKind::Mouse).front());
}

TEST_F(DeviceBarTest, TheStatusPollShowsBatteryAbove100AsFullWithAnEmptyProgress) {
  auto emu = Emulate("mouse");
  ASSERT_TRUE(fw::SetBattery(*Unit("mouse").firmware, 150, 1));
  auto main = Open(emu);
  ASSERT_TRUE(apptest::WaitFor([&] { return EntryShown(*main, PageKind::Mouse); }, 3000));
  app::CMpDevicePowerUI* panel = PanelOfKind(*main, hid::kind::kMouseCable);
  ui::CControlUI* value = panel->FindSubControl(QStringLiteral("device_power_value"));
  ASSERT_TRUE(apptest::WaitFor([&] { return value->GetText() == "100%"; }, 2000)) << value->GetText().toStdString();
  auto* progress = qobject_cast<ui::CProgressUI*>(panel->FindSubControl(QStringLiteral("device_Power_progress")));
  EXPECT_EQ(progress->GetValue(), 0);
  EXPECT_TRUE(panel->FindSubControl(QStringLiteral("device_power_status"))->GetBkImage().contains("file='power/powering.png'"));
  EXPECT_FALSE(panel->FindSubControl(QStringLiteral("device_wuxian_logo"))->IsVisible()) << "by cable";
  EXPECT_TRUE(panel->FindSubControl(QStringLiteral("device_power_Layout"))->IsVisible()) << "the mouse has a battery";
}

TEST_F(DeviceBarTest, EachChargeStateAndPhoneTypeShowsItsImage) {
  auto emu = Emulate("pad");
  auto main = Open(emu);
  ASSERT_TRUE(apptest::WaitFor([&] { return EntryShown(*main, PageKind::MousePad); }, 3000));
  app::CMpDevicePowerUI* panel = PanelOfKind(*main, hid::kind::kMousePad);
  ASSERT_TRUE(panel);
  ui::CControlUI* status = panel->FindSubControl(QStringLiteral("device_power_status"));
  ui::CControlUI* phone = panel->FindSubControl(QStringLiteral("device_phone_type"));
  ui::CControlUI* value = panel->FindSubControl(QStringLiteral("device_power_value"));

  struct Case {
    std::vector<uint8_t> report;
    const char* value;
    const char* status;  // the file the charge icon shows
    const char* phoneText;
    const char* phoneFile;
  };
  const Case cases[] = {
      {{85, 0, 0, 0, 0, 1}, "85%", "power/powered.png", "Phone_type_iphone", "power/Phone_type_iphone.png"},
      {{40, 1, 0, 0, 0, 2}, "40%", "power/powering.png", "Phone_type_samsung", "power/Phone_type_samsung.png"},
      {{5, 2, 0, 0, 0, 3}, "5%", "power/power.png", "Phone_type_other", "power/Phone_type_other.png"},
      // An unknown charge state leaves the icon; an unknown phone is none.
      {{0, 9, 0, 0, 0, 4}, "0%", "power/power.png", "Phone_type_no_device", "power/Phone_type_no_device.png"},
      // Short input is zero-padded: powered, no phone.
      {{255, 0}, "100%", "power/powered.png", "Phone_type_no_device", "power/Phone_type_no_device.png"},
  };
  for (const Case& c : cases) {
    panel->UpdatePower(c.report);
    EXPECT_EQ(value->GetText().toStdString(), c.value);
    EXPECT_TRUE(status->GetBkImage().contains(QStringLiteral("file='%1'").arg(c.status)))
        << status->GetBkImage().toStdString();
    EXPECT_EQ(phone->GetRawText().toStdString(), c.phoneText);
    EXPECT_TRUE(phone->GetBkImage().contains(QStringLiteral("file='%1'").arg(c.phoneFile)))
        << phone->GetBkImage().toStdString();
    EXPECT_TRUE(phone->GetBkImage().contains("dest=")) << "the layout's placement stays";
  }
  // A long report is cut to 64 bytes.
  std::vector<uint8_t> longReport(100, 0);
  longReport[0] = 70;
  panel->UpdatePower(longReport);
  EXPECT_EQ(value->GetText(), "70%");
}

TEST_F(DeviceBarTest, MessagesFromDevicesShowAndHideEntriesAndTheLayoutError) {
  auto emu = Emulate("mouse,keyboard");
  auto main = Open(emu);
  ASSERT_TRUE(apptest::WaitFor([&] { return main->CountVisibleEntries() == 2; }, 3000));
  ui::CControlUI* error = main->FindControl(QStringLiteral("Error_device_Link"));
  // The mouse reports its information block usable once it has read it.
  ASSERT_TRUE(apptest::WaitFor([&] { return app::g_bDeviceUsable.load() == 1; }, 5000));
  struct Case {
    platform::MessageId id;
    uint64_t wParam;
    int64_t lParam;
    int visible;
    bool keyboardShown;
    bool errorShown;
    int usable;
  };
  const Case cases[] = {
      {platform::msg::kLinkState, 1, 0, 1, false, false, 1},         // keyboard offline
      {platform::msg::kLinkState, 1, 1, 2, true, false, 1},          // and back online
      {platform::msg::kInfoBlockUsable, 0, 0, 2, true, true, 0},     // a layout refused
      {platform::msg::kInfoBlockUsable, 1, 0, 2, true, false, 1},    // accepted
      {platform::msg::kLinkState, 7, 0, 2, true, false, 1},          // no such entry
  };
  for (const Case& c : cases) {
    main->SendMessage(c.id, c.wParam, c.lParam);
    EXPECT_EQ(main->CountVisibleEntries(), c.visible) << c.id << " " << c.wParam;
    EXPECT_EQ(EntryShown(*main, PageKind::Keyboard), c.keyboardShown) << c.id << " " << c.wParam;
    EXPECT_EQ(error->IsVisible(), c.errorShown) << c.id << " " << c.wParam;
    EXPECT_EQ(app::g_bDeviceUsable.load(), c.usable) << c.id << " " << c.wParam;
  }
}

// Pictures for people to look at: the bar with each device selected, the
// synchro checks shown and the mouse on battery, at 96 and 144 DPI.
TEST_F(DeviceBarTest, ScreenshotsOfTheBarWithEachDeviceSelected) {
  auto emu = Emulate("mouse:receiver,keyboard,pad,headset");
  ASSERT_TRUE(fw::SetBattery(*Unit("mouse:receiver").firmware, 85, 2));
  auto main = Open(emu);
  ASSERT_TRUE(apptest::WaitFor([&] { return main->CountVisibleEntries() == 4; }, 5000));
  const PageKind kinds[] = {PageKind::Mouse, PageKind::Keyboard, PageKind::MousePad, PageKind::Headset};
  const char* names[] = {"mouse", "keyboard", "pad", "headset"};
  for (PageKind k : kinds) EntryFor(*main, k)->SetSynchroShown(true);
  main->PaintManager().UpdateLayout();
  apptest::Click(EntryFor(*main, PageKind::Keyboard)->SynchroOption());
  apptest::Click(EntryFor(*main, PageKind::MousePad)->SynchroOption());
  ui::CControlUI* bar = main->FindControl(QStringLiteral("device_bar"));
  ASSERT_TRUE(bar);
  // In a fresh build no other test may have made the pictures' folder yet.
  ASSERT_TRUE(QDir().mkpath(ui::ScreensFolder()));
  for (const auto& [monitor, dpi] : {std::pair{QSize(1366, 768), 96}, std::pair{QSize(1920, 1080), 144}}) {
    main->SetMonitorSizeSource([monitor] { return monitor; });
    main->ApplyDpiPolicy();
    for (int k = 0; k < 4; ++k) {
      // Selected as the bar's previous and next buttons do it: with a prompt
      // status poll.
      main->ShowEntry(EntryFor(*main, kinds[k]), true, true);
      ASSERT_EQ(main->SelectedDevice(), main->Devices(kinds[k]).front());
      apptest::WaitFor([] { return false; }, 150);  // the status poll of the mouse
      main->PaintManager().UpdateLayout();
      // The bar as it shows in the window, over the window's background.
      const QString path = QStringLiteral("%1/app_bar_%2_%3.png").arg(ui::ScreensFolder(), QLatin1String(names[k])).arg(dpi);
      EXPECT_TRUE(main->GetHWND()->grab(bar->GetPos()).save(path, "PNG")) << path.toStdString();
    }
  }
}

}  // namespace
