#pragma once
// What each light shows now. The light thread (or the synchronised lighting)
// writes it while the UI thread's light step reads it, so each light is one
// atomic 32-bit word: a reader sees a light's old colour or its new one, never
// a mix of both.

#include <atomic>
#include <cstdint>
#include <memory>
#include <span>

#include "protocol/LightFrame.h"

namespace devices {

class LightColourArray {
 public:
  // Zeroes every light. Only while no thread writes or reads the array.
  void Resize(size_t count);
  size_t Size() const { return size_; }
  protocol::LightColour Load(size_t index) const;  // zero for an invalid index
  void Store(size_t index, protocol::LightColour colour);  // ignores an invalid index
  // Stores the first lights of `colours` (as many as both have).
  void Publish(std::span<const protocol::LightColour> colours);
  // Copies the lights into `out` (as many as both have).
  void Snapshot(std::span<protocol::LightColour> out) const;

  static constexpr uint32_t Pack(protocol::LightColour c) {
    return uint32_t(c.c0) | uint32_t(c.c1) << 8 | uint32_t(c.c2) << 16 | uint32_t(c.brightness) << 24;
  }
  static constexpr protocol::LightColour Unpack(uint32_t w) {
    return {uint8_t(w), uint8_t(w >> 8), uint8_t(w >> 16), uint8_t(w >> 24)};
  }

 private:
  std::unique_ptr<std::atomic<uint32_t>[]> words_;
  size_t size_ = 0;
};

}  // namespace devices
