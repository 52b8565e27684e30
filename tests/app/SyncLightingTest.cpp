// Synchronised lighting in the main window over four emulated devices: what
// the same-mode start writes into every device's state, profile and onboard
// settings, which devices it holds, and the frames the sync worker (stepped by
// a manual clock) renders into the held devices' lights.

#include <gtest/gtest.h>

#include "app/DeviceBar.h"
#include "devices/Models.h"
#include "editors/CLightControlUI.h"
#include "profiles/JsonFile.h"
#include "tests/app/MainWndFixture.h"
#include "tests/support/EventLoop.h"

namespace {

using app::PageKind;
using apptest::TraceLines;
using profiles::LightInfoRecord;

constexpr PageKind kKinds[] = {PageKind::Keyboard, PageKind::Mouse, PageKind::MousePad, PageKind::Headset};

class SyncLightingTest : public apptest::MainWndFixture {
 protected:
  // The window over a keyboard, a mouse, a pad and a headset, every page
  // loaded, the sync worker on a manual clock.
  bool OpenAll() {
    emu_ = Emulate("keyboard,mouse,pad,headset");
    main_ = std::make_unique<app::CMainWnd>(store_, app::RegisterProgramMessages(), emu_);
    main_->SetSyncClock(clock_);
    if (!main_->CreateMain()) return false;
    if (!apptest::WaitFor([&] { return main_->CountVisibleEntries() == 4; }, 10000)) return false;
    if (!apptest::WaitFor([&] { return Traced("keyboard loaded") && Traced("mouse loaded"); }, 10000)) return false;
    testsupport::PumpFor(1500);  // the pad's and headset's first loads
    return clock_->WaitIdle();
  }
  bool Traced(const std::string& start) {
    for (const std::string& line : traces_.Lines())
      if (line.rfind(start, 0) == 0) return true;
    return false;
  }
  devices::CModelDevice* Device(PageKind kind) {
    const auto& list = main_->Devices(kind);
    return list.empty() ? nullptr : qobject_cast<devices::CModelDevice*>(list.front().data());
  }
  // Selects the device's bar entry and gives it a lighting record.
  void Source(PageKind kind, const LightInfoRecord& r) {
    devices::CModelDevice* d = Device(kind);
    main_->ShowEntry(main_->EntryOf(d), true, true);
    ASSERT_EQ(main_->SelectedDevice(), d);
    const auto w = r.ToWords();
    d->SetLightState(w[0], w[1], w[2], uint16_t(w[3]));
  }
  Json::Value SavedLight(PageKind kind) {
    return profiles::LoadJsonFile(Device(kind)->GetProfilePath())["Device"][0]["LightInfo"];
  }
  // Onboard profile 0's settings block of an emulated device: byte 1 mode,
  // 2 brightness, 3 speed stored as 4 − speed, 6..8 colour.
  std::array<uint8_t, 9> Block(const char* unit) {
    const auto m = Unit(unit).firmware->Memory();
    std::array<uint8_t, 9> b{};
    std::copy_n(m.settings.begin(), b.size(), b.begin());
    return b;
  }
  // Steps the worker one light tick and lets it finish its pass.
  void Tick(int n = 1) {
    for (int i = 0; i < n; ++i) {
      clock_->Advance();
      ASSERT_TRUE(clock_->WaitIdle());
    }
  }
  // Steps until the worker sent a frame (it polls once a second while idle).
  bool TickUntilFrame(int bound = 200) {
    const uint32_t before = main_->SyncFrames();
    for (int i = 0; i < bound && main_->SyncFrames() == before; ++i) Tick();
    return main_->SyncFrames() != before;
  }
  // Every light of the device shows `c`.
  static bool Shows(devices::CGesterinUSBDevice* d, protocol::LightColour c) {
    for (int i = 0; i < d->LightCount(); ++i) {
      const auto got = d->GetLightColour(i);
      if (got.c0 != c.c0 || got.c1 != c.c1 || got.c2 != c.c2 || got.brightness != c.brightness) return false;
    }
    return d->LightCount() > 0;
  }

  TraceLines traces_;
  std::shared_ptr<devices::ManualLightClock> clock_ = std::make_shared<devices::ManualLightClock>();
  std::shared_ptr<emulator::Emulator> emu_;
  std::unique_ptr<app::CMainWnd> main_;
};

TEST_F(SyncLightingTest, AKeyboardInBreathingTakesEveryDeviceIntoBreathing) {
  ASSERT_TRUE(OpenAll());
  for (PageKind k : kKinds) ASSERT_TRUE(Device(k) && Device(k)->CommandChannel().IsOpen()) << int(k);
  LightInfoRecord r;
  r.selectItem = 5;
  r.light = 3;
  r.speed = 4;
  r.fx = 1;
  r.red = 10, r.green = 20, r.blue = 30;
  r.customGroup = 2;
  Source(PageKind::Keyboard, r);
  const uint32_t framesBefore = main_->SyncFrames();
  Tick(300);
  EXPECT_EQ(main_->SyncFrames(), framesBefore) << "no device is held: the worker renders nothing";

  main_->StartSyncLighting();
  EXPECT_TRUE(main_->SyncSettings() == (devices::sync::Settings{0, 3, 4, 1, 0, 10, 20, 30}));
  struct Expect {
    PageKind kind;
    const char* unit;
    int mode;
  };
  for (const Expect& e : {Expect{PageKind::Keyboard, "keyboard", 5}, Expect{PageKind::Mouse, "mouse", 1},
                          Expect{PageKind::MousePad, "pad", 2}, Expect{PageKind::Headset, "headset", 2}}) {
    devices::CModelDevice* d = Device(e.kind);
    EXPECT_TRUE(d->CommandChannel().HoldFlag()) << e.unit;
    LightInfoRecord want = r;
    want.selectItem = uint8_t(e.mode);
    EXPECT_TRUE(d->LightState() == want) << e.unit;
    EXPECT_EQ(d->LightEditor()->GetSelectedMode(), e.mode) << e.unit;
    const Json::Value saved = SavedLight(e.kind);
    EXPECT_EQ(saved["SelectItem"].asInt(), e.mode) << e.unit;
    EXPECT_EQ(saved["Light"].asInt(), 3) << e.unit;
    EXPECT_EQ(saved["Red"].asInt(), 10) << e.unit;
    if (e.kind != PageKind::Headset) {
      const auto b = Block(e.unit);
      EXPECT_EQ(b[1], e.mode) << e.unit;
      EXPECT_EQ(b[2], 3) << e.unit;
      EXPECT_EQ(b[3], 0) << e.unit << ": speed 4 is stored as 0";
      EXPECT_EQ(b[6], 10) << e.unit;
      EXPECT_EQ(b[8], 30) << e.unit;
    }
  }

  // Frames start within about a second of idle polling; then one every 7
  // ticks. After 64 frames the phase is 64: level 3 (175) × 255 >> 8 = 174.
  ASSERT_TRUE(TickUntilFrame());
  const uint32_t first = main_->SyncFrames();
  Tick(7 * 63);
  EXPECT_EQ(main_->SyncFrames(), first + 63);
  for (PageKind k : kKinds) EXPECT_TRUE(Shows(Device(k), {10, 20, 30, 174})) << int(k);
}

TEST_F(SyncLightingTest, ASourceModeWithoutACommonEffectChangesNothing) {
  ASSERT_TRUE(OpenAll());
  struct Case {
    PageKind kind;
    uint8_t mode;
  };
  for (const Case& c : {Case{PageKind::Keyboard, 7}, Case{PageKind::Keyboard, 29}, Case{PageKind::Mouse, 2},
                        Case{PageKind::MousePad, 5}, Case{PageKind::Headset, 6}}) {
    LightInfoRecord r;
    r.selectItem = c.mode;
    r.light = 2;
    Source(c.kind, r);
    std::array<LightInfoRecord, 4> before;
    for (size_t i = 0; i < 4; ++i) before[i] = Device(kKinds[i])->LightState();
    const auto settings = main_->SyncSettings();
    const size_t writes = Unit("mouse").firmware->Log().size();
    main_->StartSyncLighting();
    for (size_t i = 0; i < 4; ++i) {
      EXPECT_FALSE(Device(kKinds[i])->CommandChannel().HoldFlag()) << int(c.kind) << " mode " << int(c.mode);
      EXPECT_TRUE(Device(kKinds[i])->LightState() == before[i]) << int(c.kind) << " mode " << int(c.mode);
    }
    EXPECT_TRUE(main_->SyncSettings() == settings);
    EXPECT_EQ(Unit("mouse").firmware->Log().size(), writes);
  }
}

TEST_F(SyncLightingTest, AClosedDeviceIsNeitherWrittenNorCountedButKeepsItsFrames) {
  ASSERT_TRUE(OpenAll());
  devices::CModelDevice* pad = Device(PageKind::MousePad);
  devices::CModelDevice* mouse = Device(PageKind::Mouse);
  // Static from the mouse (mode 0) at level 4: everything held.
  LightInfoRecord r;
  r.selectItem = 0;
  r.light = 4;
  r.speed = 4;
  r.red = 1, r.green = 2, r.blue = 3;
  Source(PageKind::Mouse, r);
  main_->StartSyncLighting();
  ASSERT_TRUE(pad->CommandChannel().HoldFlag());
  ASSERT_TRUE(TickUntilFrame());

  // The pad's channel closes with its hold still set; a new start from the
  // mouse in colour cycle (3) passes it by.
  pad->CommandChannel().SetOpen(false);
  const LightInfoRecord padBefore = pad->LightState();
  const auto padBlock = Block("pad");
  r.selectItem = 3;
  Source(PageKind::Mouse, r);
  main_->StartSyncLighting();
  EXPECT_TRUE(pad->LightState() == padBefore);
  EXPECT_EQ(Block("pad"), padBlock);
  EXPECT_EQ(Block("mouse")[1], 3);
  ASSERT_TRUE(TickUntilFrame());
  EXPECT_TRUE(Shows(pad, mouse->GetLightColour(0))) << "the held pad still gets the frames";
  EXPECT_EQ(pad->GetLightColour(0).brightness, 255);

  // With only the closed pad held the worker idles: no frames.
  for (PageKind k : {PageKind::Keyboard, PageKind::Mouse, PageKind::Headset}) Device(k)->CommandChannel().SetHoldFlag(false);
  Tick(10);  // the pass in progress ends
  const uint32_t frames = main_->SyncFrames();
  Tick(300);
  EXPECT_EQ(main_->SyncFrames(), frames);
  pad->CommandChannel().SetOpen(true);
}

TEST_F(SyncLightingTest, TheWorkerEndsPromptlyWhileIdleAndWhileRendering) {
  ASSERT_TRUE(OpenAll());
  EXPECT_TRUE(main_->WorkerRunning(app::kLightSyncSlot));
  LightInfoRecord r;
  r.selectItem = 3;  // mouse colour cycle
  r.light = 4;
  Source(PageKind::Mouse, r);
  main_->StartSyncLighting();
  ASSERT_TRUE(TickUntilFrame());
  main_->StopWorkers();
  EXPECT_FALSE(main_->WorkerRunning(app::kLightSyncSlot));
  EXPECT_EQ(traces_.Count("同步灯光线程设定退出"), 1);
  EXPECT_EQ(traces_.Count("所有对象处于非激发状态，超时\n"), 0);
}

}  // namespace
