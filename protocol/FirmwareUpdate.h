#pragma once
// Our firmware update: the image file and the four update commands.
//
// Image file ("Update/<model code>.fw"), little-endian:
//   0   8  magic "VX27FW01"
//   8  16  model code, ASCII, NUL-padded ("RM50C17A")
//   24  2  firmware version (0x0126 is V0126)
//   26  2  zero
//   28  4  payload length (at most 65,536: image addresses are 16-bit)
//   32  4  CRC-32 of the payload (the common reflected 0xEDB88320 one)
//   36     payload
//
// Update commands, each a full exchange of the 64-byte report, address 0
// unless said:
//   0x30 enter update mode: data = model code (16 bytes) + version (LE16)
//   0x31 image chunk: address = byte offset in the image, up to 56 bytes
//   0x32 verify: data = payload length (LE32) + CRC-32 (LE32)
//   0x33 restart: the device leaves, and comes back running the verified
//        image (or its old firmware when nothing was verified)
// A device in update mode answers only these four.

#include <array>
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "protocol/CommandReport.h"

namespace protocol {

class CCommandChannel;

namespace fw {

inline constexpr uint8_t kEnterUpdate = 0x30;
inline constexpr uint8_t kImageChunk = 0x31;
inline constexpr uint8_t kVerify = 0x32;
inline constexpr uint8_t kRestart = 0x33;

inline constexpr std::string_view kMagic = "VX27FW01";
inline constexpr size_t kMagicAt = 0, kCodeAt = 8, kVersionAt = 24, kReservedAt = 26, kLengthAt = 28,
                        kCrcAt = 32, kHeaderSize = 36;
inline constexpr size_t kCodeSize = 16;
inline constexpr size_t kMaxPayload = 0x10000;
inline constexpr uint8_t kChunk = 56;

// Request data offsets (from the report's data byte).
inline constexpr size_t kEnterCodeAt = 0, kEnterVersionAt = 16, kEnterLength = 18;
inline constexpr size_t kVerifyLengthAt = 0, kVerifyCrcAt = 4, kVerifyLength = 8;

uint32_t Crc32(std::span<const uint8_t> bytes);

struct Image {
  std::string code;
  uint16_t version = 0;
  std::vector<uint8_t> payload;
};

enum class ImageError { None, TooShort, BadMagic, BadCode, Reserved, BadLength, TooLarge, BadCrc };
const char* ImageErrorText(ImageError error);

// The file's bytes for an image (its CRC computed); empty when the code is
// longer than 16 bytes or the payload too large.
std::vector<uint8_t> EncodeImageFile(const Image& image);
// Checks magic, code, reserved field, length and CRC.
ImageError DecodeImageFile(std::span<const uint8_t> file, Image& out);

// "V%04X" of a version: 0x0126 gives "V0126".
std::string VersionText(uint16_t version);

// The requests, sealed.
Report EnterUpdateRequest(std::string_view code, uint16_t version);
Report ImageChunkRequest(uint16_t address, std::span<const uint8_t> bytes);
Report VerifyRequest(uint32_t length, uint32_t crc);
Report RestartRequest();

// Where an update stopped.
enum class UpdateStep { Done, Suppressed, Enter, Chunk, Verify, Restart, Cancelled };
struct UpdateResult {
  UpdateStep step = UpdateStep::Done;
  int code = 1;          // the exchange's or the status's result (Results.h)
  uint32_t address = 0;  // the chunk that failed
  bool ok() const { return step == UpdateStep::Done; }
};
// "enter refused (-102)", "chunk at 0x0038 not answered (0)", ...
std::string DescribeFailure(const UpdateResult& result);

// Sends an image over the channel: enter, every chunk in order, verify,
// restart. `progress` gets the percentage sent after each chunk (0..100);
// `cancelled`, asked before each exchange, stops the update (the device stays
// in update mode and keeps its old firmware). A channel whose I/O is
// suppressed sends nothing and fails at once, so an update is never reported
// done without the device having taken it.
UpdateResult SendImage(CCommandChannel& channel, const Image& image, const std::function<void(int)>& progress = {},
                       const std::function<bool()>& cancelled = {});

}  // namespace fw
}  // namespace protocol
