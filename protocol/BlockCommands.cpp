// Chunked block transfers: settings, key map, key colours, key light index,
// macro and recoil images.

#include <algorithm>

#include "protocol/CommandChannel.h"

namespace protocol {

// Every chunk but the last is full; the request buffer is cleared once, so
// in the last chunk of a write the bytes after its data still hold the
// previous chunk's bytes (and count in the checksum), as the device expects.
namespace {

// Addresses travel as 16 bits: a block reaching past 0xFFFF would wrap round
// to the start of the device's memory, so it is refused before anything is
// sent.
bool AddressesFit(uint32_t base, uint32_t total) {
  return total == 0 || base + total - 1 <= 0xFFFF;
}

}  // namespace

int CCommandChannel::ChunkedRead(const Chunking& c, std::span<uint8_t> destination) {
  if (!AddressesFit(c.baseAddress, c.total)) return kNotWritten;
  Report request = MakeRequest(c.command), reply{};
  for (uint32_t p = 0; p < c.total; p += c.chunk) {
    const uint8_t length = uint8_t(p + c.chunk < c.total ? c.chunk : c.total - p);
    SetChunk(request, length, uint16_t(c.baseAddress + p));
    const int result = Command(request, reply, c.lock);
    if (result != kOk) return result;
    std::copy_n(reply.begin() + report::kData, length, destination.begin() + p);
  }
  return kOk;
}

int CCommandChannel::ChunkedWrite(const Chunking& c, std::span<const uint8_t> source) {
  if (!AddressesFit(c.baseAddress, c.total)) return kNotWritten;
  Report request = MakeRequest(c.command), reply{};
  for (uint32_t p = 0; p < c.total; p += c.chunk) {
    const uint8_t length = uint8_t(p + c.chunk < c.total ? c.chunk : c.total - p);
    SetChunk(request, length, uint16_t(c.baseAddress + p));
    std::copy_n(source.begin() + p, length, request.begin() + report::kData);
    const int result = Command(request, reply, c.lock);
    if (result != kOk) return result;
  }
  return kOk;
}

int CCommandChannel::ReadSettings(std::span<uint8_t> destination, uint16_t baseAddress) {
  return ChunkedRead({cmd::kReadSettings, uint32_t(destination.size()), baseAddress, chunkSize_,
                      &commandLock_},
                     destination);
}

int CCommandChannel::WriteSettings(std::span<const uint8_t> source, uint16_t baseAddress) {
  return ChunkedWrite(
      {cmd::kWriteSettings, uint32_t(source.size()), baseAddress, chunkSize_, &commandLock_},
      source);
}

int CCommandChannel::ReadKeyMap(std::span<uint8_t> destination) {
  const uint32_t total = std::min<uint32_t>(blockSize_, uint32_t(destination.size()));
  return ChunkedRead({cmd::kReadKeyMap, total, 0, chunkSize_, &commandLock_}, destination);
}

int CCommandChannel::WriteKeyMap(std::span<const uint8_t> source, int page) {
  if (page != 0) return kKeyMapPageRefused;
  const uint32_t total = std::min<uint32_t>(blockSize_, uint32_t(source.size()));
  return ChunkedWrite({cmd::kWriteKeyMap, total, uint32_t(page) * 512, chunkSize_, &commandLock_},
                      source);
}

int CCommandChannel::ReadKeyColours(std::span<uint8_t> destination, int page, uint16_t pageSize) {
  return ChunkedRead({cmd::kReadKeyColours, uint32_t(destination.size()),
                      uint32_t(page) * pageSize, chunkSize_, &commandLock_},
                     destination);
}

int CCommandChannel::WriteKeyColours(std::span<const uint8_t> source, int page,
                                     uint16_t pageSize) {
  return ChunkedWrite({cmd::kWriteKeyColours, uint32_t(source.size()), uint32_t(page) * pageSize,
                       chunkSize_, &lightingLock_},
                      source);
}

int CCommandChannel::WriteMacroImage(std::span<const uint8_t> image) {
  return ChunkedWrite(
      {cmd::kWriteMacroImage, uint32_t(image.size()), 0, chunkSize_, &commandLock_}, image);
}

int CCommandChannel::WriteRecoilImage(std::span<const uint8_t> image) {
  // Fixed 56-byte chunks whatever the connection, and no operation lock: each
  // single write and read is still kept whole by ioLock.
  return ChunkedWrite({cmd::kWriteRecoilImage, uint32_t(image.size()), 0, kRecoilChunk, nullptr},
                      image);
}

int CCommandChannel::ReadKeyLightIndex(std::span<uint8_t> destination) {
  const uint32_t total = std::min<uint32_t>(blockSize_ / 3, uint32_t(destination.size()));
  return ChunkedRead({cmd::kReadKeyLightIndex, total, 0, chunkSize_, &commandLock_}, destination);
}

}  // namespace protocol
