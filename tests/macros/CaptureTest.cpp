// The capture hook: the window filter driven by synthetic window events, the
// system-wide source driven by a script.

#include <gtest/gtest.h>

#include <cerrno>
#include <linux/input-event-codes.h>

#include <QLineEdit>
#include <QTest>
#include <QVBoxLayout>
#include <QWidget>

#include "macros/MacroTables.h"
#include "macros/capture/DeviceHook.h"
#include "macros/capture/KeyCodes.h"
#include "platform/Messages.h"
#include "tests/support/EventLoop.h"

namespace {

using macros::capture::CDeviceHook;
using macros::capture::ScriptedSource;

struct Received {
  std::string name;
  uint32_t wParam;
  macros::KeyboardHookData key;
  macros::MouseHookData mouse;
};

// A window with a focused edit, and a target that keeps every message with
// the record it pointed to, read while the message is handled.
struct Fixture {
  QWidget window;
  QLineEdit* edit = new QLineEdit(&window);
  int editKeys = 0;
  int editClicks = 0;
  std::vector<Received> received;
  platform::MessageTarget target{[this](const platform::Message& m) -> int64_t {
    const std::string name = platform::RegisteredMessageName(m.id).value_or("?");
    Received r{name, uint32_t(m.wParam), {}, {}};
    if (name.find("MSMACRO") != std::string::npos) r.mouse = macros::DecodeMouse(macros::RecordAt(m.lParam));
    else r.key = macros::DecodeKeyboard(macros::RecordAt(m.lParam));
    received.push_back(r);
    return 0;
  }};

  class Counter : public QObject {
   public:
    explicit Counter(Fixture& f) : f_(f) {}
    bool eventFilter(QObject*, QEvent* e) override {
      if (e->type() == QEvent::KeyPress || e->type() == QEvent::KeyRelease) ++f_.editKeys;
      if (e->type() == QEvent::MouseButtonPress) ++f_.editClicks;
      return false;
    }
    Fixture& f_;
  } counter{*this};

  Fixture() {
    macros::capture::RegisterHookMessages();
    auto* layout = new QVBoxLayout(&window);
    layout->addWidget(edit);
    window.resize(200, 80);
    window.show();
    window.activateWindow();
    edit->setFocus();
    edit->installEventFilter(&counter);
    testsupport::WaitFor([this] { return window.isVisible(); });
  }
  QWindow* Handle() { return window.windowHandle(); }
};

TEST(CaptureWindowTest, KeysAreReportedAndSwallowed) {
  Fixture f;
  CDeviceHook hook;
  EXPECT_EQ(hook.Install(0, 4, &f.target, true, true), 1);
  QTest::keyClick(f.Handle(), Qt::Key_A);
  ASSERT_EQ(f.received.size(), 2u);
  EXPECT_EQ(f.received[0].name, "WM_HOOK_KEY_KBMACRO_MSG");
  EXPECT_EQ(f.received[0].wParam, 0x0100u);
  EXPECT_EQ(f.received[1].wParam, 0x0101u);
  EXPECT_EQ(f.received[0].key.scanCode, 0x1Eu);
  EXPECT_EQ(f.received[0].key.vkCode, 0x41u);
  EXPECT_FALSE(f.received[0].key.Extended());
  EXPECT_EQ(f.editKeys, 0);
  EXPECT_TRUE(f.edit->text().isEmpty());

  // The lock keys are reported and passed on.
  QTest::keyClick(f.Handle(), Qt::Key_CapsLock);
  EXPECT_EQ(f.received.size(), 4u);
  EXPECT_EQ(f.received[2].key.vkCode, 0x14u);
  EXPECT_EQ(f.editKeys, 2);

  // Off: keys reach the edit again.
  EXPECT_EQ(hook.Uninstall(), 1);
  QTest::keyClick(f.Handle(), Qt::Key_B);
  EXPECT_EQ(f.received.size(), 4u);
  EXPECT_EQ(f.edit->text(), "b");
}

TEST(CaptureWindowTest, ModeWithoutMessageStillSwallows) {
  Fixture f;
  CDeviceHook hook;
  hook.Install(0, 64, &f.target, true, true);
  QTest::keyClick(f.Handle(), Qt::Key_A);
  EXPECT_TRUE(f.received.empty());
  EXPECT_EQ(f.editKeys, 0);
}

TEST(CaptureWindowTest, SecondInstallReplacesTheFirst) {
  Fixture f;
  CDeviceHook hook;
  hook.Install(0, 4, &f.target, true, true);
  hook.Install(0, 8, &f.target, true, true);
  QTest::keyClick(f.Handle(), Qt::Key_A);
  ASSERT_EQ(f.received.size(), 2u);
  EXPECT_EQ(f.received[0].name, "WM_HOOK_KEY_KBMACROPREVIOUS_MSG");
  // Uninstall without Install, and a second Uninstall, remove nothing.
  CDeviceHook idle;
  EXPECT_EQ(idle.Uninstall(), 0);
  EXPECT_EQ(hook.Uninstall(), 1);
  EXPECT_EQ(hook.Uninstall(), 0);
}

TEST(CaptureWindowTest, ButtonsAreReportedAndPassedOn) {
  Fixture f;
  CDeviceHook hook;
  hook.Install(0, 16, &f.target, false, true);
  const QPoint at = f.edit->geometry().center();
  QTest::mousePress(f.Handle(), Qt::BackButton, {}, at);
  QTest::mouseRelease(f.Handle(), Qt::BackButton, {}, at);
  QTest::mousePress(f.Handle(), Qt::ForwardButton, {}, at);
  QTest::mousePress(f.Handle(), Qt::LeftButton, {}, at);
  ASSERT_EQ(f.received.size(), 4u);
  EXPECT_EQ(f.received[0].name, "WM_HOOK_KEY_MSMACROLATER_MSG");
  EXPECT_EQ(f.received[0].wParam, 0x020Bu);
  EXPECT_EQ(f.received[0].mouse.mouseData, 1u << 16);
  EXPECT_EQ(f.received[1].wParam, 0x020Cu);
  EXPECT_EQ(f.received[2].mouse.mouseData, 2u << 16);
  EXPECT_EQ(f.received[3].wParam, 0x0201u);
  const QPoint global = f.window.mapToGlobal(at);
  EXPECT_EQ(f.received[3].mouse.x, global.x());
  EXPECT_EQ(f.received[3].mouse.y, global.y());
  EXPECT_GE(f.editClicks, 1);
  // No keyboard hook: keys are neither reported nor swallowed.
  QTest::keyClick(f.Handle(), Qt::Key_A);
  EXPECT_EQ(f.received.size(), 4u);
  EXPECT_EQ(f.edit->text(), "a");
}

std::unique_ptr<ScriptedSource> Script(std::vector<ScriptedSource::Step> steps, int error = 0) {
  return std::make_unique<ScriptedSource>(std::move(steps), nullptr, error);
}

TEST(CaptureSourceTest, EveryRecordableRowRoundTrips) {
  Fixture f;
  std::vector<ScriptedSource::Step> steps;
  for (int row = 0; row < macros::kRecordableKeyRows; ++row)
    steps.push_back({0, {macros::capture::EvdevCodeOfRow(row), 1}});
  ScriptedSource* played = nullptr;
  CDeviceHook hook([&]() {
    auto s = Script(steps);
    played = s.get();
    return s;
  }, false);
  hook.Install(0, 4, &f.target, true, true);
  ASSERT_TRUE(testsupport::WaitFor([&] { return played->Finished(); }));
  hook.Uninstall();
  ASSERT_EQ(f.received.size(), size_t(macros::kRecordableKeyRows));
  for (int row = 0; row < macros::kRecordableKeyRows; ++row) {
    const macros::KeyboardHookData& key = f.received[size_t(row)].key;
    EXPECT_EQ(macros::KeyRowByScan(int(key.scanCode), key.Extended()), row)
        << "row " << row << " " << macros::kMacroKeyTable[size_t(row)].key;
  }
}

TEST(CaptureSourceTest, CodesButtonsAndRepeats) {
  Fixture f;
  ScriptedSource* played = nullptr;
  CDeviceHook hook([&]() {
    auto s = Script({{0, {KEY_A, 1}}, {1, {KEY_A, 2}}, {2, {KEY_A, 0}}, {3, {KEY_RIGHTSHIFT, 1}},
                     {4, {KEY_KPENTER, 1}}, {5, {BTN_SIDE, 1}}, {6, {BTN_EXTRA, 0}},
                     {7, {BTN_LEFT, 1}}, {8, {BTN_FORWARD, 1}}, {9, {KEY_A, 3}}});
    played = s.get();
    return s;
  }, false);
  hook.SetCursorPos([] { return std::pair(12, -3); });
  hook.Install(0, 4, &f.target, true, true);
  ASSERT_TRUE(testsupport::WaitFor([&] { return played->Finished(); }));
  hook.Uninstall();
  struct Want {
    uint32_t wParam;
    uint32_t scan;
    bool ext;
    uint32_t vk;
  } keys[] = {{0x100, 0x1E, false, 0x41}, {0x100, 0x1E, false, 0x41}, {0x101, 0x1E, false, 0x41},
              {0x100, 0x36, true, 0xA1},  {0x100, 0x1C, true, 0x0D}};
  ASSERT_EQ(f.received.size(), 9u);
  for (size_t i = 0; i < 5; ++i) {
    EXPECT_EQ(f.received[i].wParam, keys[i].wParam) << i;
    EXPECT_EQ(f.received[i].key.scanCode, keys[i].scan) << i;
    EXPECT_EQ(f.received[i].key.Extended(), keys[i].ext) << i;
    EXPECT_EQ(f.received[i].key.vkCode, keys[i].vk) << i;
  }
  struct WantMouse {
    uint32_t wParam;
    uint32_t data;
  } buttons[] = {{0x20B, 1u << 16}, {0x20C, 2u << 16}, {0x201, 0}, {0x20B, 2u << 16}};
  for (size_t i = 0; i < 4; ++i) {
    EXPECT_EQ(f.received[5 + i].name, "WM_HOOK_KEY_MSMACRO_MSG");
    EXPECT_EQ(f.received[5 + i].wParam, buttons[i].wParam) << i;
    EXPECT_EQ(f.received[5 + i].mouse.mouseData, buttons[i].data) << i;
    EXPECT_EQ(f.received[5 + i].mouse.x, 12);
    EXPECT_EQ(f.received[5 + i].mouse.y, -3);
  }
}

TEST(CaptureSourceTest, WhatTheSourceCoversTheWindowDoesNotReport) {
  Fixture f;
  CDeviceHook hook([] { return Script({}); }, true);
  hook.Install(0, 4, &f.target, true, true);
  QTest::keyClick(f.Handle(), Qt::Key_A);
  QTest::mouseClick(f.Handle(), Qt::LeftButton, {}, QPoint(5, 5));
  EXPECT_TRUE(f.received.empty());
  EXPECT_EQ(f.editKeys, 0);  // still swallowed in our window
  hook.Uninstall();
}

TEST(CaptureSourceTest, UnreadableDevicesLeaveTheWindow) {
  Fixture f;
  CDeviceHook hook([] { return Script({{0, {KEY_A, 1}}}, EACCES); }, true);
  hook.Install(0, 4, &f.target, true, true);
  EXPECT_EQ(hook.SourceError(), EACCES);
  QTest::keyClick(f.Handle(), Qt::Key_A);
  EXPECT_EQ(f.received.size(), 2u);
  hook.Uninstall();
}

TEST(CaptureSourceTest, UninstallEndsAPendingSend) {
  Fixture f;
  std::vector<ScriptedSource::Step> steps(1000, {0, {KEY_A, 1}});
  CDeviceHook hook([&] { return Script(steps); }, false);
  hook.Install(0, 4, &f.target, true, true);
  // The UI thread never turns: the reader waits in its send until stopped.
  QElapsedTimer clock;
  clock.start();
  EXPECT_EQ(hook.Uninstall(), 1);
  EXPECT_LT(clock.elapsed(), 1000);
  testsupport::PumpFor(20);
  EXPECT_TRUE(f.received.empty());
}

TEST(CaptureSourceTest, EvdevFolderWithoutDevices) {
  auto source = macros::capture::MakeEvdevSource("/nonexistent-input-folder");
  EXPECT_EQ(source->Open(), ENOENT);
}

}  // namespace
