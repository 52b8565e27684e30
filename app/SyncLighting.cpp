// Synchronised lighting: the "deng_same_mode" click takes every open device
// into one common effect, and the worker of slot 8 renders that effect frame
// by frame into the light colours of the devices it holds. The device pages'
// light steps show and send those colours; a held device's own light thread
// stands still.

#include <chrono>

#include "app/MainWnd.h"
#include "devices/core/LightColours.h"
#include "editors/CLightControlUI.h"
#include "platform/Trace.h"

namespace app {
namespace {

namespace sync = devices::sync;

constexpr auto kIdlePoll = std::chrono::milliseconds(1000);

// The column of the mode table each device list takes.
sync::Column ColumnOfList(PageKind kind) {
  switch (kind) {
    case PageKind::Keyboard:
      return sync::Column::Keyboard;
    case PageKind::Mouse:
      return sync::Column::Mouse;
    default:
      return sync::Column::PadOrHeadset;
  }
}

}  // namespace

void CMainWnd::StartSyncLighting() {
  devices::CGesterinUSBDevice* source = SelectedDevice();
  if (!source) return;
  profiles::LightInfoRecord record = source->LightState();
  // A kind outside the table keeps the effect as it was.
  uint8_t effect = syncSettings_.Load().effect;
  if (const auto column = sync::ColumnOfKind(source->Kind())) {
    const auto found = sync::EffectOfMode(*column, record.selectItem);
    if (!found) return;  // a mode without a common effect changes nothing
    effect = uint8_t(*found);
  }
  const sync::Settings settings = sync::SettingsOf(effect, record);
  syncSettings_.Store(settings);

  // Bytes 8 to 13 stay the source's for every device.
  for (PageKind kind : {PageKind::Keyboard, PageKind::Mouse, PageKind::MousePad, PageKind::Headset}) {
    record.selectItem = sync::ModeOfEffect(ColumnOfList(kind), sync::Effect(settings.effect));
    const std::array<uint32_t, 4> words = record.ToWords();
    for (const auto& device : devices_[size_t(kind)]) {
      if (!device || !device->CommandChannel().IsOpen()) continue;
      device->CommandChannel().SetHoldFlag(true);
      if (editors::CLightControlUI* editor = device->LightEditor())
        editor->ShowLightInfo(words[0], words[1], words[2], words[3]);
      device->SetLightState(words[0], words[1], words[2], uint16_t(words[3]));
      device->SaveProfile();
      device->ApplyLightingFromProfile();
      // Every model ignores the further values; block and first byte are 0.
      (void)device->WriteSettingsToDevice(0, 0, 0, 0, 0);
    }
  }
}

void CMainWnd::LightSyncThread(const platform::StopEvent& stop) {
  devices::LightClock& clock = *syncClock_;
  syncRenderer_.Begin(clock.TickCount());
  // Held: open and taken into synchronised lighting, searched mice first.
  const auto anyHeld = [this] {
    for (PageKind kind : {PageKind::Mouse, PageKind::Keyboard, PageKind::MousePad, PageKind::Headset})
      for (const auto& device : devices_[size_t(kind)])
        if (device && device->CommandChannel().IsOpen() && device->CommandChannel().HoldFlag()) return true;
    return false;
  };
  while (!clock.WaitNextTick(stop)) {
    std::unique_lock lists(deviceListsLock_);
    if (!anyHeld()) {
      lists.unlock();
      if (clock.Sleep(kIdlePoll, stop)) break;
      continue;
    }
    if (const auto c = syncRenderer_.Pass(clock.TickCount(), syncSettings_.Load()))
      SendSyncFrame(c->c0, c->c1, c->c2, c->brightness);
  }
  Trace("同步灯光线程设定退出");
}

void CMainWnd::SendSyncFrame(uint8_t red, uint8_t green, uint8_t blue, uint8_t brightness) {
  const protocol::LightColour colour{red, green, blue, brightness};
  syncFrames_.fetch_add(1, std::memory_order_relaxed);
  for (PageKind kind : {PageKind::Mouse, PageKind::MousePad, PageKind::Headset, PageKind::Keyboard})
    for (const auto& device : devices_[size_t(kind)]) {
      if (!device || !device->CommandChannel().HoldFlag()) continue;
      for (int i = 0; i < device->LightCount(); ++i) device->SetLightColour(i, colour);
    }
}

}  // namespace app
