// The main window's routing of its own rows, its message hook (order,
// suspend gate, window end), the window bus filter, the tool messages and the
// window's own actions.

#include <functional>

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "app/MainWnd.h"
#include "app/Routing.h"
#include "platform/WindowBus.h"
#include "protocol/CommandReport.h"
#include "tests/app/AppTestSupport.h"
#include "tests/app/MainWndFixture.h"

namespace {

using app::Match;

TEST(MainRoutes, RowsMatchByNameFamilyAndCase) {
  struct Case {
    const char* type;
    const char* name;
    bool found;
  } cases[] = {
      {"click", "closebtn", true},
      {"click", "CloseBtn", true},  // any case
      {"click", "windowdeviceset_1", true},
      {"click", "windowdeviceset_", false},  // no digits: no family member
      {"click", "profile_fun_spread_btn", true},
      {"click", "Profile_Fun_Spread_Btn", false},  // exact case only
      {"click", "device_add_btn", true},
      {"selectchanged", "Virtual7.1_Op_tab", true},
      {"selectchanged", "device_add_btn", false},
      {"itemselect", "device_profile_combo", true},
      {"click", "device_profile_combo", false},
      {"click", "no_such_control", false},
  };
  for (const Case& c : cases) {
    const app::Route* row =
        app::FindRoute(app::MainRoutes(), QString::fromLatin1(c.type), QString::fromLatin1(c.name));
    EXPECT_EQ(row != nullptr, c.found) << c.type << " " << c.name;
  }
  // The main rows are searched.
  bool listed = false;
  for (std::span<const app::Route> table : app::RouteTables()) listed |= table.data() == app::MainRoutes().data();
  EXPECT_TRUE(listed);
}

TEST(BusFilter, PeersMaySendOnlyWhatOtherProgramsSend) {
  const platform::MessageId registered = platform::RegisterWindowMessage("VX27 MOUSE");
  struct Case {
    platform::BusMessage message;
    bool accepted;
  } cases[] = {
      {platform::BusMessage::Registered("VX27 MOUSE", 0, 1), true},
      {platform::BusMessage::Numbered(platform::msg::kShowProgress, 0, 0), true},
      {platform::BusMessage::Numbered(platform::msg::kOpenSettings, 0, 0), true},
      {platform::BusMessage::Numbered(platform::msg::kFirmwareVersionCheck, 0, 7), true},
      {platform::BusMessage::Numbered(ui::wm::WM_SYSCOMMAND, ui::wm::SC_RESTORE, 0), true},
      {platform::BusMessage::CopyData(5, std::vector<uint8_t>{1, 2}), true},
      {platform::BusMessage::Numbered(platform::msg::UM_INTERFACE_ARRIVED, 0, 0), false},
      {platform::BusMessage::Numbered(platform::msg::UM_INTERFACE_REMOVED, 0, 0), false},
      {platform::BusMessage::Numbered(platform::msg::kLinkState, 0, 1), false},
      {platform::BusMessage::Numbered(platform::msg::kInfoBlockUsable, 1, 0), false},
      {platform::BusMessage::Numbered(platform::msg::kTrayCallback, 0, 514), false},
      {platform::BusMessage::Numbered(platform::msg::kCaptureHook, 1, 0), false},
      {platform::BusMessage::Numbered(platform::msg::kMenuCommand, 1, 0), false},
      {platform::BusMessage::Numbered(ui::wm::WM_DESTROY, 0, 0), false},
      {platform::BusMessage::Numbered(ui::wm::WM_TIMER, app::kProfileSwitchTimer, 0), false},
      {platform::BusMessage::Numbered(app::kPowerBroadcast, app::kPowerSuspend, 0), false},
  };
  for (const Case& c : cases) {
    platform::BusMessage m = c.message;
    if (!m.name.empty()) m.id = registered;
    EXPECT_EQ(app::CMainWnd::PeerMayPost(m), c.accepted) << m.id << " " << m.name;
  }
  // A name this process never registered arrives as number 0.
  platform::BusMessage unknown = platform::BusMessage::Registered("never registered here", 0, 0);
  unknown.id = 0;
  EXPECT_FALSE(app::CMainWnd::PeerMayPost(unknown));
}

class MessageHookTest : public apptest::MainWndFixture {
 protected:
  bool Shown(app::CMainWnd& main) { return main.GetHWND()->isVisible() && !main.GetHWND()->isMinimized(); }
};

TEST_F(MessageHookTest, SuspendIgnoresTrayAndDeviceMessagesButNotArrivals) {
  auto emu = Emulate("mouse,keyboard");
  ASSERT_TRUE(emu->Unplug(Unit("keyboard").device->Id()));
  auto main = Open(emu);
  ASSERT_TRUE(apptest::WaitFor([&] { return main->CountVisibleEntries() == 1 && Shown(*main); }, 5000));

  // The login manager's signal, as the system bus delivers it.
  ASSERT_NE(main->PowerHook(), nullptr);
  main->PowerHook()->PrepareForSleep(true);
  EXPECT_FALSE(main->SystemAwake());
  // Tray clicks and device link messages wait for the resume.
  main->SendMessage(platform::msg::kTrayCallback, app::kTrayIconId, platform::msg::kLeftButtonUp);
  main->SendMessage(platform::msg::kLinkState, 0, 0);
  EXPECT_TRUE(Shown(*main));
  EXPECT_EQ(main->CountVisibleEntries(), 1);
  // A device plugged in meanwhile still gets its page.
  ASSERT_TRUE(emu->Plug(Unit("keyboard").device->Id()));
  EXPECT_TRUE(apptest::WaitFor([&] { return EntryShown(*main, app::PageKind::Keyboard); }, 5000));
  // Light control from another program is taken while suspended.
  const platform::MessageId bf17 = app::RegisterProgramMessages().toolBF17;
  main->SendMessage(bf17, 1, 0);
  EXPECT_FALSE(main->LightControl());
  main->SendMessage(bf17, 1, 1);
  EXPECT_TRUE(main->LightControl());

  main->PowerHook()->PrepareForSleep(false);
  EXPECT_TRUE(main->SystemAwake());
  main->SendMessage(platform::msg::kTrayCallback, app::kTrayIconId, platform::msg::kLeftButtonUp);
  EXPECT_FALSE(main->GetHWND()->isVisible()) << "the tray click hides the shown window";
  main->SendMessage(platform::msg::kTrayCallback, app::kTrayIconId, platform::msg::kLeftButtonUp);
  EXPECT_TRUE(Shown(*main)) << "and shows it again";
}

// Hiding the window stops the status polls of the mouse and the keyboard (the
// pad has none); showing it or activating it starts them again. Every lit
// device is told whether the window is the active one.
TEST_F(MessageHookTest, HiddenAndActiveWindowStatesReachTheDevices) {
  auto main = Open(Emulate("mouse,keyboard,pad"));
  ASSERT_TRUE(apptest::WaitFor([&] { return main->CountVisibleEntries() == 3 && Shown(*main); }, 5000));
  devices::CGesterinUSBDevice* mouse = main->Devices(app::PageKind::Mouse).front();
  devices::CGesterinUSBDevice* keyboard = main->Devices(app::PageKind::Keyboard).front();
  devices::CGesterinUSBDevice* pad = main->Devices(app::PageKind::MousePad).front();
  // What a poll of the mouse sends, while hidden and while shown.
  auto pollsReachingTheMouse = [&] {
    const size_t before = Unit("mouse").firmware->CountRequests(protocol::cmd::kReadStatusBlock);
    mouse->PollStatus();
    return Unit("mouse").firmware->CountRequests(protocol::cmd::kReadStatusBlock) - before;
  };
  auto tray = [&] { main->SendMessage(platform::msg::kTrayCallback, app::kTrayIconId, platform::msg::kLeftButtonUp); };
  struct Step {
    const char* what;
    std::function<void()> act;
    bool hidden;
  } steps[] = {
      {"tray click hides", tray, true},
      {"tray click shows", tray, false},
      {"close button", [&] { main->CloseToTray(); }, true},
      {"activated", [&] { main->SendMessage(ui::wm::WM_ACTIVATE, 1, 0); }, false},
  };
  for (const Step& s : steps) {
    s.act();
    EXPECT_EQ(mouse->StatusPollOff(), s.hidden) << s.what;
    EXPECT_EQ(keyboard->StatusPollOff(), s.hidden) << s.what;
    EXPECT_FALSE(pad->StatusPollOff()) << s.what;
    EXPECT_EQ(pollsReachingTheMouse(), s.hidden ? 0u : 1u) << s.what;
  }
  for (bool active : {false, true}) {
    main->SendMessage(ui::wm::WM_ACTIVATE, active ? 1 : 0, 0);
    for (auto* device : {mouse, keyboard, pad}) EXPECT_EQ(device->WindowActive(), active);
  }
}

TEST_F(MessageHookTest, ToolMessagesSetLightControlOnlyWithTheirValues) {
  auto main = Open(apptest::NoDevices());
  const platform::MessageId bf17 = app::RegisterProgramMessages().toolBF17;
  struct Case {
    uint64_t w;
    int64_t l;
    bool on;
  } cases[] = {{1, 0, false}, {0, 1, false}, {1, 5, false}, {1, 1, true}, {2, 0, true}, {1, 0, false}};
  for (const Case& c : cases) {
    main->SendMessage(bf17, c.w, c.l);
    EXPECT_EQ(main->LightControl(), c.on) << c.w << " " << c.l;
  }
  // Activation sets both flags; the pointer leaving clears only its own.
  main->SendMessage(ui::wm::WM_ACTIVATE, 1, 0);
  EXPECT_TRUE(main->WindowActive() && main->MouseInside());
  main->SendMessage(ui::wm::WM_MOUSELEAVE, 0, 0);
  EXPECT_TRUE(main->WindowActive());
  EXPECT_FALSE(main->MouseInside());
  main->SendMessage(ui::wm::WM_ACTIVATE, 0, 0);
  EXPECT_FALSE(main->WindowActive());
}

TEST_F(MessageHookTest, TheLightSwitchTellsOtherProgramsAndTheKindTableGoesToZiriDude) {
  auto main = Open(apptest::NoDevices());
  const app::ProgramMessages messages = app::RegisterProgramMessages();
  std::vector<platform::BusMessage> got;
  platform::BusWindow peer("PeerClass", "ZiriDude", [&](const platform::BusMessage& m) { got.push_back(m); });
  ASSERT_TRUE(peer.Listen());

  main->ToggleLightControl();
  ASSERT_TRUE(apptest::WaitFor([&] { return !got.empty(); }));
  EXPECT_EQ(got[0].name, "{4695579F-999A-41d4-9FAF-EFFCE93EBF16}");
  EXPECT_EQ(got[0].wParam, 1u);
  EXPECT_EQ(got[0].lParam, 0);
  EXPECT_FALSE(main->LightControl());

  got.clear();
  main->SendMessage(messages.toolBF18, 0, 0);
  ASSERT_TRUE(apptest::WaitFor([&] { return !got.empty(); }));
  const platform::BusMessage& table = got[0];
  EXPECT_EQ(table.id, platform::kCopyDataMessage);
  EXPECT_EQ(table.dwData, 5u);
  ASSERT_EQ(table.bytes.size(), 1024u);
  const uint32_t expected[] = {2,      3,      0, 2, 4,      0x320F, 0x226E, 2, 0x320F, 0x0000, 1,
                               0x320F, 0x1004, 3, 0x0C76, 0x1630, 7};
  for (size_t i = 0; i < 256; ++i) {
    const uint32_t v = uint32_t(table.bytes[4 * i]) | uint32_t(table.bytes[4 * i + 1]) << 8 |
                       uint32_t(table.bytes[4 * i + 2]) << 16 | uint32_t(table.bytes[4 * i + 3]) << 24;
    EXPECT_EQ(v, i < std::size(expected) ? expected[i] : 0u) << i;
  }
}

TEST_F(MessageHookTest, PeersOnTheBusCannotAttachSlotsButMayRestoreTheWindow) {
  apptest::TraceLines trace;
  auto main = Open(apptest::NoDevices());
  ASSERT_TRUE(apptest::WaitFor([&] { return Shown(*main); }, 5000));
  for (platform::MessageId id : {platform::msg::UM_INTERFACE_ARRIVED, platform::msg::kMenuCommand})
    platform::BusWindow::SendTo("MainWnd", "VX27 MOUSE", platform::BusMessage::Numbered(id, 0, 0));
  ASSERT_TRUE(apptest::WaitFor([&] { return trace.Count("main window: bus message 1145 refused") == 1; }));
  EXPECT_EQ(trace.Count("main window: bus message 3090 refused"), 1);
  main->SendMessage(ui::wm::WM_SYSCOMMAND, ui::wm::SC_MINIMIZE, 0);
  platform::BusWindow::SendTo("MainWnd", "VX27 MOUSE",
                              platform::BusMessage::Numbered(ui::wm::WM_SYSCOMMAND, ui::wm::SC_RESTORE, 0));
  EXPECT_TRUE(apptest::WaitFor([&] { return !main->GetHWND()->isMinimized(); }));
}

TEST_F(MessageHookTest, NotifyTracesTypeAndSenderExceptForTimers) {
  auto main = Open(apptest::NoDevices());
  ASSERT_TRUE(apptest::WaitFor([&] { return main->CurrentLanguage() >= 0; }));
  apptest::TraceLines trace;
  ui::CControlUI* min = main->FindControl(QStringLiteral("minbtn"));
  ASSERT_NE(min, nullptr);
  ui::TNotifyUI timer;
  timer.sType = ui::notify::kTimer;
  timer.pSender = min;
  main->Notify(timer);
  ui::TNotifyUI hover = timer;
  hover.sType = ui::notify::kMouseEnter;
  main->Notify(hover);
  EXPECT_EQ(trace.Lines(), (std::vector<std::string>{"msenter", "minbtn"}));
}

TEST_F(MessageHookTest, DestroyStopsTheWorkersAndEndsTheLoop) {
  apptest::TraceLines trace;
  auto main = Open(apptest::NoDevices());
  ASSERT_TRUE(main->WorkerRunning(app::kDiscoverySlot));
  main->Close(0);
  EXPECT_FALSE(main->IsWindow());
  EXPECT_EQ(trace.Count("退出测试"), 1);
  EXPECT_FALSE(main->WorkerRunning(app::kDiscoverySlot));
  apptest::TakeQuitRequest();
}

TEST_F(MessageHookTest, EntriesStepToTheNeighbourAndTheDesktopSettingsStart) {
  auto main = Open(Emulate("mouse,keyboard"));
  ASSERT_TRUE(apptest::WaitFor([&] { return main->CountVisibleEntries() == 2; }, 5000));
  apptest::Click(EntryFor(*main, app::PageKind::Mouse)->SelectOption());
  ASSERT_EQ(main->SelectedDevice(), main->Devices(app::PageKind::Mouse).front());
  main->SelectNeighbourEntry(true);
  EXPECT_EQ(main->SelectedDevice(), main->Devices(app::PageKind::Keyboard).front());
  main->SelectNeighbourEntry(true);
  EXPECT_EQ(main->SelectedDevice(), main->Devices(app::PageKind::Keyboard).front()) << "none after the last";
  main->SelectNeighbourEntry(false);
  EXPECT_EQ(main->SelectedDevice(), main->Devices(app::PageKind::Mouse).front());

  // Settings programs on the path: each writes its name and arguments.
  QTemporaryDir bin;
  auto program = [&](const char* name) {
    QFile f(bin.path() + "/" + name);
    f.open(QIODevice::WriteOnly);
    f.write(QStringLiteral("#!/bin/sh\necho \"%1 $*\" >> '%2/ran'\n").arg(name, bin.path()).toUtf8());
    f.close();
    f.setPermissions(f.permissions() | QFile::ExeOwner);
  };
  apptest::ScopedEnv path("PATH", bin.path().toStdString());
  auto ran = [&] {
    QFile f(bin.path() + "/ran");
    f.open(QIODevice::ReadOnly);
    return QString::fromUtf8(f.readAll());
  };
  apptest::TraceLines trace;
  main->OpenDesktopDeviceSettings(1);
  EXPECT_EQ(trace.Count("no desktop mouse settings program found"), 1);
  program("xfce4-mouse-settings");
  program("xfce4-keyboard-settings");
  main->OpenDesktopDeviceSettings(1);
  ASSERT_TRUE(apptest::WaitFor([&] { return ran().contains(QLatin1String("\n")); }));
  EXPECT_EQ(ran(), QStringLiteral("xfce4-mouse-settings \n"));
  program("gnome-control-center");
  main->OpenDesktopDeviceSettings(0);
  ASSERT_TRUE(apptest::WaitFor([&] { return ran().count(QLatin1Char('\n')) == 2; }));
  EXPECT_EQ(ran(), QStringLiteral("xfce4-mouse-settings \ngnome-control-center keyboard\n"));
}

}  // namespace

namespace {

// vx27ctl's bus commands against the real window: a listener titled
// "ZiriDude" receives the kind table the window sends when asked by name.
TEST_F(MessageHookTest, BusCommandsReachTheWindowAndPrintWhatArrives) {
  auto main = Open(apptest::NoDevices());
  QProcess listener;
  listener.start(QStringLiteral(VX27CTL), {"bus-listen", "ZiriDude", "--count", "1", "--seconds", "10"});
  ASSERT_TRUE(listener.waitForStarted());
  ASSERT_TRUE(apptest::WaitFor([] { return platform::BusWindow::Exists({}, "ZiriDude"); }, 5000));
  QProcess sender;
  sender.start(QStringLiteral(VX27CTL), {"bus-send", "VX27 MOUSE", "{4695579F-999A-41d4-9FAF-EFFCE93EBF18}", "0", "0"});
  ASSERT_TRUE(apptest::WaitFor([&] { return sender.state() == QProcess::NotRunning; }, 5000));
  EXPECT_EQ(sender.exitCode(), 0) << sender.readAllStandardError().toStdString();
  ASSERT_TRUE(apptest::WaitFor([&] { return listener.state() == QProcess::NotRunning; }, 10000));
  const QString out = QString::fromUtf8(listener.readAllStandardOutput());
  EXPECT_TRUE(out.startsWith(QStringLiteral("copydata 5 1024 02000000030000000000000002000000040000000f3200006e220000")))
      << out.left(120).toStdString();
  EXPECT_EQ(out.count(QLatin1Char('\n')), 1);
}

}  // namespace

namespace {

// Game events: the selected device shows the effect when the way is 0..2 and
// the effect is one of its modes; anything else, or a suspended system, is
// ignored. The mouse receives each effect in its settings block, the profile
// file never holds it, and timer 1066 gives the lighting from before back.
TEST_F(MessageHookTest, GameEventsShowKnownEffectsAndTimer1066TakesThemBack) {
  auto main = Open(Emulate("mouse"));
  ASSERT_TRUE(apptest::WaitFor([&] { return main->SelectedDevice() != nullptr; }, 5000));
  devices::CGesterinUSBDevice* mouse = main->SelectedDevice();
  const platform::MessageId start = main->GameMessages()[0];
  const platform::MessageId death = main->GameMessages()[3];
  EXPECT_EQ(start, platform::RegisterWindowMessage("Game_Start"));
  auto settings = [&] { return Unit("mouse").firmware->Memory().settings; };
  auto fileText = [&] {
    const std::string path = mouse->GetProfilePath();
    QFile file(QString::fromStdString(path));
    return !path.empty() && file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
  };
  // The mouse has loaded its profile.
  ASSERT_TRUE(apptest::WaitFor([&] { return !fileText().isEmpty(); }, 5000));
  const profiles::LightInfoRecord before = mouse->LightState();
  const QByteArray fileBefore = fileText();
  ASSERT_FALSE(fileBefore.isEmpty());
  // The settings block of onboard profile 0: byte 1 mode, 2 brightness, 5 the
  // seven-colour flag.
  constexpr size_t kMode = 1, kBrightness = 2, kSevenColours = 5;

  struct Case {
    platform::MessageId id;
    uint64_t how;
    int64_t effect;
    bool asleep;
    int mode, brightness, sevenColours;  // afterwards; -1: as before the game
  } cases[] = {
      {start, 0, 3, false, 3, -1, -1},  // the mode alone
      {death, 1, 5, false, 5, 4, -1},   // at full brightness
      {start, 2, 6, false, 6, 4, 1},    // and in seven colours
      {start, 3, 1, false, 6, 4, 1},    // no such way
      {start, 1, 12, false, 6, 4, 1},   // the mouse has 12 modes
      {start, 1, -1, false, 6, 4, 1},
      {start, 0, 1, true, 6, 4, 1},     // asleep
  };
  for (const Case& c : cases) {
    if (c.asleep) main->PowerHook()->PrepareForSleep(true);
    main->SendMessage(c.id, c.how, c.effect);
    if (c.asleep) main->PowerHook()->PrepareForSleep(false);
    const int brightness = c.brightness < 0 ? before.light : c.brightness;
    const int seven = c.sevenColours < 0 ? before.multiColor : c.sevenColours;
    const profiles::LightInfoRecord now = mouse->LightState();
    EXPECT_EQ(now.selectItem, c.mode) << c.how << " " << c.effect;
    EXPECT_EQ(now.light, brightness) << c.how << " " << c.effect;
    EXPECT_EQ(now.multiColor, seven) << c.how << " " << c.effect;
    const auto block = settings();
    EXPECT_EQ(block[kMode], c.mode) << c.how << " " << c.effect;
    EXPECT_EQ(block[kBrightness], brightness) << c.how << " " << c.effect;
    EXPECT_EQ(block[kSevenColours], seven) << c.how << " " << c.effect;
  }
  EXPECT_EQ(mouse->LightState().oldLedMode, before.selectItem) << "the mode before the first event";
  EXPECT_EQ(fileText(), fileBefore) << "a game's effect is not saved";

  main->OnTimer(app::kGameLightTimer);
  profiles::LightInfoRecord back = mouse->LightState();
  back.oldLedMode = before.oldLedMode;
  EXPECT_EQ(back, before);
  const auto block = settings();
  EXPECT_EQ(block[kMode], before.selectItem);
  EXPECT_EQ(block[kBrightness], before.light);
  EXPECT_EQ(block[kSevenColours], before.multiColor);
}

}  // namespace
