#include "profiles/ProfileRecords.h"

#include "profiles/ByteOrder.h"

namespace profiles {

namespace light_info {
constexpr size_t kSelectItem = 0, kLight = 1, kSpeed = 2, kFx = 3, kMultiColor = 4, kRed = 5,
                 kGreen = 6, kBlue = 7, kUnused = 8, kZzccLedMode = 11, kCustomGroup = 12,
                 kOldLedMode = 13;
}  // namespace light_info

std::array<uint8_t, LightInfoRecord::kSize> LightInfoRecord::Encode() const {
  using namespace light_info;
  std::array<uint8_t, kSize> b{};
  b[kSelectItem] = selectItem;
  b[kLight] = light;
  b[kSpeed] = speed;
  b[kFx] = fx;
  b[kMultiColor] = multiColor;
  b[kRed] = red;
  b[kGreen] = green;
  b[kBlue] = blue;
  for (size_t i = 0; i < unused.size(); ++i) b[kUnused + i] = unused[i];
  b[kZzccLedMode] = zzccLedMode;
  b[kCustomGroup] = customGroup;
  b[kOldLedMode] = oldLedMode;
  return b;
}

LightInfoRecord LightInfoRecord::Decode(std::span<const uint8_t, kSize> b) {
  using namespace light_info;
  LightInfoRecord r;
  r.selectItem = b[kSelectItem];
  r.light = b[kLight];
  r.speed = b[kSpeed];
  r.fx = b[kFx];
  r.multiColor = b[kMultiColor];
  r.red = b[kRed];
  r.green = b[kGreen];
  r.blue = b[kBlue];
  for (size_t i = 0; i < r.unused.size(); ++i) r.unused[i] = b[kUnused + i];
  r.zzccLedMode = b[kZzccLedMode];
  r.customGroup = b[kCustomGroup];
  r.oldLedMode = b[kOldLedMode];
  return r;
}

std::array<uint32_t, 4> LightInfoRecord::ToWords() const {
  const auto b = Encode();
  return {LoadLe32(b, 0), LoadLe32(b, 4), LoadLe32(b, 8), LoadLe16(b, 12)};
}

LightInfoRecord LightInfoRecord::FromWords(uint32_t w0, uint32_t w1, uint32_t w2, uint16_t w3) {
  std::array<uint8_t, kSize> b{};
  StoreLe32(b, 0, w0);
  StoreLe32(b, 4, w1);
  StoreLe32(b, 8, w2);
  StoreLe16(b, 12, w3);
  return Decode(b);
}

namespace audio_light {
constexpr size_t kAudioMode = 0, kBkRed = 1, kBkGreen = 2, kBkBlue = 3, kFgRed = 4, kFgGreen = 5,
                 kFgBlue = 6, kSevenColor = 7, kColorType = 8;
}  // namespace audio_light

std::array<uint8_t, AudioLightRecord::kSize> AudioLightRecord::Encode() const {
  using namespace audio_light;
  std::array<uint8_t, kSize> b{};
  b[kAudioMode] = audioMode;
  b[kBkRed] = bkRed;
  b[kBkGreen] = bkGreen;
  b[kBkBlue] = bkBlue;
  b[kFgRed] = fgRed;
  b[kFgGreen] = fgGreen;
  b[kFgBlue] = fgBlue;
  b[kSevenColor] = sevenColor;
  b[kColorType] = colorType;
  return b;
}

AudioLightRecord AudioLightRecord::Decode(std::span<const uint8_t, kSize> b) {
  using namespace audio_light;
  AudioLightRecord r;
  r.audioMode = b[kAudioMode];
  r.bkRed = b[kBkRed];
  r.bkGreen = b[kBkGreen];
  r.bkBlue = b[kBkBlue];
  r.fgRed = b[kFgRed];
  r.fgGreen = b[kFgGreen];
  r.fgBlue = b[kFgBlue];
  r.sevenColor = b[kSevenColor];
  r.colorType = b[kColorType];
  return r;
}

AudioLightRecord AudioLightRecord::FromWords(uint32_t w0, uint32_t w1, uint8_t b8) {
  std::array<uint8_t, kSize> b{};
  StoreLe32(b, 0, w0);
  StoreLe32(b, 4, w1);
  b[8] = b8;
  return Decode(b);
}

namespace light_mode {
// Bytes 8, 9 and 11..13 are always zero.
constexpr size_t kMode = 0, kBrightness = 1, kSpeed = 2, kDirection = 3, kMultiColor = 4, kRed = 5,
                 kGreen = 6, kBlue = 7, kPresent = 10;
}  // namespace light_mode

std::array<uint8_t, LightModeEntry::kSize> LightModeEntry::Encode() const {
  using namespace light_mode;
  std::array<uint8_t, kSize> b{};
  b[kMode] = mode;
  b[kBrightness] = brightness;
  b[kSpeed] = speed;
  b[kDirection] = direction;
  b[kMultiColor] = multiColor;
  b[kRed] = red;
  b[kGreen] = green;
  b[kBlue] = blue;
  b[kPresent] = present;
  return b;
}

LightModeEntry LightModeEntry::Decode(std::span<const uint8_t, kSize> b) {
  using namespace light_mode;
  LightModeEntry r;
  r.mode = b[kMode];
  r.brightness = b[kBrightness];
  r.speed = b[kSpeed];
  r.direction = b[kDirection];
  r.multiColor = b[kMultiColor];
  r.red = b[kRed];
  r.green = b[kGreen];
  r.blue = b[kBlue];
  r.present = b[kPresent];
  return r;
}

KeyFunction KeyFunction::FromCode(uint16_t keyIndex, uint32_t code) {
  return KeyFunction{keyIndex, uint8_t(code >> 16), uint8_t(code >> 8), uint8_t(code)};
}

namespace key_function {
// Byte 5 of each half is always zero.
constexpr size_t kKeyIndex = 0, kC0 = 2, kC1 = 3, kC2 = 4;
constexpr size_t kAssignment = 0, kDefault = 6;
}  // namespace key_function

std::array<uint8_t, KeyAssignment::kSize> KeyAssignment::Encode() const {
  using namespace key_function;
  std::array<uint8_t, kSize> b{};
  const auto put = [&b](size_t at, const KeyFunction& f) {
    StoreLe16(b, at + kKeyIndex, f.keyIndex);
    b[at + kC0] = f.c0;
    b[at + kC1] = f.c1;
    b[at + kC2] = f.c2;
  };
  put(kAssignment, assignment);
  put(kDefault, defaultAssignment);
  return b;
}

KeyAssignment KeyAssignment::Decode(std::span<const uint8_t, kSize> b) {
  using namespace key_function;
  const auto get = [&b](size_t at) {
    return KeyFunction{LoadLe16(b, at + kKeyIndex), b[at + kC0], b[at + kC1], b[at + kC2]};
  };
  return KeyAssignment{get(kAssignment), get(kDefault)};
}

namespace keyboard_system {
constexpr size_t kRepeat = 0, kRepeatDelay = 2, kKey6Flag = 4, kPollingRate = 6, kWFlag = 8,
                 kWinFlag = 10;
}  // namespace keyboard_system

std::array<uint8_t, KeyboardSystemSettings::kSize> KeyboardSystemSettings::Encode() const {
  using namespace keyboard_system;
  std::array<uint8_t, kSize> b{};
  StoreLe16(b, kRepeat, repeat);
  StoreLe16(b, kRepeatDelay, repeatDelay);
  StoreLe16(b, kKey6Flag, key6Flag);
  StoreLe16(b, kPollingRate, pollingRate);
  StoreLe16(b, kWFlag, wFlag);
  StoreLe16(b, kWinFlag, winFlag);
  return b;
}

KeyboardSystemSettings KeyboardSystemSettings::Decode(std::span<const uint8_t, kSize> b) {
  using namespace keyboard_system;
  KeyboardSystemSettings r;
  r.repeat = LoadLe16(b, kRepeat);
  r.repeatDelay = LoadLe16(b, kRepeatDelay);
  r.key6Flag = LoadLe16(b, kKey6Flag);
  r.pollingRate = LoadLe16(b, kPollingRate);
  r.wFlag = LoadLe16(b, kWFlag);
  r.winFlag = LoadLe16(b, kWinFlag);
  return r;
}

std::array<uint32_t, 3> KeyboardSystemSettings::ToWords() const {
  const auto b = Encode();
  return {LoadLe32(b, 0), LoadLe32(b, 4), LoadLe32(b, 8)};
}

KeyboardSystemSettings KeyboardSystemSettings::FromWords(uint32_t w0, uint32_t w1, uint32_t w2) {
  std::array<uint8_t, kSize> b{};
  StoreLe32(b, 0, w0);
  StoreLe32(b, 4, w1);
  StoreLe32(b, 8, w2);
  return Decode(b);
}

std::array<uint8_t, CustomColor::kSize> CustomColor::Encode() const {
  return {red, green, blue, alpha};
}

CustomColor CustomColor::Decode(std::span<const uint8_t, kSize> b) {
  return CustomColor{b[0], b[1], b[2], b[3]};
}

namespace dpi_stage {
constexpr size_t kActive = 0, kXy = 1, kDpiX = 2, kDpiY = 4, kRed = 6, kGreen = 7, kBlue = 8;
}  // namespace dpi_stage

std::array<uint8_t, DpiStage::kSize> DpiStage::Encode() const {
  using namespace dpi_stage;
  std::array<uint8_t, kSize> b{};
  b[kActive] = active;
  b[kXy] = xy;
  StoreLe16(b, kDpiX, dpiX);
  StoreLe16(b, kDpiY, dpiY);
  b[kRed] = red;
  b[kGreen] = green;
  b[kBlue] = blue;
  return b;
}

DpiStage DpiStage::Decode(std::span<const uint8_t, kSize> b) {
  using namespace dpi_stage;
  DpiStage r;
  r.active = b[kActive];
  r.xy = b[kXy];
  r.dpiX = LoadLe16(b, kDpiX);
  r.dpiY = LoadLe16(b, kDpiY);
  r.red = b[kRed];
  r.green = b[kGreen];
  r.blue = b[kBlue];
  return r;
}

namespace mouse_system {
// Byte offsets of the 16-bit halves; bytes 18-19 and 30-31 are always zero.
constexpr size_t kDoubleClickTime = 0, kMouseSpeed = 2, kPointerPrecision = 4, kScrollPage = 6,
                 kWheelScrollLines = 8, kReportRate = 10, kSilentAltitude = 12,
                 kLinearCalibration = 14, kRipple = 16, kBleSleep1 = 20, kBleSleep2 = 22,
                 kDeviceSleep1 = 24, kDeviceSleep2 = 26, kKeyDebounceTime = 28;
}  // namespace mouse_system

std::array<uint8_t, MouseSystemSettings::kSize> MouseSystemSettings::Encode() const {
  using namespace mouse_system;
  std::array<uint8_t, kSize> b{};
  StoreLe16(b, kDoubleClickTime, doubleClickTime);
  StoreLe16(b, kMouseSpeed, mouseSpeed);
  StoreLe16(b, kPointerPrecision, pointerPrecision);
  StoreLe16(b, kScrollPage, scrollPage);
  StoreLe16(b, kWheelScrollLines, wheelScrollLines);
  StoreLe16(b, kReportRate, reportRate);
  StoreLe16(b, kSilentAltitude, silentAltitude);
  StoreLe16(b, kLinearCalibration, linearCalibration);
  StoreLe16(b, kRipple, ripple);
  StoreLe16(b, kBleSleep1, bleSleep1);
  StoreLe16(b, kBleSleep2, bleSleep2);
  StoreLe16(b, kDeviceSleep1, deviceSleep1);
  StoreLe16(b, kDeviceSleep2, deviceSleep2);
  StoreLe16(b, kKeyDebounceTime, keyDebounceTime);
  return b;
}

MouseSystemSettings MouseSystemSettings::Decode(std::span<const uint8_t, kSize> b) {
  using namespace mouse_system;
  MouseSystemSettings r;
  r.doubleClickTime = LoadLe16(b, kDoubleClickTime);
  r.mouseSpeed = LoadLe16(b, kMouseSpeed);
  r.pointerPrecision = LoadLe16(b, kPointerPrecision);
  r.scrollPage = LoadLe16(b, kScrollPage);
  r.wheelScrollLines = LoadLe16(b, kWheelScrollLines);
  r.reportRate = LoadLe16(b, kReportRate);
  r.silentAltitude = LoadLe16(b, kSilentAltitude);
  r.linearCalibration = LoadLe16(b, kLinearCalibration);
  r.ripple = LoadLe16(b, kRipple);
  r.bleSleep1 = LoadLe16(b, kBleSleep1);
  r.bleSleep2 = LoadLe16(b, kBleSleep2);
  r.deviceSleep1 = LoadLe16(b, kDeviceSleep1);
  r.deviceSleep2 = LoadLe16(b, kDeviceSleep2);
  r.keyDebounceTime = LoadLe16(b, kKeyDebounceTime);
  return r;
}

std::array<uint32_t, 8> MouseSystemSettings::ToWords() const {
  const auto b = Encode();
  std::array<uint32_t, 8> w{};
  for (size_t i = 0; i < w.size(); ++i) w[i] = LoadLe32(b, 4 * i);
  return w;
}

MouseSystemSettings MouseSystemSettings::FromWords(std::span<const uint32_t, 8> words) {
  std::array<uint8_t, kSize> b{};
  for (size_t i = 0; i < words.size(); ++i) StoreLe32(b, 4 * i, words[i]);
  return Decode(b);
}

std::array<uint8_t, HeadsetSettings::kSize> HeadsetSettings::Encode() const {
  std::array<uint8_t, kSize> b{};
  const int32_t values[] = {magicEnable, magicType,   eqType,           customEqSelectIndex,
                            micInSelect, micInValue,  micMonitorSelect, micMonitorValue};
  for (size_t i = 0; i < 8; ++i) StoreLe32(b, 4 * i, uint32_t(values[i]));
  return b;
}

HeadsetSettings HeadsetSettings::Decode(std::span<const uint8_t, kSize> b) {
  HeadsetSettings r;
  int32_t* fields[] = {&r.magicEnable, &r.magicType,  &r.eqType,           &r.customEqSelectIndex,
                       &r.micInSelect, &r.micInValue, &r.micMonitorSelect, &r.micMonitorValue};
  for (size_t i = 0; i < 8; ++i) *fields[i] = int32_t(LoadLe32(b, 4 * i));
  return r;
}

namespace effect_step {
// Bytes 8..15 are always zero.
constexpr size_t kMode = 0, kBrightness = 1, kSpeed = 2, kDirection = 3, kMultiColor = 4, kRed = 5,
                 kGreen = 6, kBlue = 7, kTime = 16, kCycle = 20;
}  // namespace effect_step

std::array<uint8_t, LightEffectStep::kSize> LightEffectStep::Encode() const {
  using namespace effect_step;
  std::array<uint8_t, kSize> b{};
  b[kMode] = mode;
  b[kBrightness] = brightness;
  b[kSpeed] = speed;
  b[kDirection] = direction;
  b[kMultiColor] = multiColor;
  b[kRed] = red;
  b[kGreen] = green;
  b[kBlue] = blue;
  StoreLe32(b, kTime, uint32_t(time));
  StoreLe32(b, kCycle, uint32_t(cycle));
  return b;
}

LightEffectStep LightEffectStep::Decode(std::span<const uint8_t, kSize> b) {
  using namespace effect_step;
  LightEffectStep r;
  r.mode = b[kMode];
  r.brightness = b[kBrightness];
  r.speed = b[kSpeed];
  r.direction = b[kDirection];
  r.multiColor = b[kMultiColor];
  r.red = b[kRed];
  r.green = b[kGreen];
  r.blue = b[kBlue];
  r.time = int32_t(LoadLe32(b, kTime));
  r.cycle = int32_t(LoadLe32(b, kCycle));
  return r;
}

}  // namespace profiles
