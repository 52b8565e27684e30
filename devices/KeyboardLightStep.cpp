// The keyboard's light step: the page's caps and, for the two effects only
// the host can compute, the light frame streamed to a wired keyboard.

#include <algorithm>

#include "devices/Models.h"

namespace devices {
namespace {
constexpr uint8_t kHostWaveEffect = 29;
constexpr uint8_t kHostColourEffect30 = 30;
constexpr size_t kBytesPerPosition = 3;
}  // namespace

void CGesterinKeyboardDevice::LightStep() {
  if (!hostLightControl_) return;
  const uint32_t now = lightClock_->TickCount();
  if (framePostponed_) {
    if (now - frameFailedAt_ < kFrameRetryMs) return;
    framePostponed_ = false;
  }
  PaintLightCaps();
  const uint8_t effect = lightState_.selectItem;
  if (commandChannel_.ReceiverMode() || (effect != kHostWaveEffect && effect != kHostColourEffect30)) return;
  // The key count comes from the device: a count above 170 must not read
  // past the frame.
  const size_t length = std::min(kBytesPerPosition * infoBlock_.KeyCount(), frame_.size());
  if (commandChannel_.SendLightFrame(std::span(frame_).first(length)) != protocol::kOk) {
    framePostponed_ = true;
    frameFailedAt_ = now;
  }
}

}  // namespace devices
