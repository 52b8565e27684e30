#include "emulator/firmware/DeviceMemory.h"

#include <algorithm>
#include <string_view>

namespace emulator::firmware {
namespace {

using Code = std::array<uint8_t, 3>;

// Keys 0 to 125 of the keyboard in key-map position order.
constexpr std::array<Code, 126> kKeyboardCodes{{
    {0x20, 0x00, 0x29}, {0x20, 0x00, 0x3A}, {0x20, 0x00, 0x3B}, {0x20, 0x00, 0x3C},
    {0x20, 0x00, 0x3D}, {0x20, 0x00, 0x3E}, {0x20, 0x00, 0x3F}, {0x20, 0x00, 0x40},
    {0x20, 0x00, 0x41}, {0x20, 0x00, 0x42}, {0x20, 0x00, 0x43}, {0x20, 0x00, 0x44},
    {0x20, 0x00, 0x45}, {0x20, 0x00, 0x46}, {0x20, 0x00, 0x47}, {0x20, 0x00, 0x48},
    {0xA0, 0x1B, 0x00}, {0xA0, 0x24, 0x00}, {0x20, 0x00, 0x00}, {0x20, 0x00, 0x00},
    {0x20, 0x00, 0x00}, {0x20, 0x00, 0x35}, {0x20, 0x00, 0x1E}, {0x20, 0x00, 0x1F},
    {0x20, 0x00, 0x20}, {0x20, 0x00, 0x21}, {0x20, 0x00, 0x22}, {0x20, 0x00, 0x23},
    {0x20, 0x00, 0x24}, {0x20, 0x00, 0x25}, {0x20, 0x00, 0x26}, {0x20, 0x00, 0x27},
    {0x20, 0x00, 0x2D}, {0x20, 0x00, 0x2E}, {0x20, 0x00, 0x2A}, {0x20, 0x00, 0x49},
    {0x20, 0x00, 0x4A}, {0x20, 0x00, 0x4B}, {0x20, 0x00, 0x53}, {0x20, 0x00, 0x54},
    {0x20, 0x00, 0x55}, {0x20, 0x00, 0x56}, {0x20, 0x00, 0x2B}, {0x20, 0x00, 0x14},
    {0x20, 0x00, 0x1A}, {0x20, 0x00, 0x08}, {0x20, 0x00, 0x15}, {0x20, 0x00, 0x17},
    {0x20, 0x00, 0x1C}, {0x20, 0x00, 0x18}, {0x20, 0x00, 0x0C}, {0x20, 0x00, 0x12},
    {0x20, 0x00, 0x13}, {0x20, 0x00, 0x2F}, {0x20, 0x00, 0x30}, {0x20, 0x00, 0x31},
    {0x20, 0x00, 0x4C}, {0x20, 0x00, 0x4D}, {0x20, 0x00, 0x4E}, {0x20, 0x00, 0x5F},
    {0x20, 0x00, 0x60}, {0x20, 0x00, 0x61}, {0x20, 0x00, 0x32}, {0x20, 0x00, 0x39},
    {0x20, 0x00, 0x04}, {0x20, 0x00, 0x16}, {0x20, 0x00, 0x07}, {0x20, 0x00, 0x09},
    {0x20, 0x00, 0x0A}, {0x20, 0x00, 0x0B}, {0x20, 0x00, 0x0D}, {0x20, 0x00, 0x0E},
    {0x20, 0x00, 0x0F}, {0x20, 0x00, 0x33}, {0x20, 0x00, 0x34}, {0x20, 0x00, 0x28},
    {0x20, 0x00, 0x5C}, {0x20, 0x00, 0x5D}, {0x20, 0x00, 0x5E}, {0x20, 0x00, 0x8A},
    {0x20, 0x00, 0x8B}, {0x20, 0x00, 0x90}, {0x20, 0x00, 0x91}, {0x20, 0x00, 0x88},
    {0x20, 0x02, 0x00}, {0x20, 0x00, 0x1D}, {0x20, 0x00, 0x1B}, {0x20, 0x00, 0x06},
    {0x20, 0x00, 0x19}, {0x20, 0x00, 0x05}, {0x20, 0x00, 0x11}, {0x20, 0x00, 0x10},
    {0x20, 0x00, 0x36}, {0x20, 0x00, 0x37}, {0x20, 0x00, 0x38}, {0x20, 0x20, 0x00},
    {0x20, 0x00, 0x52}, {0x20, 0x00, 0x59}, {0x20, 0x00, 0x5A}, {0x20, 0x00, 0x5B},
    {0x20, 0x00, 0x87}, {0x20, 0x00, 0x89}, {0x20, 0x00, 0x64}, {0x20, 0x00, 0x85},
    {0x20, 0x00, 0x00}, {0x20, 0x01, 0x00}, {0x20, 0x08, 0x00}, {0x20, 0x04, 0x00},
    {0x20, 0x00, 0x2C}, {0x20, 0x40, 0x00}, {0xA0, 0x01, 0x00}, {0x20, 0x00, 0x65},
    {0x20, 0x10, 0x00}, {0x20, 0x00, 0x50}, {0x20, 0x00, 0x51}, {0x20, 0x00, 0x4F},
    {0x20, 0x00, 0x62}, {0x20, 0x00, 0x63}, {0x20, 0x00, 0x58}, {0x20, 0x00, 0x57},
    {0xD0, 0xA2, 0x01}, {0xD0, 0xA2, 0x02}, {0xD0, 0xA2, 0x03}, {0xD0, 0xA2, 0x04},
    {0xD0, 0xA2, 0x05}, {0x20, 0x80, 0x00},
}};

// Buttons 0 to 10 of the mouse: left, right, middle, forward, back, DPI up,
// DPI down, DPI loop, game mode, M8, fire.
constexpr std::array<Code, 11> kMouseCodes{{
    {0x10, 0x01, 0x00}, {0x10, 0x02, 0x00}, {0x10, 0x04, 0x00}, {0x10, 0x10, 0x00},
    {0x10, 0x08, 0x00}, {0x13, 0x01, 0x00}, {0x13, 0x02, 0x00}, {0x13, 0x03, 0x00},
    {0xA0, 0x1B, 0x00}, {0x16, 0x90, 0x01}, {0x14, 0x78, 0x02},
}};

// Offsets of the mouse's 86-byte settings block that the factory sets.
namespace mouseblock {
constexpr size_t kPollingRate = 11, kActiveStage = 12, kStages = 14, kStageSize = 9,
                 kSleepAndDebounce = 77;
}  // namespace mouseblock

// The factory profile's DPI stages: slider step and colour.
struct Stage {
  uint16_t step;
  uint8_t r, g, b;
};
constexpr std::array<Stage, 7> kMouseStages{{
    {1, 255, 0, 0}, {10, 0, 255, 0}, {26, 0, 0, 255}, {42, 255, 255, 0},
    {56, 0, 255, 255}, {72, 255, 0, 255}, {88, 255, 255, 255},
}};

void PutKeyMap(DeviceMemory& m, std::span<const Code> codes) {
  for (size_t k = 0; k < codes.size(); ++k) {
    std::copy(codes[k].begin(), codes[k].end(), m.keyMap.begin() + 3 * k);
    m.keyLightIndex[k] = uint8_t(k);  // LED k sits under the key at position k
  }
}

// The lighting bytes shared by every settings block: mode value, brightness,
// speed (stored as 4 − speed), direction, multi-colour flag, red, green, blue.
void PutLighting(std::span<uint8_t> block, uint8_t mode) {
  const uint8_t speed = 2;
  const uint8_t bytes[] = {mode, 4, uint8_t(4 - speed), 1, 1, 255, 0, 0};
  std::copy(std::begin(bytes), std::end(bytes), block.begin() + 1);
}

}  // namespace

std::span<const std::array<uint8_t, 3>> KeyboardDefaultCodes() { return kKeyboardCodes; }
std::span<const std::array<uint8_t, 3>> MouseDefaultCodes() { return kMouseCodes; }

SettingsGeometry SettingsGeometryOf(DeviceModel model) {
  switch (model) {
    case DeviceModel::Mouse: return {128, 86, 128, 86};
    case DeviceModel::Keyboard: return {25, 45, 25, 45};
    case DeviceModel::Pad:
    case DeviceModel::Headset: return {25, 45, 64, 21};
  }
  return {25, 45, 25, 45};
}

namespace {

constexpr std::string_view kMemoryMagic = "VX27MEM1";

void PutArea(std::vector<uint8_t>& out, std::span<const uint8_t> area) {
  const uint32_t n = uint32_t(area.size());
  for (int i = 0; i < 4; ++i) out.push_back(uint8_t(n >> (8 * i)));
  out.insert(out.end(), area.begin(), area.end());
}

// Reads one area; a fixed-size area must have exactly its size.
class AreaReader {
 public:
  explicit AreaReader(std::span<const uint8_t> bytes) : bytes_(bytes) {}
  std::optional<std::span<const uint8_t>> Next(size_t limit) {
    if (at_ + 4 > bytes_.size()) return std::nullopt;
    uint32_t n = 0;
    for (int i = 0; i < 4; ++i) n |= uint32_t(bytes_[at_ + size_t(i)]) << (8 * i);
    at_ += 4;
    if (n > limit || at_ + n > bytes_.size()) return std::nullopt;
    auto area = bytes_.subspan(at_, n);
    at_ += n;
    return area;
  }
  bool Fixed(std::span<uint8_t> into) {
    auto area = Next(into.size());
    if (!area || area->size() != into.size()) return false;
    std::copy(area->begin(), area->end(), into.begin());
    return true;
  }
  bool Vector(std::vector<uint8_t>& into, size_t limit) {
    auto area = Next(limit);
    if (!area) return false;
    into.assign(area->begin(), area->end());
    return true;
  }
  bool AtEnd() const { return at_ == bytes_.size(); }

 private:
  std::span<const uint8_t> bytes_;
  size_t at_ = 0;
};

}  // namespace

std::vector<uint8_t> SaveMemory(const DeviceMemory& m) {
  std::vector<uint8_t> out(kMemoryMagic.begin(), kMemoryMagic.end());
  const uint8_t header[] = {uint8_t(m.model), uint8_t(m.transferOpen), uint8_t(m.hostLighting),
                            uint8_t(m.transfers), uint8_t(m.transfers >> 8),
                            uint8_t(m.transfers >> 16), uint8_t(m.transfers >> 24),
                            uint8_t(m.lightFrameChunks), uint8_t(m.lightFrameChunks >> 8),
                            uint8_t(m.lightFrameChunks >> 16), uint8_t(m.lightFrameChunks >> 24)};
  PutArea(out, header);
  PutArea(out, m.info.raw);
  PutArea(out, m.settings);
  PutArea(out, m.keyMap);
  PutArea(out, m.keyLightIndex);
  PutArea(out, m.colours);
  PutArea(out, m.lightFrame);
  PutArea(out, m.status);
  PutArea(out, m.macroImage);
  PutArea(out, m.recoilImage);
  return out;
}

bool LoadMemory(std::span<const uint8_t> bytes, DeviceMemory& memory) {
  if (bytes.size() < kMemoryMagic.size() ||
      !std::equal(kMemoryMagic.begin(), kMemoryMagic.end(), bytes.begin()))
    return false;
  AreaReader r(bytes.subspan(kMemoryMagic.size()));
  DeviceMemory m = memory;
  std::array<uint8_t, 11> header{};
  if (!r.Fixed(header) || header[0] != uint8_t(memory.model)) return false;
  m.transferOpen = header[1] != 0;
  m.hostLighting = header[2] != 0;
  auto le32 = [&](size_t at) {
    return uint32_t(header[at]) | uint32_t(header[at + 1]) << 8 | uint32_t(header[at + 2]) << 16 |
           uint32_t(header[at + 3]) << 24;
  };
  m.transfers = le32(3);
  m.lightFrameChunks = le32(7);
  const bool ok = r.Fixed(m.info.raw) && r.Fixed(m.settings) && r.Fixed(m.keyMap) &&
                  r.Fixed(m.keyLightIndex) && r.Fixed(m.colours) && r.Fixed(m.lightFrame) &&
                  r.Vector(m.status, 6) && r.Vector(m.macroImage, 255 * 128) &&
                  r.Vector(m.recoilImage, kRecoilImageCapacity) && r.AtEnd();
  if (!ok) return false;
  m.macros.reset();
  m.recoil.reset();
  if (!m.macroImage.empty()) m.macros = DecodeEventImage(m.macroImage);
  if (!m.recoilImage.empty()) m.recoil = DecodeEventImage(m.recoilImage);
  memory = std::move(m);
  return true;
}

DeviceMemory FactoryMemory(DeviceModel model) {
  DeviceMemory m;
  m.model = model;
  m.info.SetMagic(protocol::infoblock::kMagicValue);
  m.info.SetFormat(protocol::infoblock::kFormatInitialised);
  std::span<uint8_t> block(m.settings.data(), SettingsGeometryOf(model).readLength);
  switch (model) {
    case DeviceModel::Mouse: {
      m.info.SetKeyCount(uint8_t(kMouseCodes.size()));
      m.info.SetMacroMemoryUnits(0x20);
      m.info.SetSensorId(0x3104);
      m.info.SetDpiStep(50);
      m.info.SetDpiBound(110);
      m.info.SetDpiBase(100);
      PutKeyMap(m, kMouseCodes);
      PutLighting(block, 1);
      block[mouseblock::kPollingRate] = 0;
      block[mouseblock::kActiveStage] = 1;
      for (size_t i = 0; i < kMouseStages.size(); ++i) {
        // enabled, separate-XY flag, DPI X and Y (16-bit LE), red, green, blue
        const size_t at = mouseblock::kStages + mouseblock::kStageSize * i;
        const Stage& s = kMouseStages[i];
        const uint8_t stage[] = {1, 0, uint8_t(s.step), uint8_t(s.step >> 8),
                                 uint8_t(s.step), uint8_t(s.step >> 8), s.r, s.g, s.b};
        std::copy(std::begin(stage), std::end(stage), block.begin() + at);
      }
      // Bluetooth sleep 1 and 2, sleep 1 and 2, key debounce time.
      const uint8_t sleepAndDebounce[] = {1, 10, 1, 10, 4};
      std::copy(std::begin(sleepAndDebounce), std::end(sleepAndDebounce),
                block.begin() + mouseblock::kSleepAndDebounce);
      m.status = {85, 2};
      break;
    }
    case DeviceModel::Keyboard:
      m.info.SetKeyCount(uint8_t(kKeyboardCodes.size()));
      m.info.SetMacroMemoryUnits(0x40);
      PutKeyMap(m, kKeyboardCodes);
      PutLighting(block, 1);
      m.status = {90, 0, 0, 0, 0, 1};
      break;
    case DeviceModel::Pad:
      PutLighting(block, 0);
      break;  // no status block
    case DeviceModel::Headset:
      PutLighting(block, 0);
      m.status = {100, 0, 0, 0, 0, 0};
      break;
  }
  return m;
}

}  // namespace emulator::firmware
