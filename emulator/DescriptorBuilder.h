#pragma once
// Writes HID report descriptors item by item, choosing the shortest encoding
// for each value. The emulated devices describe themselves with it.

#include <cstdint>
#include <vector>

namespace emulator {

namespace collection {
inline constexpr uint8_t kPhysical = 0x00;
inline constexpr uint8_t kApplication = 0x01;
inline constexpr uint8_t kLogical = 0x02;
}  // namespace collection

// Main item flags.
namespace field {
inline constexpr uint8_t kData = 0x00;
inline constexpr uint8_t kConstant = 0x01;
inline constexpr uint8_t kArray = 0x00;
inline constexpr uint8_t kVariable = 0x02;
inline constexpr uint8_t kRelative = 0x04;
}  // namespace field

class DescriptorBuilder {
 public:
  DescriptorBuilder& UsagePage(uint16_t page) { return Unsigned(0x04, page); }
  DescriptorBuilder& Usage(uint16_t usage) { return Unsigned(0x08, usage); }
  DescriptorBuilder& UsageMin(uint16_t usage) { return Unsigned(0x18, usage); }
  DescriptorBuilder& UsageMax(uint16_t usage) { return Unsigned(0x28, usage); }
  DescriptorBuilder& LogicalMin(int32_t v) { return Signed(0x14, v); }
  // Always in a size where the value is also right read as signed (255 is
  // "26 FF 00"), since parsers differ on how they read a maximum.
  DescriptorBuilder& LogicalMax(int32_t v) { return Signed(0x24, v); }
  DescriptorBuilder& ReportSize(uint32_t bits) { return Unsigned(0x74, bits); }
  DescriptorBuilder& ReportCount(uint32_t count) { return Unsigned(0x94, count); }
  DescriptorBuilder& ReportId(uint8_t id) { return Unsigned(0x84, id); }
  DescriptorBuilder& Collection(uint8_t kind) { return Unsigned(0xA0, kind); }
  DescriptorBuilder& EndCollection() { bytes_.push_back(0xC0); return *this; }
  DescriptorBuilder& Input(uint8_t flags) { return Unsigned(0x80, flags); }
  DescriptorBuilder& Output(uint8_t flags) { return Unsigned(0x90, flags); }
  DescriptorBuilder& Feature(uint8_t flags) { return Unsigned(0xB0, flags); }

  const std::vector<uint8_t>& Bytes() const { return bytes_; }

 private:
  DescriptorBuilder& Unsigned(uint8_t prefix, uint32_t v);
  DescriptorBuilder& Signed(uint8_t prefix, int32_t v);
  void Put(uint8_t prefix, uint32_t v, int size);

  std::vector<uint8_t> bytes_;
};

}  // namespace emulator
