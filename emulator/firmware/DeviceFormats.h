#pragma once
// The byte formats as the device's own firmware reads them: the request
// report's checksum, the reply it seals, and the event images it decodes.
// Written apart from protocol/ on purpose: the host builds these bytes and
// the firmware takes them apart with separate code, so a fault in one side is
// caught by the other instead of passing every round trip unnoticed.

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace emulator::firmware {

// The 64-byte report as the device sees it.
namespace wire {
inline constexpr size_t kSize = 64;
inline constexpr size_t kId = 0;        // report id, always kReportId
inline constexpr size_t kChecksum = 1;  // sum of bytes 3..63, low byte first
inline constexpr size_t kCommand = 3;
inline constexpr size_t kLength = 4;
inline constexpr size_t kAddress = 5;   // low byte first
inline constexpr size_t kStatus = 7;
inline constexpr size_t kData = 8;
inline constexpr size_t kDataSize = kSize - kData;
inline constexpr size_t kSummedFrom = kCommand;
inline constexpr uint8_t kReportId = 0x04;
inline constexpr uint8_t kStatusFailed = 0xFF;
inline constexpr uint8_t kStatusRejected = 0xFE;
inline constexpr uint8_t kReceiverNoDevice = 0xAA;  // in the echo byte

inline uint16_t Address(std::span<const uint8_t, kSize> report) {
  return uint16_t(report[kAddress] + 256 * report[kAddress + 1]);
}
inline void SetAddress(std::span<uint8_t, kSize> report, uint16_t address) {
  report[kAddress] = uint8_t(address & 0xFF);
  report[kAddress + 1] = uint8_t(address >> 8);
}
}  // namespace wire

// The information block bytes the firmware itself acts on.
namespace info {
inline constexpr size_t kKeyCount = 5;     // 3-byte key-map entries
inline constexpr size_t kMacroUnits = 6;   // macro memory in 128-byte units
inline constexpr size_t kMacroUnitBytes = 128;
}  // namespace info

// True when bytes 1 and 2 hold the 16-bit sum of bytes 3 to 63.
bool RequestChecksumOk(std::span<const uint8_t, wire::kSize> report);
// Stores the sum of bytes 3 to 63 in bytes 1 and 2 of a reply.
void SealReply(std::span<uint8_t, wire::kSize> reply);

// One 4-byte event as the device plays it back.
struct StoredEvent {
  uint16_t delay = 0;
  uint8_t type = 0;  // bit 7: a press
  uint8_t button = 0;
};
using EventEntries = std::vector<std::vector<StoredEvent>>;

// Event image header as the device reads it.
namespace image {
inline constexpr size_t kMagic = 0;   // 0x55AA, low byte first
inline constexpr size_t kTotal = 2;   // length of the whole image
inline constexpr size_t kCount = 4;   // entry count N
inline constexpr size_t kReservedFrom = 6, kReservedTo = 16;
inline constexpr size_t kOffsets = 16;  // N offsets from the image start
inline constexpr size_t kHeaderSize = 16;
inline constexpr size_t kEntryHeader = 4;  // event count, 2 reserved bytes
inline constexpr size_t kEventBytes = 4;
}  // namespace image

// The total length an image announces in its header; nothing when fewer than
// the header's bytes are there.
std::optional<size_t> AnnouncedImageSize(std::span<const uint8_t> bytes);

// Decodes an image the way the device plays it back. Strict: the magic, a
// total that is exactly 16 + 6N + 4 × (all events), entries laid back to back
// in table order, and zero reserved bytes; nothing otherwise.
std::optional<EventEntries> DecodeEventImage(std::span<const uint8_t> bytes);

}  // namespace emulator::firmware
