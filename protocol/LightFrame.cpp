#include "protocol/LightFrame.h"

#include <algorithm>

#include "platform/Trace.h"
#include "protocol/CommandChannel.h"

namespace protocol {

void PutLight(LightFrame& frame, size_t position, const LightColour& colour) {
  const size_t at = 3 * position;
  if (at + 3 > frame.size()) return;
  frame[at] = ScaleChannel(colour.c0, colour.brightness);
  frame[at + 1] = ScaleChannel(colour.c1, colour.brightness);
  frame[at + 2] = ScaleChannel(colour.c2, colour.brightness);
}

void BuildLightFrame(std::span<const LightColour> lights,
                     std::span<const std::optional<uint16_t>> positions, LightFrame& frame) {
  frame.fill(0);
  const size_t n = std::min(lights.size(), positions.size());
  for (size_t i = 0; i < n; ++i)
    if (positions[i]) PutLight(frame, *positions[i], lights[i]);
}

// Chunks that find a command exchange in flight are dropped, not queued, so
// that a settings transfer is never held up by the light stream.
int CCommandChannel::SendLightFrame(std::span<const uint8_t> frame) {
  Report request = MakeRequest(cmd::kLightFrame), reply{};
  const uint32_t total = uint32_t(frame.size());
  const uint8_t chunk = chunkSize_;
  for (uint32_t p = 0; p < total; p += chunk) {
    const uint8_t length = uint8_t(p + chunk < total ? chunk : total - p);
    SetChunk(request, length, uint16_t(p));
    std::copy_n(frame.begin() + p, length, request.begin() + report::kData);
    SealReport(request);
    if (busy_) {
      Trace("放弃灯光数据");
      continue;
    }
    int result;
    {
      std::lock_guard guard(lightingLock_);
      result = ExchangeQuick(request, reply);
    }
    if (result != kOk) return result;
    if (const int status = StatusResult(reply); status != kOk) return status;
  }
  return kOk;
}

}  // namespace protocol
