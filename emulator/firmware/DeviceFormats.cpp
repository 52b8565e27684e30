#include "emulator/firmware/DeviceFormats.h"

namespace emulator::firmware {
namespace {

uint16_t Sum(std::span<const uint8_t, wire::kSize> report) {
  unsigned sum = 0;
  for (size_t i = wire::kSummedFrom; i < wire::kSize; ++i) sum += report[i];
  return uint16_t(sum & 0xFFFF);
}

uint16_t Word(std::span<const uint8_t> bytes, size_t at) {
  return uint16_t(bytes[at] + 256 * bytes[at + 1]);
}

}  // namespace

bool RequestChecksumOk(std::span<const uint8_t, wire::kSize> report) {
  const uint16_t sum = Sum(report);
  return report[wire::kChecksum] == (sum & 0xFF) && report[wire::kChecksum + 1] == (sum >> 8);
}

void SealReply(std::span<uint8_t, wire::kSize> reply) {
  const uint16_t sum = Sum(reply);
  reply[wire::kChecksum] = uint8_t(sum & 0xFF);
  reply[wire::kChecksum + 1] = uint8_t(sum >> 8);
}

std::optional<size_t> AnnouncedImageSize(std::span<const uint8_t> bytes) {
  if (bytes.size() < image::kHeaderSize) return std::nullopt;
  return Word(bytes, image::kTotal);
}

std::optional<EventEntries> DecodeEventImage(std::span<const uint8_t> bytes) {
  using namespace image;
  if (bytes.size() < kHeaderSize) return std::nullopt;
  if (bytes[kMagic] != 0xAA || bytes[kMagic + 1] != 0x55) return std::nullopt;
  const size_t total = Word(bytes, kTotal);
  const size_t count = Word(bytes, kCount);
  if (total > bytes.size()) return std::nullopt;
  for (size_t i = kReservedFrom; i < kReservedTo; ++i)
    if (bytes[i] != 0) return std::nullopt;

  // Walk the entries where they must lie: right after the offset table, one
  // after the other.
  size_t expected = kOffsets + 2 * count;
  if (expected > total) return std::nullopt;
  EventEntries entries;
  entries.reserve(count);
  for (size_t i = 0; i < count; ++i) {
    if (Word(bytes, kOffsets + 2 * i) != expected) return std::nullopt;
    if (expected + kEntryHeader > total) return std::nullopt;
    const size_t events = Word(bytes, expected);
    if (bytes[expected + 2] != 0 || bytes[expected + 3] != 0) return std::nullopt;
    const size_t first = expected + kEntryHeader;
    if (first + kEventBytes * events > total) return std::nullopt;
    std::vector<StoredEvent>& entry = entries.emplace_back();
    entry.reserve(events);
    for (size_t e = 0; e < events; ++e) {
      const size_t at = first + kEventBytes * e;
      entry.push_back({Word(bytes, at), bytes[at + 2], bytes[at + 3]});
    }
    expected = first + kEventBytes * events;
  }
  if (expected != total) return std::nullopt;
  return entries;
}

}  // namespace emulator::firmware
