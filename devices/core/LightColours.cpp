#include "devices/core/LightColours.h"

#include <algorithm>

namespace devices {

void LightColourArray::Resize(size_t count) {
  words_ = count ? std::make_unique<std::atomic<uint32_t>[]>(count) : nullptr;
  size_ = count;
  for (size_t i = 0; i < size_; ++i) words_[i].store(0, std::memory_order_relaxed);
}

protocol::LightColour LightColourArray::Load(size_t index) const {
  return index < size_ ? Unpack(words_[index].load(std::memory_order_relaxed)) : protocol::LightColour{};
}

void LightColourArray::Store(size_t index, protocol::LightColour colour) {
  if (index < size_) words_[index].store(Pack(colour), std::memory_order_relaxed);
}

void LightColourArray::Publish(std::span<const protocol::LightColour> colours) {
  const size_t n = std::min(size_, colours.size());
  for (size_t i = 0; i < n; ++i) words_[i].store(Pack(colours[i]), std::memory_order_relaxed);
}

void LightColourArray::Snapshot(std::span<protocol::LightColour> out) const {
  const size_t n = std::min(size_, out.size());
  for (size_t i = 0; i < n; ++i) out[i] = Unpack(words_[i].load(std::memory_order_relaxed));
}

}  // namespace devices
