// The keyboard's host-computed modes on the light engine's stepped clock:
// each audio drawing (mode 29 sub-modes 0 to 6) and the host colour (mode
// 30) with hand-worked expected lights, the beat that ripples from light 51,
// inputs that arrive short or partial, and a snapshot that never mixes two
// sets of levels.

#include <atomic>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "devices/core/KeyboardAudio.h"
#include "devices/core/LightClock.h"
#include "devices/core/LightThread.h"
#include "tests/devices/LightTestSupport.h"

namespace {

using devices::LightModel;
using devices::ModelLightEngine;
using lighttest::Of;
using lighttest::Rgbb;

profiles::AudioLightRecord Audio(uint8_t subMode, bool seven, std::array<uint8_t, 3> bg = {0, 0, 10},
                                 std::array<uint8_t, 3> fg = {255, 0, 0}) {
  profiles::AudioLightRecord a;
  a.audioMode = subMode;
  a.bkRed = bg[0], a.bkGreen = bg[1], a.bkBlue = bg[2];
  a.fgRed = fg[0], a.fgGreen = fg[1], a.fgBlue = fg[2];
  a.sevenColor = seven ? 1 : 0;
  return a;
}

// A keyboard engine in a mode at full brightness, speed 4, forwards; its
// clock is stepped one tick (15.625 ms) a pass.
struct Keyboard {
  explicit Keyboard(uint8_t mode, const profiles::AudioLightRecord& audio = {}, uint8_t level = 4,
                    uint8_t multi = 0) {
    engine.Audio().SetRecord(audio);
    engine.StartMode(lighttest::LightMode(mode, level, 4, 1, multi));
    engine.BeginLoop(devices::TickMs(0));
  }
  void Levels(std::vector<int32_t> levels) { engine.Audio().SetAudioLevels(levels, engine.State().selectItem); }
  // Passes until the mode has stepped once more (mode 29 steps every second
  // counted tick).
  void Step() {
    const uint32_t before = passes;
    while (passes - before < 2) engine.Pass(devices::TickMs(++passes));
  }
  Rgbb Light(size_t i) const { return Of(engine.Colours().Load(i)); }

  ModelLightEngine engine{LightModel::Keyboard, 170};
  uint32_t passes = 0;
};

std::vector<int32_t> All(int32_t v) { return std::vector<int32_t>(devices::kAudioLevels, v); }
std::vector<int32_t> With(std::initializer_list<std::pair<size_t, int32_t>> set) {
  std::vector<int32_t> v(devices::kAudioLevels, 0);
  for (auto [i, l] : set) v[i] = l;
  return v;
}

constexpr Rgbb kRedLit{255, 0, 0, 254};   // lit: brightness 255 × 255 >> 8
constexpr Rgbb kBackground{0, 0, 10, 255};  // unlit below level 10: the background at full brightness

struct Expect {
  size_t light;
  Rgbb colour;
};

TEST(KeyboardAudio, EachDrawingOnItsFirstAndSecondStep) {
  struct Case {
    const char* name;
    profiles::AudioLightRecord audio;
    std::vector<int32_t> levels;
    std::vector<Expect> first;   // after one step
    std::vector<Expect> second;  // after a second step without new levels
  };
  const Case cases[] = {
      // Column 1 (lights -, 21, 42, 63, 84, 105) at 2000 lights rows 1 to 5;
      // column 2 at 0 lights nothing; column 3 at 1000 rows 4 and 5 (t = 4);
      // column 4 above full scale (t = -8) all six rows.
      {"0: bars",
       Audio(0, false),
       With({{1, 2000}, {3, 1000}, {4, 5000}}),
       {{21, kRedLit}, {105, kRedLit}, {0, kBackground}, {22, kBackground}, {65, kBackground}, {85, kRedLit},
        {20, kRedLit}, {2, kRedLit}},
       // The levels were used up: row 1 fades (255 → 210, no light above it),
       // row 2 stays at 255 under a light of level 10 or more.
       {{21, {255, 0, 0, 209}}, {42, {255, 0, 0, 254}}}},
      // Hue (phase 1 + 10 × 2) = 21 for column 1: wheel (255, 129, 0).
      {"0: bars, seven colours", Audio(0, true), With({{1, 2000}}), {{21, {255, 129, 0, 254}}}, {}},
      // Row 1 takes its left value from level (1 + 6) and its right one from
      // level 3: both at 2000 light columns 2..8 and 9..19. Row 0 (levels 4
      // and 1 at 0) stays unlit.
      {"1: mirrored bars",
       Audio(1, false),
       With({{7, 2000}, {3, 2000}}),
       {{21, kBackground}, {22, kRedLit}, {28, kRedLit}, {38, kRedLit}, {39, kBackground}, {0, kBackground}},
       {}},
      // A level far above full scale counts as 500 and draws a short bar:
      // none on the left, column 9 alone on the right.
      {"1: a very loud level", Audio(1, false), With({{7, 20000}, {3, 20000}}),
       {{22, kBackground}, {28, kBackground}, {29, kRedLit}, {30, kBackground}, {38, kBackground}}, {}},
      // Hue 1 + 7 × 3 = 22 for column 2: wheel (255, 140, 0).
      {"1: seven colours", Audio(1, true), With({{7, 2000}}), {{22, {255, 140, 0, 254}}}, {}},
      // Silence: k = 20, no band lit. Full scale: every band lit, band 0
      // (light 51) with hue 9, band 11 (light 118) with hue 108.
      {"3: bands, silence", Audio(3, false), All(0), {{51, {0, 0, 0, 0}}, {118, {0, 0, 0, 0}}}, {}},
      {"3: bands, full scale",
       Audio(3, false),
       All(2000),
       {{51, {255, 32, 0, 254}}, {118, {0, 104, 255, 254}}},
       // Unlit bands keep their colour and fade (mode 0: 255 → 215).
       {{51, {255, 32, 0, 214}}}},
      // At 1000 (k = 10): phase 10, bands 0 to 9 lit; band 9 (light 1) hue
      // 100, band 10 (light 0) dark.
      {"3: bands, half scale", Audio(3, false), All(1000), {{1, {0, 194, 255, 254}}, {0, {0, 0, 0, 0}}}, {}},
      // Column 1 takes level 2: rows 1 to 5 are raised but show only from
      // the next step, each under its own latch.
      {"4: drops",
       Audio(4, false),
       With({{2, 2000}}),
       {{21, kBackground}, {42, kBackground}, {105, kBackground}},
       {{21, {255, 0, 0, 209}}, {42, {255, 0, 0, 254}}}},
      // Row 1 uses group 4 (levels 12..16): 3000 / 3 = 1000, value 300,
      // columns 0..8 lit; the other rows' groups are silent.
      {"5: grouped rows",
       Audio(5, false),
       With({{12, 600}, {13, 600}, {14, 600}, {15, 600}, {16, 600}}),
       {{120, kRedLit}, {28, kRedLit}, {29, kBackground}, {0, kBackground}},
       {}},
      // Hue 1 + 3 × 9 = 28 for column 8: wheel (255, 213, 0).
      {"5: seven colours", Audio(5, true), With({{12, 600}, {13, 600}, {14, 600}, {15, 600}, {16, 600}}),
       {{28, {255, 213, 0, 254}}}, {}},
      // Silence: n = 23, column 0 of each odd row lit, even rows dark.
      {"6: alternate rows, silence",
       Audio(6, false),
       All(0),
       {{120, kRedLit}, {122, kRedLit}, {124, kRedLit}, {21, kBackground}, {0, kBackground}, {16, kBackground}},
       {}},
      // Row 2 uses group 2 (levels 4..6): 1000, n = 11, lit from column 11.
      {"6: alternate rows, an even row",
       Audio(6, false),
       With({{4, 1000}, {5, 1000}, {6, 1000}}),
       {{52, kRedLit}, {51, kBackground}},
       {}},
  };
  for (const Case& c : cases) {
    Keyboard k(devices::kAudioMode, c.audio);
    k.Levels(c.levels);
    k.Step();
    for (const Expect& e : c.first) EXPECT_EQ(k.Light(e.light), e.colour) << c.name << ", light " << e.light;
    k.Step();
    for (const Expect& e : c.second)
      EXPECT_EQ(k.Light(e.light), e.colour) << c.name << ", second step, light " << e.light;
  }
}

TEST(KeyboardAudio, HostColourIgnoresTheMultiColourFlag) {
  struct Case {
    uint8_t level, multi;
    Rgbb expected;
  };
  for (const Case& c : {Case{2, 0, {10, 20, 30, 100}}, Case{2, 1, {10, 20, 30, 100}}, Case{4, 1, {10, 20, 30, 255}}}) {
    Keyboard k(devices::kHostColourMode, {}, c.level, c.multi);
    // The low bytes of the first three values; the other three are not used.
    k.engine.Audio().SetHostColours(std::vector<int32_t>{0x10A, 0x214, 0x31E, 99, 98, 97});
    k.engine.Pass(devices::TickMs(++k.passes));
    EXPECT_EQ(k.Light(0), c.expected);
    EXPECT_EQ(k.Light(169), c.expected);
  }
}

TEST(KeyboardAudio, ABeatRipplesFromLight51) {
  struct Case {
    const char* name;
    uint8_t mode, subMode;
    int sets;
    int32_t accumulator;  // after the sets
    bool ripple;
  };
  // Full-scale levels add 25 each: the third set passes 70 and resets it.
  const Case cases[] = {
      {"two sets", 29, 2, 2, 50, false},
      {"three sets", 29, 2, 3, 0, true},
      {"another sub-mode", 29, 0, 3, 0, false},
      {"another mode", 30, 2, 3, 0, false},
  };
  for (const Case& c : cases) {
    devices::SetBeatAccumulator(0);
    Keyboard k(c.mode, Audio(c.subMode, false));
    for (int i = 0; i < c.sets; ++i) k.Levels(All(2000));
    EXPECT_EQ(devices::BeatAccumulator(), c.accumulator) << c.name;
    if (c.mode != devices::kAudioMode || c.subMode != devices::kAudioRippleSubMode) {
      // Only stored: the step sees them.
      EXPECT_EQ(k.engine.Audio().Take(false).levels[24], 2000) << c.name;
      continue;
    }
    // The ripple sub-mode used the levels up as beats.
    EXPECT_EQ(k.engine.Audio().Take(false).levels[24], 0) << c.name;
    k.Step();
    // Light 51 is raised to 255 and fades by 45 in the same step: 210.
    const Rgbb lit{255, 0, 0, 209};
    EXPECT_EQ(k.Light(51), c.ripple ? lit : kBackground) << c.name;
    EXPECT_EQ(k.Light(50), kBackground) << c.name;
    // The ripple runs outwards: the lights beside 51 light on the next step.
    k.Step();
    EXPECT_EQ(k.Light(50), c.ripple ? lit : kBackground) << c.name << ", next step";
    EXPECT_EQ(k.Light(52), c.ripple ? lit : kBackground) << c.name << ", next step";
  }
  devices::SetBeatAccumulator(0);
}

TEST(KeyboardAudio, InputsTakeOnlyWhatArrived) {
  devices::AudioInput in;
  in.SetAudioLevels(std::vector<int32_t>{7, 8, 9}, 0);
  in.SetHostColours(std::vector<int32_t>{1, 2});
  auto s = in.Take(false);
  EXPECT_EQ(s.levels[2], 9);
  EXPECT_EQ(s.levels[3], 0);
  EXPECT_EQ(s.host[1], 2);
  EXPECT_EQ(s.host[2], 0);
  // More than 25 levels: the rest is ignored.
  std::vector<int32_t> many(40, 5);
  in.SetAudioLevels(many, 0);
  EXPECT_EQ(in.Take(false).levels[24], 5);

  struct Case {
    std::vector<uint8_t> bytes;
    size_t taken;
    std::array<int32_t, 3> values;
  };
  const Case cases[] = {
      {{}, 0, {0, 0, 0}},
      {{1, 0, 0}, 0, {0, 0, 0}},                                   // a partial value is dropped
      {{0xD0, 0x07, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF, 9}, 2, {2000, -1, 0}},  // two whole values, then a partial one
      {std::vector<uint8_t>(16, 0x01), 3, {0x01010101, 0x01010101, 0x01010101}},  // more than room for
  };
  for (const Case& c : cases) {
    std::array<int32_t, 3> out{-5, -5, -5};
    EXPECT_EQ(devices::Int32sFromBytes(c.bytes, out), c.taken);
    EXPECT_EQ(out, c.values);
  }
}

TEST(KeyboardAudio, AStepNeverSeesTwoSetsMixed) {
  devices::AudioInput in;
  profiles::AudioLightRecord a;
  in.SetRecord(a);
  std::atomic<bool> done{false};
  std::thread writer([&] {
    const std::vector<int32_t> quiet(25, 1), loud(25, 2000);
    for (int i = 0; i < 20000; ++i) in.SetAudioLevels(i % 2 ? loud : quiet, 29);
    done = true;
  });
  int mixed = 0, seen = 0;
  const auto check = [&] {
    const auto s = in.Take(true);
    if (s.levels[0] == 0) return;  // used up by the previous step
    ++seen;
    for (int32_t l : s.levels) mixed += l != s.levels[0];
  };
  while (!done.load()) check();
  writer.join();
  check();  // the last set, unless a step already took it
  EXPECT_EQ(mixed, 0);
  EXPECT_GT(seen, 0);
}

}  // namespace
