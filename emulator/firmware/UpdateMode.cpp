#include "emulator/firmware/UpdateMode.h"

#include <algorithm>

namespace emulator::firmware {

namespace {
uint32_t Le32(std::span<const uint8_t> b, size_t at) {
  uint32_t v = 0;
  for (size_t i = 4; i-- > 0;) v = (v << 8) | b[at + i];
  return v;
}
std::string Refuse(std::span<uint8_t, wire::kSize> reply, std::string why) {
  reply[wire::kStatus] = wire::kStatusFailed;
  return why;
}
}  // namespace

std::string UpdateCode(DeviceModel model) {
  switch (model) {
    case DeviceModel::Mouse: return "RM50C17A";
    case DeviceModel::Keyboard: return "RM50C16A";
    case DeviceModel::Pad: return "RM50C09A_1";
    default: return {};
  }
}

uint32_t DeviceCrc32(std::span<const uint8_t> bytes) {
  uint32_t crc = ~0u;
  for (uint8_t b : bytes) {
    crc ^= b;
    for (int bit = 0; bit < 8; ++bit) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
  }
  return ~crc;
}

void UpdateMode::Reset() {
  active_ = false;
  verified_ = false;
  staged_.clear();
  received_.clear();
}

std::optional<std::optional<uint16_t>> UpdateMode::TakeRestart() {
  auto r = restart_;
  restart_.reset();
  return r;
}

std::string UpdateMode::Answer(std::span<const uint8_t, wire::kSize> request, std::span<uint8_t, wire::kSize> reply) {
  const uint8_t command = request[wire::kCommand];
  const size_t length = request[wire::kLength];
  const auto data = request.subspan(wire::kData);
  if (!IsUpdateCommand(command)) return Refuse(reply, "update mode: only update commands");
  if (command == update::kEnter) {
    if (code_.empty()) return Refuse(reply, "no update support");
    if (viaReceiver_) return Refuse(reply, "update by cable only");
    if (length < update::kCodeBytes + 2) return Refuse(reply, "enter update: short");
    std::string code(reinterpret_cast<const char*>(data.data()), update::kCodeBytes);
    code.resize(std::min(code.size(), code.find('\0')));
    if (code != code_) return Refuse(reply, "enter update: foreign code " + code);
    Reset();
    active_ = true;
    newVersion_ = uint16_t(data[update::kCodeBytes] | data[update::kCodeBytes + 1] << 8);
    staged_.assign(update::kStaging, 0xFF);
    received_.assign(update::kStaging, false);
    return {};
  }
  if (!active_) return Refuse(reply, "not in update mode");
  switch (command) {
    case update::kChunk: {
      const size_t address = wire::Address(request);
      if (length > wire::kDataSize || address + length > update::kStaging) return Refuse(reply, "chunk outside the image");
      std::copy_n(data.begin(), length, staged_.begin() + long(address));
      std::fill_n(received_.begin() + long(address), length, true);
      verified_ = false;
      return {};
    }
    case update::kVerify: {
      if (length < 8) return Refuse(reply, "verify: short");
      const uint32_t total = Le32(data, 0), crc = Le32(data, 4);
      if (total > update::kStaging) return Refuse(reply, "verify: too long");
      if (!std::all_of(received_.begin(), received_.begin() + long(total), [](bool b) { return b; }))
        return Refuse(reply, "verify: image incomplete");
      if (DeviceCrc32(std::span(staged_).first(total)) != crc) return Refuse(reply, "verify: bad CRC");
      verified_ = true;
      return {};
    }
    default: {  // restart
      restart_ = verified_ ? std::optional<uint16_t>(newVersion_) : std::nullopt;
      Reset();
      return {};
    }
  }
}

}  // namespace emulator::firmware
