#include "protocol/FirmwareUpdate.h"

#include <algorithm>
#include <cstdio>

#include "protocol/CommandChannel.h"

namespace protocol::fw {

namespace {

uint32_t GetLe32(std::span<const uint8_t> b, size_t at) {
  return uint32_t(b[at]) | uint32_t(b[at + 1]) << 8 | uint32_t(b[at + 2]) << 16 | uint32_t(b[at + 3]) << 24;
}
void PutLe32(std::span<uint8_t> b, size_t at, uint32_t v) {
  for (size_t i = 0; i < 4; ++i) b[at + i] = uint8_t(v >> (8 * i));
}

}  // namespace

uint32_t Crc32(std::span<const uint8_t> bytes) {
  static const std::array<uint32_t, 256> table = [] {
    std::array<uint32_t, 256> t{};
    for (uint32_t i = 0; i < 256; ++i) {
      uint32_t c = i;
      for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
      t[i] = c;
    }
    return t;
  }();
  uint32_t crc = 0xFFFFFFFFu;
  for (uint8_t b : bytes) crc = table[(crc ^ b) & 0xFF] ^ (crc >> 8);
  return crc ^ 0xFFFFFFFFu;
}

const char* ImageErrorText(ImageError error) {
  switch (error) {
    case ImageError::None: return "ok";
    case ImageError::TooShort: return "shorter than its header";
    case ImageError::BadMagic: return "not an update image";
    case ImageError::BadCode: return "no model code";
    case ImageError::Reserved: return "reserved field not zero";
    case ImageError::BadLength: return "length does not match the file";
    case ImageError::TooLarge: return "payload larger than 64 KiB";
    case ImageError::BadCrc: return "CRC does not match";
  }
  return "?";
}

std::vector<uint8_t> EncodeImageFile(const Image& image) {
  if (image.code.empty() || image.code.size() > kCodeSize || image.payload.size() > kMaxPayload) return {};
  std::vector<uint8_t> file(kHeaderSize + image.payload.size(), 0);
  std::copy(kMagic.begin(), kMagic.end(), file.begin() + kMagicAt);
  std::copy(image.code.begin(), image.code.end(), file.begin() + kCodeAt);
  PutLe16(file, kVersionAt, image.version);
  PutLe32(file, kLengthAt, uint32_t(image.payload.size()));
  PutLe32(file, kCrcAt, Crc32(image.payload));
  std::copy(image.payload.begin(), image.payload.end(), file.begin() + kHeaderSize);
  return file;
}

ImageError DecodeImageFile(std::span<const uint8_t> file, Image& out) {
  if (file.size() < kHeaderSize) return ImageError::TooShort;
  if (!std::equal(kMagic.begin(), kMagic.end(), file.begin() + kMagicAt)) return ImageError::BadMagic;
  const auto codeBytes = file.subspan(kCodeAt, kCodeSize);
  const size_t codeLength = size_t(std::find(codeBytes.begin(), codeBytes.end(), 0) - codeBytes.begin());
  if (codeLength == 0) return ImageError::BadCode;
  if (GetLe16(file, kReservedAt) != 0) return ImageError::Reserved;
  const uint32_t length = GetLe32(file, kLengthAt);
  if (length > kMaxPayload) return ImageError::TooLarge;
  if (file.size() - kHeaderSize != length) return ImageError::BadLength;
  const auto payload = file.subspan(kHeaderSize);
  if (Crc32(payload) != GetLe32(file, kCrcAt)) return ImageError::BadCrc;
  out.code.assign(reinterpret_cast<const char*>(codeBytes.data()), codeLength);
  out.version = GetLe16(file, kVersionAt);
  out.payload.assign(payload.begin(), payload.end());
  return ImageError::None;
}

std::string VersionText(uint16_t version) {
  char text[8];
  std::snprintf(text, sizeof text, "V%04X", unsigned(version));
  return text;
}

Report EnterUpdateRequest(std::string_view code, uint16_t version) {
  Report r = MakeRequest(kEnterUpdate, uint8_t(kEnterLength), 0);
  const auto data = std::span(r).subspan(report::kData);
  std::copy_n(code.begin(), std::min(code.size(), kCodeSize), data.begin() + kEnterCodeAt);
  PutLe16(data, kEnterVersionAt, version);
  SealReport(r);
  return r;
}

Report ImageChunkRequest(uint16_t address, std::span<const uint8_t> bytes) {
  const size_t n = std::min<size_t>(bytes.size(), report::kDataSize);
  Report r = MakeRequest(kImageChunk, uint8_t(n), address);
  std::copy_n(bytes.begin(), n, r.begin() + report::kData);
  SealReport(r);
  return r;
}

Report VerifyRequest(uint32_t length, uint32_t crc) {
  Report r = MakeRequest(kVerify, uint8_t(kVerifyLength), 0);
  const auto data = std::span(r).subspan(report::kData);
  PutLe32(data, kVerifyLengthAt, length);
  PutLe32(data, kVerifyCrcAt, crc);
  SealReport(r);
  return r;
}

Report RestartRequest() {
  Report r = MakeRequest(kRestart);
  SealReport(r);
  return r;
}

std::string DescribeFailure(const UpdateResult& result) {
  const char* what = "";
  switch (result.step) {
    case UpdateStep::Done: return "done";
    case UpdateStep::Suppressed: return "device I/O suspended";
    case UpdateStep::Cancelled: return "cancelled";
    case UpdateStep::Enter: what = "enter"; break;
    case UpdateStep::Chunk: what = "chunk"; break;
    case UpdateStep::Verify: what = "verify"; break;
    case UpdateStep::Restart: what = "restart"; break;
  }
  std::string text = what;
  if (result.step == UpdateStep::Chunk) {
    char at[16];
    std::snprintf(at, sizeof at, " at 0x%04X", unsigned(result.address));
    text += at;
  }
  text += result.code == kStatusFailed || result.code == kStatusRejected ? " refused" : " not answered";
  return text + " (" + std::to_string(result.code) + ")";
}

UpdateResult SendImage(CCommandChannel& channel, const Image& image, const std::function<void(int)>& progress,
                       const std::function<bool()>& cancelled) {
  if (channel.SuppressIo()) return {UpdateStep::Suppressed, kNoReply, 0};
  if (image.payload.size() > kMaxPayload) return {UpdateStep::Enter, kNotWritten, 0};
  std::lock_guard guard(channel.CommandLock());
  const auto exchange = [&](const Report& request) {
    Report reply{};
    const int result = channel.Exchange(request, reply);
    return result == kOk ? StatusResult(reply) : result;
  };
  const auto stop = [&] { return cancelled && cancelled(); };

  if (stop()) return {UpdateStep::Cancelled, kNoReply, 0};
  if (int r = exchange(EnterUpdateRequest(image.code, image.version)); r != kOk) return {UpdateStep::Enter, r, 0};
  const size_t total = image.payload.size();
  for (size_t at = 0; at < total; at += kChunk) {
    if (stop()) return {UpdateStep::Cancelled, kNoReply, uint32_t(at)};
    const auto bytes = std::span(image.payload).subspan(at, std::min<size_t>(kChunk, total - at));
    if (int r = exchange(ImageChunkRequest(uint16_t(at), bytes)); r != kOk) return {UpdateStep::Chunk, r, uint32_t(at)};
    if (progress) progress(int((at + bytes.size()) * 100 / total));
  }
  if (stop()) return {UpdateStep::Cancelled, kNoReply, 0};
  if (int r = exchange(VerifyRequest(uint32_t(total), Crc32(image.payload))); r != kOk) return {UpdateStep::Verify, r, 0};
  if (int r = exchange(RestartRequest()); r != kOk) return {UpdateStep::Restart, r, 0};
  return {};
}

}  // namespace protocol::fw
