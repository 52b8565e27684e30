#include "macros/HookRecords.h"

namespace macros {

namespace {

namespace kbd {
constexpr size_t kVk = 0, kScan = 4, kFlags = 8, kTime = 12;
}
namespace mouse {
constexpr size_t kX = 0, kY = 4, kMouseData = 20;
}

void Put32(std::span<uint8_t> b, size_t at, uint32_t v) {
  for (size_t i = 0; i < 4; ++i) b[at + i] = uint8_t(v >> (8 * i));
}
uint32_t Get32(std::span<const uint8_t> b, size_t at) {
  uint32_t v = 0;
  for (size_t i = 0; i < 4; ++i) v |= uint32_t(b[at + i]) << (8 * i);
  return v;
}

}  // namespace

KeyboardHookRecord Encode(const KeyboardHookData& data) {
  KeyboardHookRecord r{};
  Put32(r, kbd::kVk, data.vkCode);
  Put32(r, kbd::kScan, data.scanCode);
  Put32(r, kbd::kFlags, data.flags);
  Put32(r, kbd::kTime, data.time);
  return r;
}

KeyboardHookData DecodeKeyboard(std::span<const uint8_t, 24> r) {
  return {Get32(r, kbd::kVk), Get32(r, kbd::kScan), Get32(r, kbd::kFlags), Get32(r, kbd::kTime)};
}

MouseHookRecord Encode(const MouseHookData& data) {
  MouseHookRecord r{};
  Put32(r, mouse::kX, uint32_t(data.x));
  Put32(r, mouse::kY, uint32_t(data.y));
  Put32(r, mouse::kMouseData, data.mouseData);
  return r;
}

MouseHookData DecodeMouse(std::span<const uint8_t, 24> r) {
  return {int32_t(Get32(r, mouse::kX)), int32_t(Get32(r, mouse::kY)), Get32(r, mouse::kMouseData)};
}

}  // namespace macros
