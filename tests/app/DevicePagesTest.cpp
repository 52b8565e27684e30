// The main window with its device pages (the program's own skin): pages that
// exist without a device,
// the DPI policy, arrival and removal of an emulated device, the worker
// table's teardown, and pictures of each page at 96 and 144 DPI.

#include <algorithm>
#include <filesystem>
#include <mutex>

#include <QImage>
#include <gtest/gtest.h>

#include "app/ControlRegistry.h"
#include "app/MainWnd.h"
#include "emulator/EmulateList.h"
#include "emulator/firmware/Firmware.h"
#include "platform/Trace.h"
#include "tests/app/AppTestSupport.h"
#include "tests/app/MainWndFixture.h"

namespace {

using app::PageKind;

using apptest::ThreadCount;
using apptest::TraceLines;

class DevicePagesTest : public apptest::MainWndFixture {};

TEST_F(DevicePagesTest, WithoutDevicesTheMouseAndKeyboardPagesExistHiddenBehindTheOverlay) {
  auto main = Open(apptest::NoDevices());
  ASSERT_TRUE(apptest::WaitFor([&] { return main->GetHWND()->isVisible(); })) << "shown after discovery's first pass";
  EXPECT_EQ(main->Devices(PageKind::Mouse).size(), 1u);
  EXPECT_EQ(main->Devices(PageKind::Keyboard).size(), 1u);
  EXPECT_TRUE(main->Devices(PageKind::MousePad).empty());
  EXPECT_TRUE(main->Devices(PageKind::Headset).empty());
  ASSERT_EQ(main->Entries().size(), 2u);
  for (const auto& e : main->Entries()) EXPECT_FALSE(e->IsVisible());
  EXPECT_TRUE(Overlay(*main));
  // The program's layouts carry every cap the page table counts.
  for (PageKind kind : {PageKind::Mouse, PageKind::Keyboard}) {
    devices::CGesterinUSBDevice* page = main->Devices(kind).front();
    for (int i = 0; i < page->KeyButtonCount(); ++i) EXPECT_NE(page->KeyButton(i), nullptr) << i;
  }
  devices::CGesterinUSBDevice* mouse = main->Devices(PageKind::Mouse).front();
  EXPECT_EQ(mouse->KeyButtonCount(), 11);
  for (int i = 0; i < mouse->LightCount(); ++i) EXPECT_NE(mouse->LightButton(i), nullptr) << i;
  EXPECT_EQ(main->Devices(PageKind::Keyboard).front()->KeyButtonCount(), 170);

  // Every page carries its own copy of the shared panel layouts: a control of
  // one page that looks a name up finds its own page's copy, not the first
  // page's.
  for (PageKind kind : {PageKind::Mouse, PageKind::Keyboard}) {
    devices::CGesterinUSBDevice* page = main->Devices(kind).front();
    ui::CControlUI* tab = main->PaintManager().FindSubControlByName(page, QStringLiteral("deng_Op_tab"));
    ASSERT_NE(tab, nullptr);
    EXPECT_EQ(tab->FindInScope(QStringLiteral("deng_Op_tab")), tab);
  }

  // A second "windowinit" changes nothing: slots and pages are made once.
  ui::TNotifyUI again;
  again.sType = ui::notify::kWindowInit;
  main->Notify(again);
  EXPECT_EQ(main->SlotFillCount(), 1);
  EXPECT_EQ(main->Devices(PageKind::Mouse).size(), 1u);
  EXPECT_EQ(main->Entries().size(), 2u);
}

TEST_F(DevicePagesTest, DpiPolicyFollowsTheMonitorSize) {
  struct Case {
    QSize monitor;
    int dpi;
    QSize window;
  };
  const Case cases[] = {
      {{1920, 1080}, 144, {1500, 960}},
      {{1366, 768}, 96, {1000, 640}},
      {{1501, 960}, 96, {1000, 640}},  // both sides must exceed 1500 x 960
      {{2560, 1440}, 144, {1500, 960}},
  };
  auto main = Open(apptest::NoDevices());
  for (const Case& c : cases) {
    main->SetMonitorSizeSource([&] { return c.monitor; });
    main->ApplyDpiPolicy();
    EXPECT_EQ(main->Dpi(), c.dpi) << c.monitor.width();
    EXPECT_EQ(main->GetHWND()->size(), c.window) << c.monitor.width();
  }
}

TEST_F(DevicePagesTest, AMouseArrivesShowsItsPageAndLeavesOnUnplug) {
  TraceLines traces;
  auto emu = Emulate("mouse");
  auto main = Open(emu);
  ASSERT_TRUE(apptest::WaitFor([&] { return EntryShown(*main, PageKind::Mouse); }));
  EXPECT_GE(traces.Count("添加一个鼠标设备"), 1);
  EXPECT_FALSE(Overlay(*main));
  EXPECT_FALSE(EntryShown(*main, PageKind::Keyboard));
  auto* mouse = main->Devices(PageKind::Mouse).front().data();
  EXPECT_EQ(main->SelectedDevice(), mouse);
  EXPECT_TRUE(mouse->CommandChannel().IsOpen());
  ASSERT_TRUE(apptest::WaitFor([&] { return mouse->EventInterfaceOpen(hid::kind::kMouseCable); }));
  EXPECT_EQ(main->Devices(PageKind::Mouse).size(), 1u) << "the arrival uses the page built in advance";

  ASSERT_TRUE(emu->Unplug(emu->FindByName("mouse")->Id()));
  ASSERT_TRUE(apptest::WaitFor([&] { return !EntryShown(*main, PageKind::Mouse); }));
  EXPECT_GE(traces.Count("删除一个鼠标设备"), 1);
  EXPECT_TRUE(Overlay(*main));
  EXPECT_FALSE(mouse->CommandChannel().IsOpen());
  ASSERT_TRUE(apptest::WaitFor([&] { return !mouse->EventInterfaceOpen(hid::kind::kMouseCable); }));

  // Back again: the same page, no second one.
  ASSERT_TRUE(emu->Plug(emu->FindByName("mouse")->Id()));
  ASSERT_TRUE(apptest::WaitFor([&] { return EntryShown(*main, PageKind::Mouse); }));
  EXPECT_EQ(main->Devices(PageKind::Mouse).size(), 1u);
}

TEST_F(DevicePagesTest, ClosingWithADeviceConnectedEndsEveryWorkerAndThread) {
  const size_t threadsBefore = ThreadCount();
  TraceLines traces;
  {
    auto main = Open(Emulate("mouse"));
    ASSERT_TRUE(apptest::WaitFor([&] { return EntryShown(*main, PageKind::Mouse); }));
    for (int slot : {app::kDiscoverySlot, app::kAudioDaemonSlot, app::kLightSyncSlot})
      EXPECT_TRUE(main->WorkerRunning(slot)) << slot;
    main->Close(0);  // WM_DESTROY stops the workers
    EXPECT_FALSE(main->IsWindow());
    for (int slot : {app::kDiscoverySlot, app::kAudioDaemonSlot, app::kLightSyncSlot})
      EXPECT_FALSE(main->WorkerRunning(slot)) << slot;
    apptest::TakeQuitRequest();
  }
  EXPECT_EQ(traces.Count("所有对象处于激发状态"), 3);
  EXPECT_EQ(traces.Count("所有对象处于非激发状态，超时"), 0);
  // Each of the 17 empty entries: "错误" and its index.
  const auto lines = traces.Lines();
  std::vector<int> empty;
  for (size_t i = 0; i + 1 < lines.size(); ++i)
    if (lines[i] == "错误") empty.push_back(std::stoi(lines[i + 1]));
  std::vector<int> expected;
  for (int i = 0; i < app::kWorkerSlots; ++i)
    if (i != 0 && i != 1 && i != 8) expected.push_back(i);
  EXPECT_EQ(empty, expected);
  // The device's event thread went with its page.
  EXPECT_TRUE(apptest::WaitFor([&] { return ThreadCount() <= threadsBefore; }, 2000))
      << ThreadCount() << " threads, " << threadsBefore << " before";
}

// Pictures for people to look at: every page at 96 and 144 DPI.
TEST_F(DevicePagesTest, ScreenshotsOfEveryPage) {
  auto main = Open(Emulate("mouse,keyboard,pad,headset"));
  const PageKind kinds[] = {PageKind::Mouse, PageKind::Keyboard, PageKind::MousePad, PageKind::Headset};
  ASSERT_TRUE(apptest::WaitFor([&] {
    return std::all_of(std::begin(kinds), std::end(kinds), [&](PageKind k) { return EntryShown(*main, k); });
  }, 5000));
  // The pad and headset pages, built on arrival, found their light caps.
  for (PageKind kind : {PageKind::MousePad, PageKind::Headset}) {
    devices::CGesterinUSBDevice* page = main->Devices(kind).front();
    for (int i = 0; i < page->LightCount(); ++i) EXPECT_NE(page->LightButton(i), nullptr) << i;
  }
  const char* names[] = {"mouse", "keyboard", "pad", "headset"};
  for (const auto& [monitor, dpi] : {std::pair{QSize(1366, 768), 96}, std::pair{QSize(1920, 1080), 144}}) {
    main->SetMonitorSizeSource([monitor] { return monitor; });
    main->ApplyDpiPolicy();
    for (int k = 0; k < 4; ++k) {
      apptest::Click(EntryFor(*main, kinds[k])->SelectOption());
      ASSERT_TRUE(apptest::WaitFor([&] { return main->SelectedDevice() == main->Devices(kinds[k]).front(); }));
      apptest::WaitFor([] { return false; }, 50);  // a few light steps
      main->PaintManager().UpdateLayout();
      const QString name = QStringLiteral("app_page_%1_%2").arg(QLatin1String(names[k])).arg(dpi);
      EXPECT_FALSE(ui::SaveScreenshot(main->GetHWND(), name).isEmpty()) << name.toStdString();
    }
  }
}

}  // namespace
