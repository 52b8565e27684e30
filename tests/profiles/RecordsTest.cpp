// Each record's codec: decoding and re-encoding keeps every byte that carries
// a field (bytes the layout defines as zero come back zero), and the word forms
// the device code passes around split the record little-endian.

#include <array>
#include <random>
#include <set>
#include <vector>

#include <gtest/gtest.h>

#include "profiles/ProfileRecords.h"

using namespace profiles;

namespace {

template <typename Record>
void ExpectRoundTrip(const std::set<size_t>& zeroBytes) {
  std::mt19937 random(7);
  for (int trial = 0; trial < 50; ++trial) {
    std::array<uint8_t, Record::kSize> bytes{};
    for (auto& b : bytes) b = uint8_t(random());
    const auto encoded = Record::Decode(bytes).Encode();
    for (size_t i = 0; i < bytes.size(); ++i) {
      const uint8_t want = zeroBytes.count(i) ? 0 : bytes[i];
      ASSERT_EQ(encoded[i], want) << "byte " << i;
    }
  }
}

TEST(Records, DecodeEncodeKeepsEveryFieldByte) {
  ExpectRoundTrip<LightInfoRecord>({});
  ExpectRoundTrip<AudioLightRecord>({});
  ExpectRoundTrip<LightModeEntry>({8, 9, 11, 12, 13});
  ExpectRoundTrip<KeyAssignment>({5, 11});
  ExpectRoundTrip<KeyboardSystemSettings>({});
  ExpectRoundTrip<CustomColor>({});
  ExpectRoundTrip<DpiStage>({});
  ExpectRoundTrip<MouseSystemSettings>({18, 19, 30, 31});
  ExpectRoundTrip<HeadsetSettings>({});
  ExpectRoundTrip<LightEffectStep>({8, 9, 10, 11, 12, 13, 14, 15});
}

TEST(Records, LightInfoWordsAreLittleEndianQuarters) {
  LightInfoRecord r;
  r.selectItem = 0x11, r.light = 0x22, r.speed = 0x33, r.fx = 0x44;
  r.multiColor = 0x01, r.red = 0x55, r.green = 0x66, r.blue = 0x77;
  r.zzccLedMode = 0x88, r.customGroup = 0x99, r.oldLedMode = 0xAA;
  const auto w = r.ToWords();
  EXPECT_EQ(w[0], 0x44332211u);
  EXPECT_EQ(w[1], 0x77665501u);
  EXPECT_EQ(w[2], 0x88000000u);
  EXPECT_EQ(w[3], 0xAA99u);
  EXPECT_EQ(LightInfoRecord::FromWords(w[0], w[1], w[2], uint16_t(w[3])), r);
}

TEST(Records, SettingsWordsHoldTwoHalvesLowFirst) {
  const auto k = KeyboardSystemSettings::FromWords(0x00020001, 0x00040003, 0x00060005);
  EXPECT_EQ(k.repeat, 1);
  EXPECT_EQ(k.repeatDelay, 2);
  EXPECT_EQ(k.key6Flag, 3);
  EXPECT_EQ(k.pollingRate, 4);
  EXPECT_EQ(k.wFlag, 5);
  EXPECT_EQ(k.winFlag, 6);
  EXPECT_EQ(k.ToWords(), (std::array<uint32_t, 3>{0x00020001, 0x00040003, 0x00060005}));

  const std::array<uint32_t, 8> words{0x000A01F4, 0x00010001, 0x00020003, 0x00050004,
                                      0xFFFF0006, 0x00080007, 0x000A0009, 0xFFFF000B};
  const auto m = MouseSystemSettings::FromWords(words);
  EXPECT_EQ(m.doubleClickTime, 500);
  EXPECT_EQ(m.mouseSpeed, 10);
  EXPECT_EQ(m.wheelScrollLines, 3);
  EXPECT_EQ(m.reportRate, 2);
  EXPECT_EQ(m.ripple, 6);
  EXPECT_EQ(m.bleSleep2, 8);
  EXPECT_EQ(m.keyDebounceTime, 11);
  // The high halves of words 4 and 7 carry nothing.
  auto expected = words;
  expected[4] &= 0xFFFF;
  expected[7] &= 0xFFFF;
  EXPECT_EQ(m.ToWords(), expected);
}

TEST(Records, KeyFunctionCodeIsThreeBytesHighFirst) {
  const auto f = KeyFunction::FromCode(7, 0x12D0A203);  // bits above 24 are dropped
  EXPECT_EQ(f.c0, 0xD0);
  EXPECT_EQ(f.c1, 0xA2);
  EXPECT_EQ(f.c2, 0x03);
  EXPECT_EQ(f.Code(), 0xD0A203u);
  const auto bytes = KeyAssignment{f, KeyFunction::FromCode(7, 0x200029)}.Encode();
  EXPECT_EQ(std::vector<uint8_t>(bytes.begin(), bytes.end()),
            (std::vector<uint8_t>{7, 0, 0xD0, 0xA2, 0x03, 0, 7, 0, 0x20, 0x00, 0x29, 0}));
}

TEST(Records, AudioLightFromWords) {
  const auto r = AudioLightRecord::FromWords(0x03020104, 0x01060504, 0x01);
  EXPECT_EQ(r.audioMode, 4);
  EXPECT_EQ(r.bkRed, 1);
  EXPECT_EQ(r.bkBlue, 3);
  EXPECT_EQ(r.fgRed, 4);
  EXPECT_EQ(r.fgBlue, 6);
  EXPECT_EQ(r.sevenColor, 1);
  EXPECT_EQ(r.colorType, 1);
}

}  // namespace
