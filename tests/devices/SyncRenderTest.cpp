// The synchronised lighting renderer: the mode table both ways, the frame
// clock, the five effects' frames and the settings word shared between the UI
// thread and the worker. Expected colours come from the light tables as
// written down: the wheel's "up" ramp 1, 3, 5, …, 81 (index 16), its "down"
// ramp 248, …, 69 (index 16), and the breathing curve 0, 1, 2, ….

#include <atomic>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "devices/core/SyncRender.h"

namespace {

namespace sync = devices::sync;
using protocol::LightColour;

bool Same(const LightColour& a, const LightColour& b) {
  return a.c0 == b.c0 && a.c1 == b.c1 && a.c2 == b.c2 && a.brightness == b.brightness;
}

std::string Text(const LightColour& c) {
  return std::to_string(c.c0) + "," + std::to_string(c.c1) + "," + std::to_string(c.c2) + " @" +
         std::to_string(c.brightness);
}

TEST(SyncModeTable, ModesTranslateBothWaysByKind) {
  struct Case {
    int kind;
    uint8_t mode;
    int effect;  // -1: the mode stands for no effect
  };
  const Case cases[] = {
      {1, 5, 0},  {1, 6, 1},  {1, 23, 2}, {1, 4, 3},  {1, 28, 4}, {1, 0, -1}, {1, 29, -1},
      {2, 1, 0},  {2, 0, 1},  {2, 6, 2},  {2, 3, 3},  {2, 10, 4}, {2, 2, -1}, {2, 5, -1},
      {3, 2, 0},  {3, 3, 1},  {3, 4, 2},  {3, 1, 3},  {3, 8, 4},  {3, 0, -1}, {3, 5, -1},
      {7, 2, 0},  {7, 8, 4},  {7, 6, -1},
      // Behind the receiver a mouse and a keyboard keep their modes.
      {6, 1, 0},  {6, 10, 4}, {9, 23, 2},
  };
  for (const Case& c : cases) {
    const auto column = sync::ColumnOfKind(c.kind);
    ASSERT_TRUE(column) << c.kind;
    const auto effect = sync::EffectOfMode(*column, c.mode);
    EXPECT_EQ(effect ? int(*effect) : -1, c.effect) << "kind " << c.kind << " mode " << int(c.mode);
    if (effect) EXPECT_EQ(sync::ModeOfEffect(*column, *effect), c.mode);
  }
  EXPECT_FALSE(sync::ColumnOfKind(4));
  EXPECT_FALSE(sync::ColumnOfKind(0));
}

// Frames of `settings` over `ticks` counted ticks (2 ms apart).
std::vector<LightColour> Frames(sync::Renderer& r, const sync::Settings& settings, uint32_t ticks) {
  std::vector<LightColour> frames;
  r.Begin(0);
  for (uint32_t t = 1; t <= ticks; ++t)
    if (auto c = r.Pass(2 * t, settings)) frames.push_back(*c);
  return frames;
}

TEST(SyncRenderer, FramesComeEverySpeedThresholdOfCountedTicks) {
  struct Case {
    uint8_t speed;
    uint32_t ticks;
    size_t frames;
  };
  const Case cases[] = {{0, 27, 0}, {0, 28, 1}, {0, 56, 2}, {1, 23, 1}, {2, 36, 2}, {3, 39, 3},
                        {4, 6, 0},  {4, 7, 1},  {4, 70, 10},
                        // Levels past the table give a frame every counted tick.
                        {5, 10, 10}, {14, 3, 3}, {200, 3, 3}};
  for (const Case& c : cases) {
    sync::Renderer r;
    EXPECT_EQ(Frames(r, {.effect = 1, .brightness = 4, .speed = c.speed}, c.ticks).size(), c.frames)
        << "speed " << int(c.speed) << " ticks " << c.ticks;
  }
}

TEST(SyncRenderer, ATickCountsOnlyWhenMoreThanOneMillisecondPassed) {
  sync::Renderer r;
  r.Begin(100);
  const sync::Settings s{.effect = 1, .brightness = 4, .speed = 4};
  for (uint32_t now : {100u, 101u, 101u}) EXPECT_FALSE(r.Pass(now, s));
  EXPECT_EQ(r.Counter(), 0u);
  r.Pass(102, s);
  r.Pass(103, s);  // 1 ms after the last counted tick
  EXPECT_EQ(r.Counter(), 1u);
  // The tick count wraps like the system's.
  r.Begin(0xFFFFFFFFu);
  r.Pass(1, s);
  EXPECT_EQ(r.Counter(), 1u);
}

TEST(SyncRenderer, EffectFramesFromTheSettings) {
  struct Case {
    const char* what;
    sync::Settings settings;
    size_t frame;  // index of the frame looked at
    LightColour expected;
  };
  const Case cases[] = {
      {"static at level 3", {.effect = 1, .brightness = 3, .red = 10, .green = 20, .blue = 30}, 0, {10, 20, 30, 175}},
      {"static at level 0 is black", {.effect = 1, .brightness = 0, .red = 255, .green = 255, .blue = 255}, 3,
       {255, 255, 255, 0}},
      {"a level above 4 counts as 4", {.effect = 1, .brightness = 9, .red = 1}, 0, {1, 0, 0, 255}},
      {"off", {.effect = 4, .brightness = 4, .red = 255, .green = 255, .blue = 255}, 0, {0, 0, 0, 0}},
      {"cycle, first frame: wheel 1", {.effect = 3, .brightness = 4}, 0, {255, 3, 0, 255}},
      {"cycle, frame 32: wheel 32", {.effect = 3, .brightness = 2}, 31, {248, 255, 0, 100}},
      {"cycle, frame 192: the wheel passed", {.effect = 3, .brightness = 4}, 191, {255, 1, 0, 255}},
      {"cycle at level 0", {.effect = 3, .brightness = 0}, 5, {255, 18, 0, 0}},
      {"breathing forwards, phase 2", {.effect = 0, .brightness = 4, .direction = 1, .red = 7}, 1, {7, 0, 0, 1}},
      {"breathing forwards, phase 64", {.effect = 0, .brightness = 4, .direction = 1, .red = 7}, 63,
       {7, 0, 0, 254}},
      {"breathing at level 2, phase 63", {.effect = 0, .brightness = 2, .direction = 1, .red = 7}, 62,
       {7, 0, 0, 99}},
      {"breathing backwards, phase 126", {.effect = 0, .brightness = 4, .direction = 0, .blue = 9}, 1,
       {0, 0, 9, 0}},
      {"breathing backwards, phase 64", {.effect = 0, .brightness = 4, .direction = 0, .blue = 9}, 63,
       {0, 0, 9, 254}},
      {"breathing at level 0", {.effect = 0, .brightness = 0, .direction = 1, .red = 7}, 63, {7, 0, 0, 0}},
  };
  for (const Case& c : cases) {
    sync::Renderer r;
    sync::Settings s = c.settings;
    s.speed = 4;
    const auto frames = Frames(r, s, uint32_t(7 * (c.frame + 1)));
    ASSERT_EQ(frames.size(), c.frame + 1) << c.what;
    EXPECT_TRUE(Same(frames[c.frame], c.expected)) << c.what << ": " << Text(frames[c.frame]);
  }
}

TEST(SyncRenderer, MultiColourBreathingMovesOneSegmentPerBreath) {
  sync::Renderer r;
  const sync::Settings s{.effect = 0, .brightness = 4, .speed = 4, .direction = 1, .multiColour = 1};
  const auto frames = Frames(r, s, 7 * 260);
  ASSERT_EQ(frames.size(), 260u);
  // Frames 2..128 (phases 2..127) keep wheel entry 16; phases 0 and 1 of the
  // next breath move it twice by 16, to entry 48, which stays for the breath.
  for (size_t i = 1; i < 127; ++i) ASSERT_EQ(frames[i].c1, 81) << "frame " << i + 1;
  EXPECT_TRUE(Same(frames[1], {255, 81, 0, 1})) << Text(frames[1]);
  for (size_t i = 129; i < 255; ++i) ASSERT_EQ(frames[i].c0, 69) << "frame " << i + 1;
  EXPECT_TRUE(Same(frames[129], {69, 255, 0, 1})) << Text(frames[129]);
  EXPECT_EQ(r.BreathingColour(), 80) << "three breaths begun: 5 steps of 16";
}

TEST(SyncRenderer, BlinkTogglesByItsPeriodAndMovesTheColour) {
  struct Case {
    uint8_t speed;
    uint32_t periodMs;
  };
  for (const Case c : {Case{0, 5600}, Case{4, 1400}, Case{2, 3600}}) {
    sync::Renderer r;
    const sync::Settings multi{.effect = 2, .brightness = 4, .speed = c.speed, .multiColour = 1};
    EXPECT_TRUE(Same(*r.Frame(0, multi), {0, 0, 0, 0})) << "off until the first toggle";
    EXPECT_TRUE(Same(*r.Frame(c.periodMs - 1, multi), {0, 0, 0, 0}));
    std::vector<int> indices;
    for (uint32_t k = 1; k <= 15; ++k) {
      const LightColour on = *r.Frame(k * c.periodMs, multi);
      EXPECT_EQ(r.BlinkOn(), k % 2 == 1) << "toggle " << k;
      EXPECT_EQ(on.brightness, r.BlinkOn() ? 255 : 0);
      (void)r.Frame(k * c.periodMs + c.periodMs - 1, multi);  // no toggle before the period
      indices.push_back(r.BlinkColour());
    }
    EXPECT_EQ(indices, (std::vector<int>{14, 28, 42, 56, 70, 84, 98, 112, 126, 140, 154, 168, 182, 0, 14}))
        << "speed " << int(c.speed);
  }
  // On frames: wheel 14 with multi-colour, the single colour without.
  sync::Renderer r;
  EXPECT_TRUE(Same(*r.Frame(1400, {.effect = 2, .brightness = 3, .speed = 4, .multiColour = 1}), {255, 65, 0, 175}));
  sync::Renderer single;
  EXPECT_TRUE(Same(*single.Frame(1400, {.effect = 2, .brightness = 1, .speed = 4, .red = 3, .green = 4, .blue = 5}),
                   {3, 4, 5, 50}));
  EXPECT_TRUE(Same(*single.Frame(2800, {.effect = 2, .brightness = 1, .speed = 4, .red = 3}), {0, 0, 0, 0}));
}

TEST(SyncRenderer, AnUnknownEffectRendersNothing) {
  sync::Renderer r;
  EXPECT_TRUE(Frames(r, {.effect = 5, .brightness = 4, .speed = 4}, 100).empty());
}

TEST(SyncSettings, AReaderSeesWholeSettingsWhileTheyChange) {
  sync::SharedSettings shared;
  const sync::Settings a{0, 1, 2, 3, 4, 5, 6, 7};
  const sync::Settings b{4, 4, 4, 0, 1, 200, 100, 50};
  shared.Store(a);
  std::atomic<bool> done{false};
  std::thread writer([&] {
    for (int i = 0; i < 200000; ++i) shared.Store(i % 2 ? a : b);
    done = true;
  });
  size_t reads = 0, mixed = 0;
  while (!done || reads < 1000) {
    const sync::Settings s = shared.Load();
    if (!(s == a) && !(s == b)) ++mixed;
    ++reads;
  }
  writer.join();
  EXPECT_EQ(mixed, 0u) << "of " << reads;
  EXPECT_TRUE(shared.Load() == a);
}

}  // namespace
