// The byte formats: report checksum, event images, key-map building and
// light-frame scaling.

#include <gtest/gtest.h>

#include "protocol/CommandReport.h"
#include "protocol/EventImage.h"
#include "protocol/KeyMap.h"
#include "protocol/LightFrame.h"

namespace protocol {
namespace {

TEST(Report, ChecksumCoversBytesThreeToSixtyThreeInSixteenBits) {
  Report r = MakeRequest(cmd::kWriteSettings, 56, 0x1234);
  std::fill(r.begin() + report::kData, r.end(), 0xFF);
  r[report::kChecksum] = 0x77;  // not part of the sum
  SealReport(r);
  const uint32_t sum = 0x06 + 56 + 0x34 + 0x12 + 56 * 0xFF;
  EXPECT_EQ(GetLe16(r, report::kChecksum), uint16_t(sum));
  EXPECT_TRUE(ChecksumValid(r));
  r[63] ^= 1;
  EXPECT_FALSE(ChecksumValid(r));
  EXPECT_EQ(r[report::kId], 0x04);
  EXPECT_EQ(r[report::kAddress], 0x34);
  EXPECT_EQ(r[report::kAddress + 1], 0x12);
}

TEST(EventImage, PackingOfOneEvent) {
  struct Case {
    const char* delay;
    int type;
    const char* action;
    int button;
    PackedMacroEvent want;
  };
  const Case cases[] = {
      {"10", 1, "down", 1, {10, 0x81, 1}},
      {"0", 1, "up", 1, {0, 0x01, 1}},
      {"300", 0x81, "up", 2, {300, 0x81, 2}},  // bit 7 of the type stays
      {"65535", 10, "Down", 4, {65535, 10, 4}},  // only "down" presses
      {"65537", 4, "down", 300, {65535, 0x84, 44}},  // delay as shown, button to its width
      {"12ms", 5, "up", 3, {12, 5, 3}},          // leading digits only
      {"", 5, "up", 3, {0, 5, 3}},
      {"-5", 5, "up", 3, {0, 5, 3}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.delay);
    const PackedMacroEvent e = PackEvent(c.delay, c.type, c.action, c.button);
    EXPECT_EQ(e.delay, c.want.delay);
    EXPECT_EQ(e.type, c.want.type);
    EXPECT_EQ(e.button, c.want.button);
  }
}

TEST(EventImage, LayoutAndRoundTrip) {
  const std::vector<std::vector<PackedMacroEvent>> empty(4);
  const auto blank = BuildEventImage(empty);
  ASSERT_EQ(blank.size(), 40u);
  EXPECT_EQ(GetLe16(blank, 0), 0x55AA);
  EXPECT_EQ(GetLe16(blank, 2), 40);
  EXPECT_EQ(GetLe16(blank, 4), 4);
  for (size_t i = 0; i < 4; ++i) EXPECT_EQ(GetLe16(blank, 16 + 2 * i), 24 + 4 * i);

  const std::vector<std::vector<PackedMacroEvent>> entries = {
      {{10, 0x81, 4}, {20, 0x01, 4}}, {}, {{0x1234, 0x8A, 0x2C}}};
  const auto image = BuildEventImage(entries);
  EXPECT_EQ(image.size(), EventImageSize(entries));
  EXPECT_EQ(image.size(), 16u + 6 * 3 + 4 * 3);
  EXPECT_EQ(GetLe16(image, 16 + 4), 22 + 4 + 8 + 4);  // third record's offset
  const auto back = ParseEventImage(image);
  ASSERT_TRUE(back.has_value());
  ASSERT_EQ(back->size(), 3u);
  EXPECT_EQ((*back)[2][0].delay, 0x1234);
  EXPECT_EQ((*back)[0][1].type, 0x01);

  auto broken = image;
  broken[2] = 0xFF;  // total longer than the bytes
  EXPECT_FALSE(ParseEventImage(broken).has_value());
  broken = image;
  broken[16 + 4] = 0xF0;  // record offset past the end
  EXPECT_FALSE(ParseEventImage(broken).has_value());
}

TEST(EventImage, TooLargeForItsSixteenBitHeaderIsNotBuilt) {
  // 16 + 6 + 4 × 16380 = 65542 bytes: the length and offsets would wrap.
  const std::vector<std::vector<PackedMacroEvent>> huge(1, std::vector<PackedMacroEvent>(16380));
  EXPECT_TRUE(BuildEventImage(huge).empty());
  const std::vector<std::vector<PackedMacroEvent>> largest(1, std::vector<PackedMacroEvent>(16377));
  EXPECT_EQ(BuildEventImage(largest).size(), 65530u);
}

TEST(EventImage, OverflowCountsEventsToRemoveGenerously) {
  struct Case {
    size_t size;
    uint32_t capacity;
    std::optional<uint32_t> want;
  };
  for (const Case c : {Case{4096, 4096, std::nullopt}, Case{4097, 4096, 1u},
                       Case{4100, 4096, 2u}, Case{4104, 4096, 3u}, Case{40, 0, 11u}}) {
    EXPECT_EQ(MacroImageOverflow(c.size, c.capacity), c.want) << c.size;
  }
}

TEST(KeyMapBuild, RenumbersMacrosByFirstUseAndFallsBackForDeletedOnes) {
  std::vector<uint8_t> device(3 * 6, 0xEE);
  std::vector<KeyMapAssignment> keys = {
      {0, {0x20, 0x00, 0x04}, {0x20, 0x00, 0x04}},
      {1, {0x70, 7, 0}, {0x20, 0x00, 0x05}},
      {2, {0x71, 3, 9}, {0x20, 0x00, 0x06}},
      {3, {0x70, 9, 0}, {0x20, 0x00, 0x07}},  // deleted: 9 is not below 8
      {4, {0x70, 3, 0}, {0x20, 0x00, 0x08}},
      {40, {0x70, 1, 0}, {0x20, 0x00, 0x09}},  // no room in the map: ignored
  };
  const BuiltKeyMap built = BuildKeyMap(device, keys, 8);
  EXPECT_EQ(built.usedMacros, (std::vector<int>{7, 3, 1}));
  const std::vector<uint8_t> want = {0x20, 0x00, 0x04, 0x70, 0, 0,    0x71, 1,    9,
                                     0x20, 0x00, 0x07, 0x70, 1, 0,    0xEE, 0xEE, 0xEE};
  EXPECT_EQ(built.keyMap, want);
  EXPECT_TRUE(keys[3].usedDefault);
  EXPECT_FALSE(keys[1].usedDefault);
}

TEST(LightFrameBuild, ScalesByBrightness) {
  struct Case {
    LightColour colour;
    std::array<uint8_t, 3> want;
  };
  const Case cases[] = {
      {{255, 128, 0, 128}, {127, 64, 0}},
      {{255, 255, 255, 255}, {254, 254, 254}},
      {{200, 100, 50, 0}, {0, 0, 0}},
  };
  for (const Case& c : cases) {
    LightFrame frame{};
    frame.fill(0x33);
    const LightColour lights[] = {c.colour};
    const std::optional<uint16_t> positions[] = {uint16_t(5)};
    BuildLightFrame(lights, positions, frame);
    EXPECT_EQ((std::array<uint8_t, 3>{frame[15], frame[16], frame[17]}), c.want);
    EXPECT_EQ(frame[14], 0);  // positions no light maps to are 0
  }
  LightFrame frame{};
  PutLight(frame, 170, {1, 2, 3, 255});  // 3 × 170 + 3 > 512: ignored
  EXPECT_EQ(frame, LightFrame{});
}

}  // namespace
}  // namespace protocol
