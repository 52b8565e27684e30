#include "emulator/DescriptorBuilder.h"

namespace emulator {

void DescriptorBuilder::Put(uint8_t prefix, uint32_t v, int size) {
  const uint8_t code = size == 4 ? 3 : static_cast<uint8_t>(size);
  bytes_.push_back(static_cast<uint8_t>(prefix | code));
  for (int i = 0; i < size; ++i) bytes_.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

DescriptorBuilder& DescriptorBuilder::Unsigned(uint8_t prefix, uint32_t v) {
  Put(prefix, v, v <= 0xFF ? 1 : v <= 0xFFFF ? 2 : 4);
  return *this;
}

DescriptorBuilder& DescriptorBuilder::Signed(uint8_t prefix, int32_t v) {
  const int size = (v >= -128 && v <= 127) ? 1 : (v >= -32768 && v <= 32767) ? 2 : 4;
  Put(prefix, static_cast<uint32_t>(v), size);
  return *this;
}

}  // namespace emulator
