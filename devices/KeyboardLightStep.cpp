// The keyboard's light step: the page's caps and, for the two effects only
// the host can compute, the light frame streamed to a wired keyboard.

#include "devices/Models.h"

namespace devices {

void CGesterinKeyboardDevice::LightStep() {
  if (!hostLightControl_) return;
  const uint32_t now = lightClock_->TickCount();
  if (framePostponed_) {
    if (now - frameFailedAt_ < kFrameRetryMs) return;
    framePostponed_ = false;
  }
  PaintLightCaps();
  const uint8_t effect = lightState_.selectItem;
  if (commandChannel_.ReceiverMode() || (effect != kAudioMode && effect != kHostColourMode)) return;
  if (SendKeyboardFrame(commandChannel_, frame_, infoBlock_.KeyCount()) != protocol::kOk) {
    framePostponed_ = true;
    frameFailedAt_ = now;
  }
}

}  // namespace devices
