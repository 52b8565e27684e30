#pragma once
// The 64-byte request/reply report of the device protocol.
//
// Request: byte 0 report id 0x04; bytes 1-2 checksum (little-endian sum of the
// unsigned bytes 3..63, kept to 16 bits, computed last); byte 3 command id;
// byte 4 data length; bytes 5-6 address (little-endian); byte 7 zero; bytes
// 8..63 data.
// Reply: byte 3 echoes the command id (0xAA from a receiver whose wireless
// device did not answer); byte 7 is the status (0xFF and 0xFE are failures);
// data from byte 8.

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

namespace protocol {

namespace report {
inline constexpr size_t kSize = 64;
inline constexpr size_t kId = 0, kChecksum = 1, kCommand = 3, kLength = 4, kAddress = 5,
                        kStatus = 7, kData = 8;
inline constexpr size_t kDataSize = kSize - kData;  // 56
inline constexpr uint8_t kReportId = 0x04;
inline constexpr uint8_t kReceiverNoDevice = 0xAA;
inline constexpr uint8_t kStatusFailed = 0xFF;
inline constexpr uint8_t kStatusRejected = 0xFE;
}  // namespace report

using Report = std::array<uint8_t, report::kSize>;

// Command ids.
namespace cmd {
inline constexpr uint8_t kBeginTransfer = 0x01;
inline constexpr uint8_t kEndTransfer = 0x02;
inline constexpr uint8_t kReadInfoBlock = 0x03;
inline constexpr uint8_t kWriteInfoBlock = 0x04;
inline constexpr uint8_t kReadSettings = 0x05;
inline constexpr uint8_t kWriteSettings = 0x06;
inline constexpr uint8_t kReadKeyMap = 0x07;
inline constexpr uint8_t kWriteKeyMap = 0x09;
inline constexpr uint8_t kReadKeyColours = 0x0A;
inline constexpr uint8_t kWriteKeyColours = 0x0B;
inline constexpr uint8_t kLightFrame = 0x12;
inline constexpr uint8_t kWriteMacroImage = 0x15;
inline constexpr uint8_t kWriteRecoilImage = 0x17;
inline constexpr uint8_t kReadStatusBlock = 0x1A;
inline constexpr uint8_t kReadKeyLightIndex = 0x1B;
inline constexpr uint8_t kBeginHostLighting = 0x1C;
inline constexpr uint8_t kQueryWirelessLink = 0xAA;
}  // namespace cmd

constexpr uint16_t GetLe16(std::span<const uint8_t> b, size_t at) {
  return uint16_t(b[at] | (b[at + 1] << 8));
}
constexpr void PutLe16(std::span<uint8_t> b, size_t at, uint16_t v) {
  b[at] = uint8_t(v);
  b[at + 1] = uint8_t(v >> 8);
}

// Sum of bytes 3..63, kept to 16 bits.
uint16_t ReportChecksum(std::span<const uint8_t, report::kSize> r);
// Stores the checksum of the report as it stands in bytes 1 and 2.
void SealReport(std::span<uint8_t, report::kSize> r);
// A cleared request with report id, command, length and address set.
Report MakeRequest(uint8_t command, uint8_t length = 0, uint16_t address = 0);
// Sets the length and address of a request in place (chunked transfers reuse
// one request buffer).
void SetChunk(std::span<uint8_t, report::kSize> r, uint8_t length, uint16_t address);
// True when the checksum bytes match the report's content (device side).
bool ChecksumValid(std::span<const uint8_t, report::kSize> r);

// The result of a reply's status byte: kOk, or -102 / -103.
int StatusResult(std::span<const uint8_t, report::kSize> reply);

}  // namespace protocol
