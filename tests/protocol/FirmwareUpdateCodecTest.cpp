// The update image file and the update requests, pinned as literal bytes.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "protocol/FirmwareUpdate.h"

namespace {

using namespace protocol;

TEST(FirmwareUpdateCodec, Crc32IsTheCommonOne) {
  const std::string check = "123456789";
  EXPECT_EQ(fw::Crc32(std::span(reinterpret_cast<const uint8_t*>(check.data()), check.size())), 0xCBF43926u);
  EXPECT_EQ(fw::Crc32({}), 0u);
}

TEST(FirmwareUpdateCodec, ImageFileLayout) {
  fw::Image image{"RM50C17A", 0x0126, {'1', '2', '3', '4', '5', '6', '7', '8', '9'}};
  const std::vector<uint8_t> expected = {
      'V', 'X', '2', '7', 'F', 'W', '0', '1',                                          // magic
      'R', 'M', '5', '0', 'C', '1', '7', 'A', 0, 0, 0, 0, 0, 0, 0, 0,                  // code
      0x26, 0x01, 0x00, 0x00,                                                          // version, zero
      0x09, 0x00, 0x00, 0x00,                                                          // length
      0x26, 0x39, 0xF4, 0xCB,                                                          // CRC-32
      '1', '2', '3', '4', '5', '6', '7', '8', '9'};
  EXPECT_EQ(fw::EncodeImageFile(image), expected);

  fw::Image back;
  ASSERT_EQ(fw::DecodeImageFile(expected, back), fw::ImageError::None);
  EXPECT_EQ(back.code, "RM50C17A");
  EXPECT_EQ(back.version, 0x0126);
  EXPECT_EQ(back.payload, image.payload);

  EXPECT_TRUE(fw::EncodeImageFile({"RM50C17A-TOO-LONG", 1, {}}).empty());
  EXPECT_TRUE(fw::EncodeImageFile({"", 1, {}}).empty());
}

TEST(FirmwareUpdateCodec, DamagedFilesAreRefused) {
  const std::vector<uint8_t> good = fw::EncodeImageFile({"RM50C09A_1", 0x0126, std::vector<uint8_t>(100, 0x5A)});
  struct Case {
    const char* what;
    size_t at;  // byte changed; past the end: the file cut there
    uint8_t value;
    fw::ImageError error;
  };
  const Case cases[] = {
      {"magic", 7, '2', fw::ImageError::BadMagic},
      {"empty code", 8, 0, fw::ImageError::BadCode},
      {"reserved", 27, 1, fw::ImageError::Reserved},
      {"length", 28, 99, fw::ImageError::BadLength},
      {"length over 64 KiB", 30, 2, fw::ImageError::TooLarge},
      {"crc", 33, 0, fw::ImageError::BadCrc},
      {"payload", 36 + 50, 0x5B, fw::ImageError::BadCrc},
  };
  for (const Case& c : cases) {
    std::vector<uint8_t> file = good;
    file[c.at] = c.value;
    fw::Image out;
    EXPECT_EQ(fw::DecodeImageFile(file, out), c.error) << c.what;
  }
  fw::Image out;
  EXPECT_EQ(fw::DecodeImageFile(std::span(good).first(35), out), fw::ImageError::TooShort);
  EXPECT_EQ(fw::DecodeImageFile(std::span(good).first(good.size() - 1), out), fw::ImageError::BadLength);
}

TEST(FirmwareUpdateCodec, Requests) {
  auto hex = [](const Report& r, size_t n) { return std::vector<uint8_t>(r.begin(), r.begin() + long(n)); };
  // Checksums are the sums of bytes 3..63: 0x0258 for the enter request.
  const Report enter = fw::EnterUpdateRequest("RM50C16A", 0x0126);
  EXPECT_EQ(hex(enter, 28), (std::vector<uint8_t>{0x04, 0x58, 0x02, 0x30, 18, 0, 0, 0, 'R', 'M', '5', '0', 'C', '1',
                                                  '6', 'A', 0, 0, 0, 0, 0, 0, 0, 0, 0x26, 0x01, 0, 0}));

  const std::vector<uint8_t> bytes{1, 2, 3};
  const Report chunk = fw::ImageChunkRequest(0x0118, bytes);
  EXPECT_EQ(hex(chunk, 12), (std::vector<uint8_t>{0x04, 0x53, 0x00, 0x31, 3, 0x18, 0x01, 0, 1, 2, 3, 0}));

  const Report verify = fw::VerifyRequest(0x0E10, 0x70B8F152);
  EXPECT_EQ(hex(verify, 17),
            (std::vector<uint8_t>{0x04, 0xC3, 0x02, 0x32, 8, 0, 0, 0, 0x10, 0x0E, 0, 0, 0x52, 0xF1, 0xB8, 0x70, 0}));
  EXPECT_EQ(hex(fw::RestartRequest(), 9), (std::vector<uint8_t>{0x04, 0x33, 0x00, 0x33, 0, 0, 0, 0, 0}));
}

TEST(FirmwareUpdateCodec, VersionText) {
  EXPECT_EQ(fw::VersionText(0x0126), "V0126");
  EXPECT_EQ(fw::VersionText(0x0102), "V0102");
  EXPECT_EQ(fw::VersionText(0xABCD), "VABCD");
}

}  // namespace
