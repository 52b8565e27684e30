#include "devices/core/KeyboardCore.h"

#include <algorithm>

#include "devices/core/KeyMacros.h"
#include "devices/core/LightEngine.h"
#include "protocol/KeyMap.h"

namespace devices {
namespace {

// Default codes of keys 0..125 (type, value 1, value 2).
constexpr std::array<std::array<uint8_t, 3>, kKeyboardMappedKeys> kDefaultCodes{{
    {0x20, 0x00, 0x29}, {0x20, 0x00, 0x3A}, {0x20, 0x00, 0x3B}, {0x20, 0x00, 0x3C}, {0x20, 0x00, 0x3D},
    {0x20, 0x00, 0x3E}, {0x20, 0x00, 0x3F}, {0x20, 0x00, 0x40}, {0x20, 0x00, 0x41}, {0x20, 0x00, 0x42},
    {0x20, 0x00, 0x43}, {0x20, 0x00, 0x44}, {0x20, 0x00, 0x45}, {0x20, 0x00, 0x46}, {0x20, 0x00, 0x47},
    {0x20, 0x00, 0x48}, {0xA0, 0x1B, 0x00}, {0xA0, 0x24, 0x00}, {0x20, 0x00, 0x00}, {0x20, 0x00, 0x00},
    {0x20, 0x00, 0x00}, {0x20, 0x00, 0x35}, {0x20, 0x00, 0x1E}, {0x20, 0x00, 0x1F}, {0x20, 0x00, 0x20},
    {0x20, 0x00, 0x21}, {0x20, 0x00, 0x22}, {0x20, 0x00, 0x23}, {0x20, 0x00, 0x24}, {0x20, 0x00, 0x25},
    {0x20, 0x00, 0x26}, {0x20, 0x00, 0x27}, {0x20, 0x00, 0x2D}, {0x20, 0x00, 0x2E}, {0x20, 0x00, 0x2A},
    {0x20, 0x00, 0x49}, {0x20, 0x00, 0x4A}, {0x20, 0x00, 0x4B}, {0x20, 0x00, 0x53}, {0x20, 0x00, 0x54},
    {0x20, 0x00, 0x55}, {0x20, 0x00, 0x56}, {0x20, 0x00, 0x2B}, {0x20, 0x00, 0x14}, {0x20, 0x00, 0x1A},
    {0x20, 0x00, 0x08}, {0x20, 0x00, 0x15}, {0x20, 0x00, 0x17}, {0x20, 0x00, 0x1C}, {0x20, 0x00, 0x18},
    {0x20, 0x00, 0x0C}, {0x20, 0x00, 0x12}, {0x20, 0x00, 0x13}, {0x20, 0x00, 0x2F}, {0x20, 0x00, 0x30},
    {0x20, 0x00, 0x31}, {0x20, 0x00, 0x4C}, {0x20, 0x00, 0x4D}, {0x20, 0x00, 0x4E}, {0x20, 0x00, 0x5F},
    {0x20, 0x00, 0x60}, {0x20, 0x00, 0x61}, {0x20, 0x00, 0x32}, {0x20, 0x00, 0x39}, {0x20, 0x00, 0x04},
    {0x20, 0x00, 0x16}, {0x20, 0x00, 0x07}, {0x20, 0x00, 0x09}, {0x20, 0x00, 0x0A}, {0x20, 0x00, 0x0B},
    {0x20, 0x00, 0x0D}, {0x20, 0x00, 0x0E}, {0x20, 0x00, 0x0F}, {0x20, 0x00, 0x33}, {0x20, 0x00, 0x34},
    {0x20, 0x00, 0x28}, {0x20, 0x00, 0x5C}, {0x20, 0x00, 0x5D}, {0x20, 0x00, 0x5E}, {0x20, 0x00, 0x8A},
    {0x20, 0x00, 0x8B}, {0x20, 0x00, 0x90}, {0x20, 0x00, 0x91}, {0x20, 0x00, 0x88}, {0x20, 0x02, 0x00},
    {0x20, 0x00, 0x1D}, {0x20, 0x00, 0x1B}, {0x20, 0x00, 0x06}, {0x20, 0x00, 0x19}, {0x20, 0x00, 0x05},
    {0x20, 0x00, 0x11}, {0x20, 0x00, 0x10}, {0x20, 0x00, 0x36}, {0x20, 0x00, 0x37}, {0x20, 0x00, 0x38},
    {0x20, 0x20, 0x00}, {0x20, 0x00, 0x52}, {0x20, 0x00, 0x59}, {0x20, 0x00, 0x5A}, {0x20, 0x00, 0x5B},
    {0x20, 0x00, 0x87}, {0x20, 0x00, 0x89}, {0x20, 0x00, 0x64}, {0x20, 0x00, 0x85}, {0x20, 0x00, 0x00},
    {0x20, 0x01, 0x00}, {0x20, 0x08, 0x00}, {0x20, 0x04, 0x00}, {0x20, 0x00, 0x2C}, {0x20, 0x40, 0x00},
    {0xA0, 0x01, 0x00}, {0x20, 0x00, 0x65}, {0x20, 0x10, 0x00}, {0x20, 0x00, 0x50}, {0x20, 0x00, 0x51},
    {0x20, 0x00, 0x4F}, {0x20, 0x00, 0x62}, {0x20, 0x00, 0x63}, {0x20, 0x00, 0x58}, {0x20, 0x00, 0x57},
    {0xD0, 0xA2, 0x01}, {0xD0, 0xA2, 0x02}, {0xD0, 0xA2, 0x03}, {0xD0, 0xA2, 0x04}, {0xD0, 0xA2, 0x05},
    {0x20, 0x80, 0x00},
}};
static_assert(kDefaultCodes[125][1] == 0x80 && kDefaultCodes[120][0] == 0xD0);

constexpr int kMaxKeyboardSettingsProfile = (0x10000 - int(kKeyboardSettingsSize)) / kKeyboardProfileStride;
constexpr int kMaxPadSettingsProfile = (0x10000 - int(kPadSettingsSize)) / kPadWriteStride;
constexpr uint8_t kCustomMode = 20;
constexpr uint16_t kProfileSwitchA = 0x10, kProfileSwitchB = 0x11;

// The light's three bytes fit inside the frame of 170 positions.
bool LightFits(uint8_t position) { return position < kKeyboardKeys; }

}  // namespace

std::array<uint8_t, 3> KeyboardDefaultCode(size_t key) {
  return key < kDefaultCodes.size() ? kDefaultCodes[key] : std::array<uint8_t, 3>{0x20, 0x00, 0x00};
}

KeyPositions FindKeyPositions(std::span<const uint8_t> keyMap, std::span<const uint8_t> lightIndex, size_t keyCount) {
  KeyPositions p;
  const size_t count = std::min({keyCount, keyMap.size() / 3, size_t(kNoKeyPosition)});
  std::array<bool, 256> taken{};
  for (size_t j = 0; j < kKeyboardKeys; ++j) {
    const std::array<uint8_t, 3> code = KeyboardDefaultCode(j);
    for (size_t k = 0; k < count; ++k) {
      if (taken[k] || !std::equal(code.begin(), code.end(), keyMap.begin() + ptrdiff_t(3 * k))) continue;
      taken[k] = true;
      p.key[j] = uint8_t(k);
      if (k < lightIndex.size()) p.light[j] = lightIndex[k];
      break;
    }
  }
  return p;
}

std::array<std::optional<uint16_t>, kKeyboardKeys> FramePositions(const KeyPositions& positions) {
  std::array<std::optional<uint16_t>, kKeyboardKeys> out{};
  for (size_t j = 0; j < kKeyboardKeys; ++j)
    if (positions.key[j] != kNoKeyPosition) out[j] = positions.light[j];
  return out;
}

int SendKeyboardFrame(protocol::CCommandChannel& channel, const protocol::LightFrame& frame, size_t keyCount) {
  constexpr size_t kBytesPerPosition = 3;
  const size_t length = std::min(kBytesPerPosition * keyCount, frame.size());
  return channel.SendLightFrame(std::span(frame).first(length));
}

std::array<uint8_t, kPageBytes> BuildColourPage(std::span<const profiles::CustomColor> colours,
                                                const KeyPositions& positions) {
  std::array<uint8_t, kPageBytes> page{};
  for (size_t j = 0; j < colours.size() && j < kKeyboardKeys; ++j) {
    const uint8_t d = positions.light[j];
    if (!LightFits(d)) continue;
    page[3 * d] = colours[j].red;
    page[3 * d + 1] = colours[j].green;
    page[3 * d + 2] = colours[j].blue;
  }
  return page;
}

std::vector<profiles::CustomColor> ColoursFromPage(std::span<const uint8_t> page, const KeyPositions& positions,
                                                   uint8_t brightnessLevel) {
  const uint8_t alpha = uint8_t((lighttables::kBrightness[lighttables::Level5(brightnessLevel)] * 255) >> 8);
  std::vector<profiles::CustomColor> colours(kKeyboardKeys);
  for (size_t j = 0; j < kKeyboardKeys; ++j) {
    const size_t at = 3 * size_t(positions.light[j]);
    if (!LightFits(positions.light[j]) || at + 2 >= page.size()) continue;
    colours[j] = {page[at], page[at + 1], page[at + 2], alpha};
  }
  return colours;
}

// ---- keyboard ------------------------------------------------------------------

KeyboardCore::KeyboardCore(protocol::CCommandChannel& channel, profiles::CKeyboardProfiledata& profile)
    : channel_(channel), profile_(profile) {}

bool KeyboardCore::ReadAll() {
  if (!Usable()) return false;
  channel_.BeginTransfer();
  protocol::DeviceInfoBlock info;
  if (channel_.ReadInfoBlock(info.raw) != protocol::kOk) return false;
  if (!channel_.SetBlockSize(info.KeyMapBlockSize())) return false;
  std::vector<uint8_t> map(channel_.BlockSize());
  std::vector<uint8_t> lights(channel_.BlockSize() / 3);
  if (channel_.ReadKeyMap(map) != protocol::kOk || channel_.ReadKeyLightIndex(lights) != protocol::kOk) return false;
  channel_.EndTransfer();
  info_ = info;
  keyMapImage_ = std::move(map);
  lightIndexImage_ = std::move(lights);
  positions_ = FindKeyPositions(keyMapImage_, lightIndexImage_, info_.KeyCount());
  return true;
}

int KeyboardCore::LoadProfile(const std::filesystem::path& path) {
  profile_.SetProfilePath(path);
  return profile_.LoadProfile(path).isNull() ? 0 : 1;
}

KeyboardSettingsRead KeyboardCore::ReadSettings(profiles::LightInfoRecord& lightState) {
  KeyboardSettingsRead out;
  channel_.SetHoldFlag(false);
  if (!Usable()) return out;
  uint8_t onboard = 0;
  if (channel_.ReadSettings(std::span(&onboard, 1), 0) != protocol::kOk) return out;
  KeyboardSettingsBytes block{};
  if (channel_.ReadSettings(block, uint16_t(onboard * kKeyboardProfileStride)) != protocol::kOk) return out;
  block[lightblock::kFirst] = onboard;
  const KeyboardSettingsIn in = DecodeKeyboardSettings(block, modeValues_);
  if (!in.hostDriven) block[lightblock::kMode] = in.mode;
  block[keyboardblock::kZero] = 0;
  onboardProfile_ = onboard;
  settingsImage_ = block;

  const uint8_t previous = lightState.selectItem;
  if (!in.hostDriven) lightState.selectItem = in.mode;
  lightState.light = in.brightness;
  lightState.speed = in.speed;
  lightState.fx = in.direction;
  lightState.multiColor = in.multiColour;
  lightState.red = in.red;
  lightState.green = in.green;
  lightState.blue = in.blue;
  lightState.zzccLedMode = in.secondaryMode;
  lightState.customGroup = in.customGroup;
  out.modeStarts = lightState.selectItem != previous || lightState.selectItem == kCustomMode;

  profiles::KeyboardSystemSettings system = profile_.GetSystemSettings();
  system.key6Flag = in.sixKey;
  system.wFlag = in.wFlag;
  system.winFlag = in.winLock;
  profile_.SetSystemSettings(system);
  profile_.SetLightInfo(lightState);
  profile_.Save();
  out.result = protocol::kOk;
  return out;
}

int KeyboardCore::WriteSettings(int p, int v) {
  if (p < 0 || p > kMaxKeyboardSettingsProfile) return protocol::kNotWritten;
  KeyboardSettingsOut s;
  s.first = uint8_t(v);
  s.light = profile_.GetLightInfo();
  s.system = profile_.GetSystemSettings();
  const KeyboardSettingsBytes block = EncodeKeyboardSettings(s, modeValues_);
  if (channel_.IsOpen()) channel_.BeginTransfer();
  const int result = channel_.WriteSettings(block, uint16_t(p * kKeyboardProfileStride));
  channel_.EndTransfer();
  return result;
}

bool KeyboardCore::OnProfileSwitch(uint16_t value) {
  const int high = value >> 8;
  if (!channel_.IsOpen() || (high != kProfileSwitchA && high != kProfileSwitchB)) return false;
  onboardProfile_ = uint8_t(value & 0x0F);
  return true;
}

int KeyboardCore::ReadCustomGroups(uint8_t brightnessLevel) {
  if (!Usable() || keyMapImage_.empty()) return 0;
  const size_t length = std::min(keyMapImage_.size(), kPageBytes);
  int read = 0;
  for (size_t g = 0; g < kCustomGroups; ++g) {
    std::vector<uint8_t> page(length);
    if (channel_.ReadKeyColours(page, int(g), uint16_t(kPageBytes)) != protocol::kOk) continue;
    profile_.SetCustomColors(ColoursFromPage(page, positions_, brightnessLevel), int(g));
    ++read;
  }
  if (read > 0) profile_.Save();
  return read;
}

int KeyboardCore::WriteCustomGroup(int group) {
  if (group < 0 || size_t(group) >= kCustomGroups) return protocol::kNotWritten;
  return WriteCustomColours(group, profile_.GetCustomColors(group, int(kKeyboardKeys)));
}

int KeyboardCore::WriteCustomColours(int group, std::span<const profiles::CustomColor> colours) {
  if (group < 0 || size_t(group) >= kCustomGroups) return protocol::kNotWritten;
  const std::array<uint8_t, kPageBytes> page = BuildColourPage(colours, positions_);
  const size_t length = std::min(3 * size_t(info_.KeyCount()), kPageBytes);
  return channel_.WriteKeyColours(std::span(page).first(length), group, uint16_t(kPageBytes));
}

int KeyboardCore::WriteKeyMap(int page, std::span<const profiles::KeyAssignment> keys, int macroCount) {
  // The map is built on the one last read: without it a map of zeros would
  // clear the keyboard's keys.
  if (keyMapImage_.empty()) return protocol::kNoReply;
  const bool open = channel_.IsOpen();
  if (open) {
    protocol::DeviceInfoBlock info;
    if (channel_.ReadInfoBlock(info.raw) == protocol::kOk) info_ = info;
  }
  std::vector<protocol::KeyMapAssignment> list;
  for (size_t j = 0; j < keys.size() && j < kKeyboardMappedKeys; ++j) {
    if (positions_.key[j] == kNoKeyPosition) continue;
    const auto& a = keys[j].assignment;
    const auto& d = keys[j].defaultAssignment;
    list.push_back({positions_.key[j], {a.c0, a.c1, a.c2}, {d.c0, d.c1, d.c2}});
  }
  const protocol::BuiltKeyMap built = protocol::BuildKeyMap(keyMapImage_, list, macroCount);
  if (open) channel_.BeginTransfer();
  const int result = channel_.WriteKeyMap(built.keyMap, page);
  channel_.EndTransfer();
  if (result == protocol::kOk) keyMapImage_ = built.keyMap;
  return result;
}

std::vector<int> KeyboardCore::CollectUsedMacros() {
  const std::vector<profiles::KeyAssignment> keys = profile_.GetKeyList();
  const bool mapRead = !keyMapImage_.empty();
  return CollectKeyMacros(keys, int(Macros().size()), [&](size_t j) {
    return j < kKeyboardMappedKeys && (!mapRead || positions_.key[j] != kNoKeyPosition);
  });
}

bool KeyboardCore::RepairMacroKeys() {
  std::vector<profiles::KeyAssignment> keys = profile_.GetKeyList();
  const bool changed = RepairKeyMacros(keys, int(Macros().size()));
  if (changed) profile_.SetKeyList(keys);
  return changed;
}

int KeyboardCore::WriteMacros(std::span<const int> macros) {
  if (!Usable()) return protocol::kNotWritten;
  protocol::DeviceInfoBlock info;
  if (channel_.ReadInfoBlock(info.raw) != protocol::kOk) return protocol::kNotWritten;
  info_ = info;
  const MacroImage built = BuildMacroImage(macroFolder_, Macros(), macros, info_.MacroMemoryBytes());
  if (built.result != 0 || built.image.empty()) return built.result;
  if (channel_.BeginTransfer() != protocol::kOk) return protocol::kNotWritten;
  const int written = channel_.WriteMacroImage(built.image);
  channel_.EndTransfer();
  return written == protocol::kOk ? 0 : protocol::kNotWritten;
}

KeyboardApplyResult KeyboardCore::ApplyProfile() {
  KeyboardApplyResult r;
  RepairMacroKeys();
  r.settings = WriteSettings(0, 0);
  const std::vector<int> used = CollectUsedMacros();
  r.macros = WriteMacros(used);
  r.keys = WriteKeyMap(0, profile_.GetKeyList(), int(Macros().size()));
  return r;
}

// ---- pad -------------------------------------------------------------------------

bool PadCore::ReadInfo() {
  if (!channel_.IsOpen() || channel_.SuppressIo()) return false;
  channel_.BeginTransfer();
  protocol::DeviceInfoBlock info;
  const bool ok = channel_.ReadInfoBlock(info.raw) == protocol::kOk;
  channel_.EndTransfer();
  return ok;
}

int PadCore::ReadSettings() {
  channel_.SetHoldFlag(false);
  if (!channel_.IsOpen() || channel_.SuppressIo()) return protocol::kNoReply;
  uint8_t onboard = 0;
  if (channel_.ReadSettings(std::span(&onboard, 1), 0) != protocol::kOk) return protocol::kNoReply;
  std::array<uint8_t, kPadReadSize> buffer{};
  if (channel_.ReadSettings(buffer, uint16_t(onboard * kPadReadStride)) != protocol::kOk) return protocol::kNoReply;
  buffer[lightblock::kFirst] = onboard;
  onboardProfile_ = onboard;
  image_ = PadBlockFromDevice(std::span(buffer).first<kPadSettingsSize>(), modeValues_);
  return protocol::kOk;
}

int PadCore::WriteSettings(int p) {
  if (p < 0 || p > kMaxPadSettingsProfile) return protocol::kNotWritten;
  const PadSettingsBytes block = PadBlockToDevice(image_, modeValues_);
  if (channel_.IsOpen()) channel_.BeginTransfer();
  const int result = channel_.WriteSettings(block, uint16_t(p * kPadWriteStride));
  channel_.EndTransfer();
  return result;
}

}  // namespace devices
