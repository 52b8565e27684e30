// The device base: caps found on the page by name, the light colour array,
// the function tabs, and the event threads fed by the emulator's event
// collection.

#include <chrono>
#include <cstdlib>
#include <mutex>
#include <thread>

#include <QElapsedTimer>
#include <QThread>
#include <gtest/gtest.h>

#include "controls/CDeviceKeyButtonUI.h"
#include "controls/CSelectPanelUI.h"
#include "devices/Models.h"
#include "emulator/Emulator.h"
#include "emulator/firmware/Events.h"
#include "emulator/firmware/Firmware.h"
#include "platform/Trace.h"
#include "tests/support/EventLoop.h"

namespace {

using namespace std::chrono_literals;

// Reloads are counted with the thread and the time they ran on.
template <typename Model>
class Recording : public Model {
 public:
  using Model::Model;
  void ReloadSettings() override {
    ++reloads;
    onUiThread = QThread::currentThread() == QCoreApplication::instance()->thread();
    at = clock.elapsed();
  }
  int reloads = 0;
  bool onUiThread = false;
  qint64 at = -1;
  QElapsedTimer clock;
};

// Stands in for the device bar entry: its timer 1002 reloads the device.
class Entry : public ui::CControlUI {
 public:
  std::function<void()> onReload;
  void DoEvent(ui::TEventUI& e) override {
    if (e.Type == ui::UIEVENT_TIMER && e.wParam == devices::bartimer::kReloadSettings) {
      DisarmTimer(devices::bartimer::kReloadSettings);
      onReload();
      return;
    }
    ui::CControlUI::DoEvent(e);
  }
};

class Builder : public ui::IDialogBuilderCallback {
 public:
  explicit Builder(std::shared_ptr<hid::HidBackend> backend) : backend_(std::move(backend)) {}
  ui::CControlUI* CreateControl(const QString& c) override {
    if (c == QLatin1String("SelectPanel")) return new CSelectPanelUI;
    if (c == QLatin1String("DeviceKeyButton")) return new CDeviceKeyButtonUI;
    if (c == QLatin1String("GesterinKeyboardDevice")) return new CGesterinKeyboardDevice(backend_);
    if (c == QLatin1String("GesterinMouseDevice")) return new CGesterinMouseDevice(backend_);
    return nullptr;
  }

 private:
  std::shared_ptr<hid::HidBackend> backend_;
};

// A page built from a small test layout (the keyboard's also has a "key_200").
template <typename T>
std::unique_ptr<T> BuildPage(const char* layout, int keys, int lights) {
  ui::CPaintManagerUI::SetResourcePath(QString::fromStdString(std::string(std::getenv("VX27_SOURCE_DIR")) + "/tests/devices/skin/"));
  Builder builder(std::make_shared<emulator::Emulator>());
  ui::CDialogBuilder dialog;
  static ui::CPaintManagerUI pm;
  std::unique_ptr<T> page(qobject_cast<T*>(dialog.Create(QString::fromLatin1(layout), {}, &builder, &pm)));
  if (!page) return nullptr;
  page->SetLayoutPath(QString::fromLatin1(layout));
  page->SetKeyButtonCount(keys);
  page->SetLightCount(lights);
  page->InitPage();
  return page;
}

TEST(DevicePage, CapsAreFoundByNameAndOutOfRangeNumbersIgnored) {
  auto kb = BuildPage<CGesterinKeyboardDevice>("XML/DeviceXml/keyboarddevice.xml", 170, 170);
  ASSERT_TRUE(kb);
  // The layout also has a "key_200".
  for (int i = 0; i < 170; ++i) {
    ASSERT_NE(kb->KeyButton(i), nullptr) << i;
    EXPECT_EQ(kb->KeyButton(i)->GetName(), QStringLiteral("key_%1").arg(i));
  }
  EXPECT_EQ(kb->KeyButton(170), nullptr);
  EXPECT_EQ(kb->KeyButton(200), nullptr);

  auto mouse = BuildPage<CGesterinMouseDevice>("XML/DeviceXml/mousedevice.xml", 11, 15);
  ASSERT_TRUE(mouse);
  for (int i = 0; i < 15; ++i) {
    ASSERT_NE(mouse->LightButton(i), nullptr) << i;
    EXPECT_TRUE(mouse->LightButton(i)->IsLightOverlayShown());
    EXPECT_EQ(mouse->LightButton(i)->GetLightColor(), 0xFFFFFFu) << "painted white";
    EXPECT_EQ(mouse->LightButton(i)->GetLightLevel(), 255);
  }

  // Without a layout the page keeps nothing.
  mouse->SetLayoutPath({});
  mouse->InitPage();
  EXPECT_EQ(mouse->KeyButtonCount(), 0);
  EXPECT_EQ(mouse->LightCount(), 0);
  EXPECT_EQ(mouse->LightButton(0), nullptr);
}

TEST(DevicePage, LightColoursOutsideTheArrayReadAsZeroAndAreNotWritten) {
  auto mouse = BuildPage<CGesterinMouseDevice>("XML/DeviceXml/mousedevice.xml", 11, 15);
  ASSERT_TRUE(mouse);
  const devices::LightColour red{255, 0, 0, 200};
  for (int i : {-1, 15, 1000}) mouse->SetLightColour(i, red);
  for (int i : {-1, 15}) {
    const devices::LightColour c = mouse->GetLightColour(i);
    EXPECT_EQ(c.c0 | c.c1 | c.c2 | c.brightness, 0) << i;
  }
  mouse->SetLightColour(14, red);
  EXPECT_EQ(mouse->GetLightColour(14).c0, 255);
  EXPECT_EQ(mouse->GetLightColour(13).c0, 0);
  // The light step shows the colour on the cap.
  mouse->LightStep();
  EXPECT_EQ(mouse->LightButton(14)->GetLightColor(), 0xFF0000u);
  EXPECT_EQ(mouse->LightButton(14)->GetLightLevel(), 200);
}

TEST(DevicePage, FunctionSwitchSelectsThePageTabsForTheAttachedKind) {
  auto mouse = BuildPage<CGesterinMouseDevice>("XML/DeviceXml/mousedevice.xml", 11, 15);
  ASSERT_TRUE(mouse);
  auto* fn = qobject_cast<ui::CTabLayoutUI*>(mouse->FindSubControl(QStringLiteral("device_function_switch")));
  auto* key = qobject_cast<ui::CTabLayoutUI*>(mouse->FindSubControl(QStringLiteral("device_key_function_switch")));
  ASSERT_TRUE(fn && key);
  struct Case {
    int kind, type, function, key;
  };
  // Key tab 1 beforehand, so a type that leaves it shows 1.
  const Case cases[] = {{2, 4, 3, 1}, {6, 4, 0, 2}, {2, 7, 0, 2}, {2, 3, 1, 1}, {2, 0, 0, 0}};
  for (const Case& c : cases) {
    hid::DeviceInterfaceInfo info;
    info.DeviceKind = uint16_t(c.kind);
    mouse->Attach(info);
    key->SelectItem(1);
    mouse->SetFunctionSwitch(c.type);
    EXPECT_EQ(mouse->GetFunctionSwitch(), c.type);
    EXPECT_EQ(fn->GetCurSel(), c.function) << c.kind << "/" << c.type;
    EXPECT_EQ(key->GetCurSel(), c.key) << c.kind << "/" << c.type;
  }
}

class EventThreads : public ::testing::Test {
 protected:
  void SetUp() override {
    units_ = {emulator::firmware::AddDevice(*emu_, emulator::DeviceModel::Keyboard),
              emulator::firmware::AddDevice(*emu_, emulator::DeviceModel::Mouse)};
  }
  template <typename Model>
  std::unique_ptr<Recording<Model>> Open(size_t unit, int kind) {
    auto device = std::make_unique<Recording<Model>>(emu_);
    entry_.onReload = [d = device.get()] { d->ReloadSettings(); };
    device->SetDeviceOption(&entry_);
    EXPECT_TRUE(device->OpenEventInterface(kind, emulator::firmware::EventPath(*units_[unit].device)));
    return device;
  }

  std::shared_ptr<emulator::Emulator> emu_ = std::make_shared<emulator::Emulator>();
  std::vector<emulator::firmware::EmulatedUnit> units_;
  Entry entry_;
};

TEST_F(EventThreads, ASettingsEventReloadsFiftyMillisecondsLaterOnTheUiThread) {
  auto kb = Open<CGesterinKeyboardDevice>(0, hid::kind::kKeyboardCable);
  kb->clock.start();
  ASSERT_TRUE(emulator::firmware::SendEvent(*units_[0].device, 0x401));
  ASSERT_TRUE(testsupport::WaitFor([&] { return kb->reloads == 1; }, 2000));
  EXPECT_TRUE(kb->onUiThread);
  EXPECT_GE(kb->at, 50);
  testsupport::PumpFor(100);
  EXPECT_EQ(kb->reloads, 1) << "once";
}

TEST_F(EventThreads, EachModelTakesItsOwnCodes) {
  struct Case {
    size_t unit;
    bool keyboard;
    uint16_t value;
    int reloads;
    bool syncRequested;
  };
  const Case cases[] = {
      {0, true, 0x402, 1, true},    // keyboard: profile reset request
      {0, true, 0x000, 0, false},   // keyboard: 0 only while the effect is 20
      {0, true, 0x101, 0, false},   // model code: no reload
      {1, false, 0x402, 0, false},  // the mouse ignores 0x402
      {1, false, 0x401, 1, false},
  };
  for (const Case& c : cases) {
    std::unique_ptr<devices::CGesterinUSBDevice> device;
    int* reloads = nullptr;
    if (c.keyboard) {
      auto d = Open<CGesterinKeyboardDevice>(c.unit, hid::kind::kKeyboardCable);
      reloads = &d->reloads;
      device = std::move(d);
    } else {
      auto d = Open<CGesterinMouseDevice>(c.unit, hid::kind::kMouseCable);
      reloads = &d->reloads;
      device = std::move(d);
    }
    ASSERT_TRUE(emulator::firmware::SendEvent(*units_[c.unit].device, c.value));
    testsupport::PumpFor(200);
    EXPECT_EQ(*reloads, c.reloads) << std::hex << c.value;
    EXPECT_EQ(device->SyncRequested(), c.syncRequested) << std::hex << c.value;
  }
}

TEST_F(EventThreads, AnOnboardProfileSwitchChangesTheSettingsAndAsksForAReload) {
  auto kb = Open<CGesterinKeyboardDevice>(0, hid::kind::kKeyboardCable);
  ASSERT_TRUE(emulator::firmware::SwitchOnboardProfile(*units_[0].device, *units_[0].firmware, 2));
  ASSERT_TRUE(testsupport::WaitFor([&] { return kb->reloads == 1; }, 2000));
  // What the host then reads: settings byte 0 and, for the power state, the
  // status block.
  ASSERT_TRUE(emulator::firmware::SetPower(*units_[1].firmware, 42, 1));
  protocol::CCommandChannel channel(emu_);
  channel.SetSleeper([](std::chrono::milliseconds) {});
  ASSERT_TRUE(channel.OpenHandle(protocol::ConnectionMode::Wired,
                                 emulator::firmware::CommandPath(*units_[0].device, emulator::DeviceModel::Keyboard)));
  std::array<uint8_t, 1> active{};
  ASSERT_EQ(channel.ReadSettings(active, 0), protocol::kOk);
  EXPECT_EQ(active[0], 2);
  protocol::CCommandChannel mouse(emu_);
  mouse.SetSleeper([](std::chrono::milliseconds) {});
  ASSERT_TRUE(mouse.OpenHandle(protocol::ConnectionMode::Wired,
                               emulator::firmware::CommandPath(*units_[1].device, emulator::DeviceModel::Mouse)));
  std::array<uint8_t, 2> status{};
  ASSERT_EQ(mouse.ReadStatusBlock(status, 2, 0), protocol::kOk);
  EXPECT_EQ(status[0], 42);
  EXPECT_EQ(status[1], 1);
}

TEST_F(EventThreads, ASilentDeviceStillLetsItsEventThreadStopWithinItsBound) {
  std::vector<std::string> lines;
  std::mutex lock;
  platform::ScopedTraceSink sink([&](std::string_view l) {
    std::lock_guard guard(lock);
    lines.emplace_back(l);
  });
  auto kb = Open<CGesterinKeyboardDevice>(0, hid::kind::kKeyboardCable);
  std::this_thread::sleep_for(100ms);  // the thread waits in a read now
  const auto start = std::chrono::steady_clock::now();
  kb->CloseEventInterface(hid::kind::kKeyboardCable);
  EXPECT_LT(std::chrono::steady_clock::now() - start, devices::kEventThreadStopBound);
  EXPECT_FALSE(kb->EventInterfaceOpen(hid::kind::kKeyboardCable));
  std::lock_guard guard(lock);
  EXPECT_NE(std::find(lines.begin(), lines.end(), "线程退出：：对象处于激发状态"), lines.end());
  EXPECT_NE(std::find(lines.begin(), lines.end(), "MS 设备同步线程设定退出"), lines.end());
  EXPECT_EQ(std::find(lines.begin(), lines.end(), "线程退出：：对象处于非激发状态，超时"), lines.end());
}

}  // namespace
