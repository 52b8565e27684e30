#include "devices/core/MouseSettingsBlock.h"

#include <algorithm>

namespace devices {

MouseSettingsBytes EncodeMouseSettings(const MouseSettingsOut& s) {
  namespace b = mouseblock;
  MouseSettingsBytes out{};
  out[b::kFirst] = s.first;
  out[b::kMode] = s.light.selectItem >= kMouseBuiltInModes ? 0 : s.light.selectItem;
  out[b::kBrightness] = s.light.light;
  out[b::kSpeed] = uint8_t(b::kSpeedTop - s.light.speed);
  out[b::kDirection] = s.light.fx;
  out[b::kMultiColour] = s.light.multiColor;
  out[b::kRed] = s.light.red;
  out[b::kGreen] = s.light.green;
  out[b::kBlue] = s.light.blue;
  out[b::kPollingRate] = uint8_t(s.system.reportRate);
  out[b::kActiveStage] = s.activeStage;
  const size_t stages = std::min(s.stages.size(), kMouseStageCount);
  for (size_t i = 0; i < stages; ++i) {
    const auto bytes = s.stages[i].Encode();
    std::copy(bytes.begin(), bytes.end(), out.begin() + b::kStages + i * profiles::DpiStage::kSize);
  }
  out[b::kBleSleep1] = uint8_t(s.system.bleSleep1);
  out[b::kBleSleep2] = uint8_t(s.system.bleSleep2);
  out[b::kSleep1] = uint8_t(s.system.deviceSleep1);
  out[b::kSleep2] = uint8_t(s.system.deviceSleep2);
  out[b::kDebounce] = uint8_t(s.system.keyDebounceTime);
  out[b::kLiftOff] = uint8_t(s.system.silentAltitude);
  out[b::kLinearCalibration] = uint8_t(s.system.linearCalibration);
  out[b::kRipple] = uint8_t(s.system.ripple);
  return out;
}

MouseSettingsIn DecodeMouseSettings(std::span<const uint8_t, kMouseSettingsSize> block) {
  namespace b = mouseblock;
  MouseSettingsIn in;
  in.onboardProfile = block[b::kFirst];
  in.modeValue = block[b::kMode];
  in.brightness = block[b::kBrightness];
  in.speed = uint8_t(b::kSpeedTop - block[b::kSpeed]);
  in.multiColour = block[b::kMultiColour];
  in.red = block[b::kRed];
  in.green = block[b::kGreen];
  in.blue = block[b::kBlue];
  in.pollingRate = block[b::kPollingRate];
  in.activeStage = block[b::kActiveStage];
  in.bleSleep1 = block[b::kBleSleep1];
  in.bleSleep2 = block[b::kBleSleep2];
  in.sleep1 = block[b::kSleep1];
  in.sleep2 = block[b::kSleep2];
  in.debounce = block[b::kDebounce];
  in.linearCalibration = block[b::kLinearCalibration];
  in.ripple = block[b::kRipple];
  return in;
}

}  // namespace devices
