#include "protocol/EventImage.h"

#include "protocol/CommandReport.h"

namespace protocol {

uint16_t ParseDelay(std::string_view delayText) {
  uint32_t delay = 0;
  for (const char c : delayText) {
    if (c < '0' || c > '9') break;
    delay = delay * 10 + uint32_t(c - '0');
    if (delay > 0xFFFF) return 0xFFFF;
  }
  return uint16_t(delay);
}

void PutEvent(std::span<uint8_t, eventimage::kEventSize> out, const PackedMacroEvent& event) {
  PutLe16(out, 0, event.delay);
  out[2] = event.type;
  out[3] = event.button;
}

PackedMacroEvent PackEvent(std::string_view delayText, int type, std::string_view action,
                           int button) {
  PackedMacroEvent e;
  e.delay = ParseDelay(delayText);
  e.type = uint8_t(type);
  if (action == "down") e.type |= eventimage::kPressBit;
  e.button = uint8_t(button);
  return e;
}

size_t EventImageSize(std::span<const std::vector<PackedMacroEvent>> entries) {
  size_t events = 0;
  for (const auto& e : entries) events += e.size();
  return eventimage::kHeaderSize + 6 * entries.size() + eventimage::kEventSize * events;
}

std::vector<uint8_t> BuildEventImage(std::span<const std::vector<PackedMacroEvent>> entries) {
  using namespace eventimage;
  const size_t total = EventImageSize(entries);
  if (total > kMaxEventImageSize) return {};
  std::vector<uint8_t> image(total, 0);
  PutLe16(image, kMagic, kMagicValue);
  PutLe16(image, kTotal, uint16_t(total));
  PutLe16(image, kCount, uint16_t(entries.size()));
  size_t at = kTable + 2 * entries.size();
  for (size_t i = 0; i < entries.size(); ++i) {
    PutLe16(image, kTable + 2 * i, uint16_t(at));
    PutLe16(image, at, uint16_t(entries[i].size()));
    at += kRecordHeader;
    for (const PackedMacroEvent& ev : entries[i]) {
      PutEvent(std::span<uint8_t, kEventSize>(image.data() + at, kEventSize), ev);
      at += kEventSize;
    }
  }
  return image;
}

std::optional<uint32_t> MacroImageOverflow(size_t imageSize, uint32_t capacity) {
  if (imageSize <= capacity) return std::nullopt;
  return uint32_t((imageSize - capacity) / eventimage::kEventSize) + 1;
}

std::optional<std::vector<std::vector<PackedMacroEvent>>> ParseEventImage(
    std::span<const uint8_t> image) {
  using namespace eventimage;
  if (image.size() < kHeaderSize || GetLe16(image, kMagic) != kMagicValue) return std::nullopt;
  const size_t total = GetLe16(image, kTotal);
  const size_t count = GetLe16(image, kCount);
  if (total > image.size() || kTable + 2 * count > total) return std::nullopt;
  std::vector<std::vector<PackedMacroEvent>> entries(count);
  for (size_t i = 0; i < count; ++i) {
    const size_t at = GetLe16(image, kTable + 2 * i);
    if (at + kRecordHeader > total) return std::nullopt;
    const size_t events = GetLe16(image, at);
    if (at + kRecordHeader + kEventSize * events > total) return std::nullopt;
    for (size_t e = 0; e < events; ++e) {
      const size_t ev = at + kRecordHeader + kEventSize * e;
      entries[i].push_back({GetLe16(image, ev), image[ev + 2], image[ev + 3]});
    }
  }
  return entries;
}

}  // namespace protocol
