// The program's side of the capture link: band analysis of sample frames,
// host colours, and the commands and group colour sent to the companion.

#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <limits>
#include <optional>
#include <vector>

#include "musiclight/MusicLink.h"
#include "tests/musiclight/LinkFixture.h"
#include "tests/support/EventLoop.h"

namespace musiclight {
namespace {

std::vector<uint8_t> Bytes(const std::vector<int32_t>& values, size_t extra = 0) {
  std::vector<uint8_t> out(values.size() * 4 + extra, 0xAB);
  std::memcpy(out.data(), values.data(), values.size() * 4);
  return out;
}

std::vector<int32_t> Frame(int32_t value) { return std::vector<int32_t>(500, value); }

struct KeyboardSpy {
  std::vector<std::vector<int32_t>> levels;
  std::vector<std::vector<int32_t>> colours;
  void Attach(MusicLink& link) {
    link.SetKeyboard([this](std::span<const int32_t> v) { levels.emplace_back(v.begin(), v.end()); },
                     [this](std::span<const int32_t> v) { colours.emplace_back(v.begin(), v.end()); });
  }
};

TEST(MusicLinkFrames, EveryThirdFrameHandsTheMeansToTheKeyboard) {
  MusicLink link(1);
  KeyboardSpy keyboard;
  keyboard.Attach(link);
  // Alternating +-300: every difference after the first frame is 600.
  link.OnSampleFrame(Bytes(Frame(300)));
  link.OnSampleFrame(Bytes(Frame(-300)));
  EXPECT_TRUE(keyboard.levels.empty());
  link.OnSampleFrame(Bytes(Frame(300)));
  ASSERT_EQ(keyboard.levels.size(), 1u);
  ASSERT_EQ(keyboard.levels[0].size(), 500u);
  for (size_t i = 0; i < 25; ++i) EXPECT_EQ(keyboard.levels[0][i], 600) << i;
  for (size_t i = 25; i < 500; ++i) EXPECT_EQ(keyboard.levels[0][i], 0) << i;
  // An identical frame gives 25 means of 0.
  link.OnSampleFrame(Bytes(Frame(300)));
  for (int32_t m : link.Means()) EXPECT_EQ(m, 0);
}

TEST(MusicLinkFrames, MeansAndDeviationsOfOneGroup) {
  MusicLink link(1);
  // Group 0 holds 0..19 against a zero frame: mean 9 (190 / 20), sample
  // deviation sqrt(sum (i - 9)^2 / 19) = sqrt(670 / 19) = 5.9.
  std::vector<int32_t> values(500, 0);
  for (int i = 0; i < 20; ++i) values[size_t(i)] = -i;
  link.OnSampleFrame(Bytes(values));
  EXPECT_EQ(link.Means()[0], 9);
  EXPECT_EQ(link.Deviations()[0], 5);
  EXPECT_EQ(link.Means()[1], 0);
}

TEST(MusicLinkFrames, ValuesThatDidNotArriveCountAsZero) {
  struct Case {
    const char* what;
    std::vector<uint8_t> bytes;
    int32_t group0Mean;  // after a frame of 1000s
    int32_t lastGroupMean;
  };
  constexpr int32_t kMax = std::numeric_limits<int32_t>::max();
  const Case cases[] = {
      // 20 whole values of 40 and a partial one: the partial value is dropped.
      {"partial value", Bytes(std::vector<int32_t>(20, 40), 3), 1000 - 40, 1000},
      // Longer than 500 values: the rest is cut.
      {"too long", Bytes(std::vector<int32_t>(600, 1000)), 0, 0},
      // One value only: every other index is 0.
      {"one value", Bytes({1000}), (19 * 1000) / 20, 1000},
  };
  for (const Case& c : cases) {
    MusicLink link(1);
    link.OnSampleFrame(Bytes(Frame(1000)));
    link.OnSampleFrame(c.bytes);
    EXPECT_EQ(link.Means()[0], c.group0Mean) << c.what;
    EXPECT_EQ(link.Means()[24], c.lastGroupMean) << c.what;
  }
  // Differences past INT32_MAX are analysed in 64 bits and pass as INT32_MAX.
  MusicLink link(1);
  link.OnSampleFrame(Bytes(Frame(std::numeric_limits<int32_t>::min())));
  link.OnSampleFrame(Bytes(Frame(kMax)));
  EXPECT_EQ(link.Means()[0], kMax);
  EXPECT_EQ(link.Deviations()[0], 0);
}

TEST(MusicLinkFrames, WithoutAKeyboardFramesAndColoursAreStoredOnly) {
  MusicLink link(1);
  for (int i = 0; i < 3; ++i) link.OnSampleFrame(Bytes(Frame(i % 2 ? -50 : 50)));
  EXPECT_EQ(link.Means()[3], 100);
  EXPECT_TRUE(link.OnCopyData(link::kHostColourData, Bytes({10, 20, 30, 0, 0, 0})));
  EXPECT_EQ(link.HostColour()[1], 20);
}

TEST(MusicLinkHostColour, OnlyWholeValuesArrive) {
  struct Case {
    std::vector<uint8_t> bytes;
    std::array<int32_t, 6> expected;
  };
  const Case cases[] = {
      {Bytes({1, 2, 3, 4, 5, 6}), {1, 2, 3, 4, 5, 6}},
      {Bytes({1, 2, 3, 4, 5, 6, 7, 8}), {1, 2, 3, 4, 5, 6}},  // at most 24 bytes
      {Bytes({9, 8}, 2), {9, 8, 0, 0, 0, 0}},                  // partial third value dropped
  };
  for (const Case& c : cases) {
    MusicLink link(1);
    KeyboardSpy keyboard;
    keyboard.Attach(link);
    link.OnMusicBytes(c.bytes);
    ASSERT_EQ(keyboard.colours.size(), 1u);
    EXPECT_EQ(keyboard.colours[0], std::vector<int32_t>(c.expected.begin(), c.expected.end()));
  }
  MusicLink link(1);
  EXPECT_FALSE(link.OnCopyData(7, Bytes({1})));
  EXPECT_FALSE(link.OnCopyData(link::kSampleFrameData, {}));
}

TEST(MusicLinkCommands, SequencesAndGroupColourReachTheCaptureWindow) {
  test::PrivateBus bus;
  MusicLink link(4242);
  AudioLightInfo info;
  info.style = 2;
  info.colours[2] = {9, 0, 5};
  // No companion: nothing is sent.
  EXPECT_FALSE(link.ConnectCapture());
  EXPECT_FALSE(link.SendGroupColour(info));

  test::CollectingWindow capture(link::kCaptureClass, link::kCaptureTitle);
  ASSERT_TRUE(capture.window.Listen());
  EXPECT_TRUE(link.ConnectCapture());
  EXPECT_TRUE(link.SendGroupColour(info));
  EXPECT_TRUE(link.SendHostComponent(1, 77));
  EXPECT_TRUE(link.DisconnectCapture());
  ASSERT_TRUE(testsupport::WaitFor([&] { return capture.received.size() >= 8; }));

  const std::pair<uint64_t, int64_t> commands[] = {{0, 4242}, {3, 0}, {1, 0}};
  for (size_t i = 0; i < 3; ++i) {
    EXPECT_EQ(capture.received[i].name, link::kToolBE19);
    EXPECT_EQ(capture.received[i].wParam, commands[i].first);
    EXPECT_EQ(capture.received[i].lParam, commands[i].second);
  }
  const platform::BusMessage& colour = capture.received[3];
  EXPECT_EQ(colour.dwData, 10u);
  EXPECT_EQ(colour.wParam, 4242u);
  // R 9, G 0 sent as 1, B 5, the rest zero: 40 bytes.
  std::vector<uint8_t> expected(40, 0);
  expected[0] = 9, expected[4] = 1, expected[8] = 5;
  EXPECT_EQ(colour.bytes, expected);
  EXPECT_EQ(capture.received[4].wParam, 7u);
  EXPECT_EQ(capture.received[4].lParam, 77);
  const uint64_t exitCommands[] = {2, 4, 5};
  for (size_t i = 0; i < 3; ++i) EXPECT_EQ(capture.received[5 + i].wParam, exitCommands[i]);
}

}  // namespace
}  // namespace musiclight
