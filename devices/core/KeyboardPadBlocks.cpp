#include "devices/core/KeyboardPadBlocks.h"

#include <algorithm>

#include "profiles/JsonAccess.h"
#include "profiles/JsonFile.h"

namespace devices {
namespace json = profiles::json;

using namespace lightblock;

std::vector<uint8_t> LightModeValues(const std::filesystem::path& catalogue, size_t modelRow) {
  const Json::Value document = profiles::LoadJsonFile(catalogue);
  const Json::Value& modes = json::Element(json::Member(document, "DefaultLightName"), modelRow);
  std::vector<uint8_t> values;
  for (size_t i = 0; i < json::ArraySize(modes); ++i)
    values.push_back(uint8_t(json::ToInt(json::Member(json::Element(modes, i), "value"))));
  return values;
}

uint8_t ModeValueOf(std::span<const uint8_t> values, uint8_t index) {
  if (values.empty()) return index;
  return index < values.size() ? values[index] : values[0];
}

uint8_t ModeIndexOf(std::span<const uint8_t> values, uint8_t value) {
  const auto it = std::find(values.begin(), values.end(), value);
  return it == values.end() ? value : uint8_t(it - values.begin());
}

namespace {
uint8_t StoredSpeed(uint8_t speed) { return uint8_t(kSpeedTop - std::min<uint8_t>(speed, kSpeedTop)); }
uint8_t HostSpeed(uint8_t stored) { return uint8_t(kSpeedTop - std::min<uint8_t>(stored, kSpeedTop)); }
}  // namespace

KeyboardSettingsBytes EncodeKeyboardSettings(const KeyboardSettingsOut& s, std::span<const uint8_t> modeValues) {
  namespace kb = keyboardblock;
  KeyboardSettingsBytes b{};
  const profiles::LightInfoRecord& l = s.light;
  b[kFirst] = s.first;
  b[kMode] = l.selectItem == kHostDrivenModeA || l.selectItem == kHostDrivenModeB
                 ? kHostDrivenModeValue
                 : ModeValueOf(modeValues, l.selectItem);
  b[kBrightness] = l.light;
  b[kSpeed] = StoredSpeed(l.speed);
  b[kDirection] = l.fx;
  b[kMultiColour] = l.multiColor;
  b[kRed] = l.red;
  b[kGreen] = l.green;
  b[kBlue] = l.blue;
  b[kb::kSecondaryMode] = l.zzccLedMode;
  b[kb::kWFlag] = uint8_t(s.system.wFlag);
  b[kb::kSixKey] = uint8_t(s.system.key6Flag);
  b[kb::kWinLock] = uint8_t(s.system.winFlag);
  b[kb::kPollingRate] = uint8_t(s.system.pollingRate);
  b[kb::kCustomGroup] = l.customGroup;
  return b;
}

KeyboardSettingsIn DecodeKeyboardSettings(std::span<const uint8_t, kKeyboardSettingsSize> b,
                                          std::span<const uint8_t> modeValues) {
  namespace kb = keyboardblock;
  KeyboardSettingsIn in;
  in.onboardProfile = b[kFirst];
  // 0xFE is tested before the value is looked up: the catalogue lists it
  // for two modes, and either stays as the host runs it.
  in.hostDriven = b[kMode] == kHostDrivenModeValue;
  in.mode = in.hostDriven ? 0 : ModeIndexOf(modeValues, b[kMode]);
  in.brightness = b[kBrightness];
  in.speed = HostSpeed(b[kSpeed]);
  in.direction = b[kDirection];
  in.multiColour = b[kMultiColour];
  in.red = b[kRed];
  in.green = b[kGreen];
  in.blue = b[kBlue];
  in.secondaryMode = b[kb::kSecondaryMode];
  in.customGroup = b[kb::kCustomGroup];
  in.wFlag = b[kb::kWFlag];
  in.sixKey = b[kb::kSixKey];
  in.winLock = b[kb::kWinLock];
  return in;
}

PadSettingsBytes PadBlockToDevice(const PadSettingsBytes& held, std::span<const uint8_t> modeValues) {
  PadSettingsBytes out = held;
  out[kMode] = ModeValueOf(modeValues, held[kMode]);
  out[kSpeed] = StoredSpeed(held[kSpeed]);
  return out;
}

PadSettingsBytes PadBlockFromDevice(std::span<const uint8_t, kPadSettingsSize> read, std::span<const uint8_t> modeValues) {
  PadSettingsBytes held;
  std::copy(read.begin(), read.end(), held.begin());
  held[kMode] = ModeIndexOf(modeValues, read[kMode]);
  held[kSpeed] = HostSpeed(read[kSpeed]);
  return held;
}

void PutPadLighting(PadSettingsBytes& held, const profiles::LightInfoRecord& l) {
  held[kMode] = l.selectItem;
  held[kBrightness] = l.light;
  held[kSpeed] = l.speed;
  held[kMultiColour] = l.multiColor;
  held[kRed] = l.red;
  held[kGreen] = l.green;
  held[kBlue] = l.blue;
}

}  // namespace devices
