// Hot-plug under load: the real main window (offscreen) over four emulated
// devices unplugged and plugged again 200 times. Its own test program so it
// runs beside the other app tests; it takes about 50 s (the discovery
// worker looks every 100 ms, and each round needs it to see the devices go
// and come back).

#include <cstdio>

#include <QElapsedTimer>
#include <gtest/gtest.h>

#include "tests/app/MainWndFixture.h"

namespace {

using app::PageKind;

class DeviceBarStressTest : public apptest::MainWndFixture {};

// 200 rounds of unplugging and plugging four devices: every round ends with
// the four entries shown again, no page or entry more, and the event threads
// of the devices come and go without leaking.
TEST_F(DeviceBarStressTest, TwoHundredPlugCyclesOfFourDevicesLoseNothing) {
  constexpr int kRounds = 200;
  const char* names[] = {"mouse", "keyboard", "pad", "headset"};
  const PageKind kinds[] = {PageKind::Mouse, PageKind::Keyboard, PageKind::MousePad, PageKind::Headset};
  auto emu = Emulate("mouse,keyboard,pad,headset");
  auto main = Open(emu);
  ASSERT_TRUE(apptest::WaitFor([&] { return main->CountVisibleEntries() == 4; }, 5000));
  // Every page's light thread runs (they start as each device is read) and
  // the event threads have started: the count before the rounds is complete.
  ASSERT_TRUE(apptest::WaitFor([&] {
    for (PageKind k : kinds)
      if (main->Devices(k).empty() || !main->Devices(k).front()->LightThreadRunning()) return false;
    return true;
  }, 5000));
  apptest::WaitFor([] { return false; }, 300);
  const size_t threads = apptest::ThreadCount();
  QElapsedTimer clock;
  clock.start();
  for (int round = 0; round < kRounds; ++round) {
    for (const char* n : names) ASSERT_TRUE(emu->Unplug(Unit(n).device->Id()));
    ASSERT_TRUE(apptest::WaitFor([&] { return main->CountVisibleEntries() == 0 && Overlay(*main); }, 3000))
        << "round " << round;
    for (const char* n : names) ASSERT_TRUE(emu->Plug(Unit(n).device->Id()));
    ASSERT_TRUE(apptest::WaitFor([&] { return main->CountVisibleEntries() == 4; }, 3000)) << "round " << round;
  }
  std::printf("%d plug cycles of four devices: %lld ms\n", kRounds, static_cast<long long>(clock.elapsed()));
  EXPECT_EQ(main->Entries().size(), 4u);
  for (PageKind k : kinds) {
    EXPECT_EQ(main->Devices(k).size(), 1u);
    EXPECT_TRUE(main->Devices(k).front()->CommandChannel().IsOpen());
  }
  EXPECT_TRUE(apptest::WaitFor([&] { return apptest::ThreadCount() <= threads; }, 3000))
      << apptest::ThreadCount() << " threads, " << threads << " before the rounds";
  EXPECT_NE(main->SelectedDevice(), nullptr);
}

}  // namespace
