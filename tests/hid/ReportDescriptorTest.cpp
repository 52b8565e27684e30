// The report descriptor parser on real descriptors and on malformed input.

#include <gtest/gtest.h>

#include "hid/ReportDescriptor.h"
#include "tests/hid/Fixtures.h"

namespace hid {
namespace {

std::vector<ReportField> FieldsOf(const TopLevelCollection& c, ReportType type) {
  std::vector<ReportField> out;
  for (const ReportField& f : c.fields)
    if (f.type == type) out.push_back(f);
  return out;
}

TEST(ReportDescriptor, BootKeyboard) {
  auto parsed = ParseReportDescriptor(fixtures::kBootKeyboard);
  ASSERT_TRUE(parsed);
  ASSERT_EQ(parsed->collections.size(), 1u);
  const TopLevelCollection& kb = parsed->collections[0];
  EXPECT_EQ(kb.usagePage, 0x01);
  EXPECT_EQ(kb.usage, 0x06);
  EXPECT_FALSE(parsed->usesReportIds);
  // 8 bytes of input and one of LEDs, each with the id byte in front.
  EXPECT_EQ(kb.ReportByteLength(ReportType::Input), 9);
  EXPECT_EQ(kb.ReportByteLength(ReportType::Output), 2);
  EXPECT_EQ(kb.ReportByteLength(ReportType::Feature), 0);

  const auto in = FieldsOf(kb, ReportType::Input);
  ASSERT_EQ(in.size(), 2u);  // the reserved byte is padding, not a capability
  EXPECT_TRUE(in[0].isButton && !in[0].isArray && in[0].isRange);
  EXPECT_EQ(in[0].usagePage, 0x07);
  EXPECT_EQ(in[0].usageMin, 0xE0);
  EXPECT_EQ(in[0].usageMax, 0xE7);
  EXPECT_EQ(in[0].reportCount, 8);
  EXPECT_EQ(in[0].bitOffset, 0u);
  EXPECT_TRUE(in[1].isButton && in[1].isArray);
  EXPECT_EQ(in[1].usageMin, 0x00);
  EXPECT_EQ(in[1].usageMax, 0x65);
  EXPECT_EQ(in[1].bitOffset, 16u);
  EXPECT_EQ(in[1].bitSize, 8);
  EXPECT_EQ(in[1].reportCount, 6);

  const auto out = FieldsOf(kb, ReportType::Output);
  ASSERT_EQ(out.size(), 1u);
  EXPECT_EQ(out[0].usagePage, 0x08);
  EXPECT_EQ(out[0].usageMax, 5);
}

TEST(ReportDescriptor, BootMouseKeepsNestedCollectionInside) {
  auto parsed = ParseReportDescriptor(fixtures::kBootMouse);
  ASSERT_TRUE(parsed);
  ASSERT_EQ(parsed->collections.size(), 1u);  // the pointer collection is nested
  const TopLevelCollection& m = parsed->collections[0];
  EXPECT_EQ(m.usage, 0x02);
  EXPECT_EQ(m.ReportByteLength(ReportType::Input), 4);
  const auto in = FieldsOf(m, ReportType::Input);
  ASSERT_EQ(in.size(), 3u);
  EXPECT_TRUE(in[0].isButton);
  EXPECT_EQ(in[0].linkCollection, 1);
  for (int i : {1, 2}) {
    EXPECT_FALSE(in[i].isButton);
    EXPECT_EQ(in[i].logicalMin, -127);
    EXPECT_EQ(in[i].logicalMax, 127);
  }
  EXPECT_EQ(in[1].usageMin, 0x30);
  EXPECT_EQ(in[1].bitOffset, 8u);
  EXPECT_EQ(in[2].usageMin, 0x31);
  EXPECT_EQ(in[2].bitOffset, 16u);
}

TEST(ReportDescriptor, EndCollectionRestoresTheLinkCollection) {
  // Buttons inside a physical collection, then a wheel after it has closed.
  const std::vector<uint8_t> bytes = {
      0x05, 0x01, 0x09, 0x02, 0xA1, 0x01,              // mouse, application
      0x09, 0x01, 0xA1, 0x00,                          // pointer, physical
      0x05, 0x09, 0x19, 0x01, 0x29, 0x03, 0x15, 0x00, 0x25, 0x01,
      0x95, 0x03, 0x75, 0x01, 0x81, 0x02,              // three buttons
      0x95, 0x01, 0x75, 0x05, 0x81, 0x01,              // padding
      0xC0,                                            // end physical
      0x05, 0x01, 0x09, 0x38, 0x15, 0x81, 0x25, 0x7F,
      0x75, 0x08, 0x95, 0x01, 0x81, 0x06,              // wheel
      0xA1, 0x02, 0x09, 0x30, 0x81, 0x06, 0xC0,        // a second nested collection: X
      0xC0};
  auto parsed = ParseReportDescriptor(bytes);
  ASSERT_TRUE(parsed);
  const auto in = FieldsOf(parsed->collections.at(0), ReportType::Input);
  ASSERT_EQ(in.size(), 3u);
  EXPECT_EQ(in[0].linkCollection, 1) << "buttons inside the physical collection";
  EXPECT_EQ(in[1].usageMin, 0x38);
  EXPECT_EQ(in[1].linkCollection, 0) << "the wheel follows the closed collection";
  EXPECT_EQ(in[2].usageMin, 0x30);
  EXPECT_EQ(in[2].linkCollection, 2);
}

TEST(ReportDescriptor, SeveralTopLevelCollectionsWithReportIds) {
  auto parsed = ParseReportDescriptor(fixtures::kThreeCollections);
  ASSERT_TRUE(parsed);
  EXPECT_TRUE(parsed->usesReportIds);
  ASSERT_EQ(parsed->collections.size(), 3u);
  struct Want {
    uint16_t page, usage;
    uint8_t id;
    uint16_t in, out;
  };
  const Want want[] = {{0x01, 0x06, 1, 9, 0}, {0x0C, 0x01, 3, 3, 0}, {0xFF1C, 0x92, 4, 64, 64}};
  for (size_t i = 0; i < 3; ++i) {
    SCOPED_TRACE(i);
    const TopLevelCollection& c = parsed->collections[i];
    EXPECT_EQ(c.usagePage, want[i].page);
    EXPECT_EQ(c.usage, want[i].usage);
    EXPECT_EQ(c.reportIds, std::vector<uint8_t>{want[i].id});
    EXPECT_EQ(c.ReportByteLength(ReportType::Input), want[i].in);
    EXPECT_EQ(c.ReportByteLength(ReportType::Output), want[i].out);
    EXPECT_TRUE(c.HasReportId(want[i].id));
    EXPECT_FALSE(c.HasReportId(2));
  }
  // The consumer slot: a 16-bit array whose logical maximum needs two bytes.
  const auto consumer = FieldsOf(parsed->collections[1], ReportType::Input);
  ASSERT_EQ(consumer.size(), 1u);
  EXPECT_TRUE(consumer[0].isArray);
  EXPECT_EQ(consumer[0].logicalMax, 0x1FFF);
  EXPECT_EQ(consumer[0].usageMax, 0x1FFF);
  // The vendor report: one value capability of 63 bytes.
  const auto vendorIn = FieldsOf(parsed->collections[2], ReportType::Input);
  ASSERT_EQ(vendorIn.size(), 1u);
  EXPECT_FALSE(vendorIn[0].isButton);
  EXPECT_EQ(vendorIn[0].reportCount, 63);
  EXPECT_EQ(vendorIn[0].logicalMax, 255);  // 26 FF 00: unsigned against a zero minimum
}

TEST(ReportDescriptor, RejectsMalformedInput) {
  struct Case {
    const char* name;
    std::vector<uint8_t> bytes;
  };
  std::vector<uint8_t> deep;
  for (int i = 0; i < kMaxCollectionDepth + 1; ++i) deep.insert(deep.end(), {0xA1, 0x00});
  for (int i = 0; i < kMaxCollectionDepth + 1; ++i) deep.push_back(0xC0);
  std::vector<uint8_t> pushes;
  for (int i = 0; i < kMaxPushDepth + 1; ++i) pushes.push_back(0xA4);
  const Case cases[] = {
      {"empty", {}},
      {"item cut short", {0x05}},
      {"four-byte item cut short", {0xA1, 0x01, 0x27, 0x01, 0x02}},
      {"long item cut short", {0xFE, 0x05, 0x00, 0x01}},
      {"collection never closed", {0x05, 0x01, 0x09, 0x02, 0xA1, 0x01}},
      {"end collection first", {0xC0}},
      {"data item outside a collection", {0x75, 0x08, 0x95, 0x01, 0x09, 0x01, 0x81, 0x02}},
      {"report id 0", {0xA1, 0x01, 0x85, 0x00, 0xC0}},
      {"pop without push", {0xB4}},
      {"push too deep", pushes},
      {"usage maximum below minimum", {0xA1, 0x01, 0x19, 0x05, 0x29, 0x01, 0xC0}},
      {"reserved item type", {0x0C}},
      {"unknown main item", {0xA1, 0x01, 0xD0, 0xC0}},
      {"nested too deep", deep},
      {"report too long",
       {0xA1, 0x01, 0x09, 0x01, 0x77, 0xFF, 0xFF, 0x00, 0x00, 0x97, 0xFF, 0xFF, 0x00, 0x00,
        0x81, 0x02, 0xC0}},
      {"report size over 16 bits of count",
       {0xA1, 0x01, 0x97, 0x00, 0x00, 0x01, 0x00, 0xC0}},
      {"no top-level collection", {0x05, 0x01, 0x09, 0x02}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::string why;
    EXPECT_FALSE(ParseReportDescriptor(c.bytes, &why));
    EXPECT_FALSE(why.empty());
  }
}

TEST(ReportDescriptor, SkipsLongItemsAndHonoursPushPop) {
  // A long item, then a usage page pushed and popped around a report size change.
  const std::vector<uint8_t> bytes = {
      0xFE, 0x02, 0x10, 0xAA, 0xBB,  // long item, two data bytes
      0x05, 0x01, 0x09, 0x02, 0xA1, 0x01, 0x75, 0x08, 0x95, 0x01,
      0xA4, 0x75, 0x10, 0xB4,        // push, size 16, pop: back to size 8
      0x09, 0x30, 0x15, 0x00, 0x25, 0x7F, 0x81, 0x02, 0xC0};
  auto parsed = ParseReportDescriptor(bytes);
  ASSERT_TRUE(parsed);
  const auto in = FieldsOf(parsed->collections[0], ReportType::Input);
  ASSERT_EQ(in.size(), 1u);
  EXPECT_EQ(in[0].bitSize, 8);
  EXPECT_EQ(parsed->collections[0].ReportByteLength(ReportType::Input), 2);
}

TEST(ExtractBits, ReadsLittleEndianFieldsAndRefusesShortReports) {
  const std::vector<uint8_t> report = {0x07, 0xB4, 0x5F, 0x01};
  uint32_t v = 0;
  ASSERT_TRUE(ExtractBits(report, 0, 8, &v));
  EXPECT_EQ(v, 0xB4u);
  ASSERT_TRUE(ExtractBits(report, 4, 12, &v));  // crosses a byte boundary
  EXPECT_EQ(v, 0x5FBu);
  ASSERT_TRUE(ExtractBits(report, 8, 16, &v));
  EXPECT_EQ(v, 0x015Fu);
  EXPECT_FALSE(ExtractBits(report, 16, 9, &v));  // one bit past the end
}

}  // namespace
}  // namespace hid
