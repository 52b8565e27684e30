// The keyboard's own light effects: the mode start, the ripple rows and each
// mode's step, directly and through the keyboard's engine on a stepped clock.
// Expected colours are worked out by hand from the tables (wheel, curves,
// brightness 0/50/100/175/255, the keyboard's columns and paths).

#include <algorithm>
#include <array>
#include <vector>

#include <gtest/gtest.h>

#include "devices/core/KeyboardEffects.h"
#include "devices/core/LightThread.h"
#include "tests/devices/LightTestSupport.h"

namespace {

using devices::KeyboardEffects;
using devices::LightColour;
using devices::LightModel;
using devices::ModelLightEngine;
using devices::TickMs;

using lighttest::Of;
using lighttest::Rgbb;

// A keyboard lighting state; the single colour is (10, 20, 30).
profiles::LightInfoRecord KeyboardMode(uint8_t mode, uint8_t level = 4, uint8_t speed = 4, uint8_t dir = 1,
                                       uint8_t multi = 0) {
  return lighttest::LightMode(mode, level, speed, dir, multi, 10, 20, 30);
}

// The keyboard's effects over their own state, as the engine holds it.
struct Fixture {
  devices::EffectState effect;
  devices::ReactiveLevels reactive;
  std::minstd_rand random{1};
  KeyboardEffects fx{effect, reactive, random};
  std::array<LightColour, 170> lights{};

  void Start(const profiles::LightInfoRecord& s) { fx.StartMode(s); }
  void Steps(const profiles::LightInfoRecord& s, int n) {
    for (int i = 0; i < n; ++i) ASSERT_TRUE(fx.Step(s, lights));
  }
  Rgbb Light(size_t i) const { return Of(lights[i]); }
  int Lit() const {
    return int(std::count_if(lights.begin(), lights.end(), [](const LightColour& c) { return c.brightness != 0; }));
  }
};

TEST(KeyboardEffects, SpreadHuesStepsBy33AroundTheWheel) {
  Fixture f;
  f.fx.SpreadHues();
  EXPECT_EQ(f.reactive.hue[0], 33);
  EXPECT_EQ(f.reactive.hue[5], 6);
  EXPECT_EQ(f.reactive.hue[63], 192);
  EXPECT_EQ(f.reactive.hue[64], 33);
}

TEST(KeyboardEffects, ModeStartClearsTheArraysAndPreparesTheMode) {
  Fixture f;
  f.effect.phase = 77;
  f.reactive.level.fill(9);
  f.reactive.trend.fill(1);
  f.fx.Ripple()[2][5] = 0xFF;
  f.fx.SetRippleCounter(3);

  f.Start(KeyboardMode(9));
  EXPECT_EQ(f.effect.phase, 0);
  EXPECT_EQ(f.fx.RippleCounter(), 0);
  EXPECT_EQ(std::count(f.reactive.level.begin(), f.reactive.level.end(), 0), 170);
  EXPECT_EQ(std::count(f.reactive.trend.begin(), f.reactive.trend.end(), 0), 170);
  EXPECT_EQ(f.fx.Ripple()[2][5], 0);
  EXPECT_EQ(f.reactive.hue[0], 33) << "every other mode spreads the hues";

  // Bouncing wave: the seventh-row bit of column 9; sweeping wave: the top of column 1.
  f.Start(KeyboardMode(13));
  for (const auto& row : f.fx.Ripple()) EXPECT_EQ(row[9], 0x40);
  f.Start(KeyboardMode(16));
  for (const auto& row : f.fx.Ripple()) {
    EXPECT_EQ(row[1], 0x01);
    EXPECT_EQ(row[9], 0x00);
  }

  // Twinkle preparation A: level from the flat phase list at 6c + r, hue 7c.
  f.Start(KeyboardMode(15));
  EXPECT_EQ(f.reactive.level[105], 72);  // column 0, row 6: entry 6
  EXPECT_EQ(f.reactive.hue[105], 0);
  EXPECT_EQ(f.reactive.level[0], 100);  // column 2, row 1: entry 13
  EXPECT_EQ(f.reactive.hue[0], 14);
  EXPECT_EQ(f.reactive.level[111], 192);  // column 12, row 6: entry 78

  // Twinkle preparation B: 192 − 8c, less 35 per row, less 63 more at 192 and above.
  f.Start(KeyboardMode(22));
  EXPECT_EQ(f.fx.TwinklePhase()[105], 140);  // column 0: 157 122 87 52 17 175 140
  EXPECT_EQ(f.fx.TwinklePhase()[0], 106);    // column 2: 141 106 71
  EXPECT_EQ(f.fx.TwinklePhase()[22], 71);
  EXPECT_EQ(f.reactive.hue[22], 14);
}

TEST(KeyboardEffects, KeyPressedSeedsOneRippleBit) {
  struct Case {
    uint8_t light;
    int kind;
    std::vector<uint8_t> lit;
  };
  const Case cases[] = {
      {52, 1, {52}},    // column 11, row 2
      {120, 1, {120}},  // column 0, row 1
      {52, 0, {}},      // only kind 1 counts
      {132, 1, {}},     // not in the columns
  };
  for (const Case& c : cases) {
    Fixture f;
    f.fx.KeyPressed(c.light, c.kind);
    f.fx.LightRippleRows(KeyboardMode(9));
    std::vector<uint8_t> lit;
    for (size_t i = 0; i < 170; ++i)
      if (f.reactive.level[i] == 255) lit.push_back(uint8_t(i));
    EXPECT_EQ(lit, c.lit) << int(c.light) << " kind " << c.kind;
  }
}

TEST(KeyboardEffects, RippleRowsTravelDiagonallyAndSlide) {
  Fixture f;
  auto& R = f.fx.Ripple();
  for (auto& row : R) row[10] = 0x04;  // column 10, row 2
  f.fx.AdvanceRippleRows();
  // Up-left: column 9 gets row 2 and column 10 row 1; up-right: column 11
  // row 2, column 10 row 1; down-right and down-left move the bit down.
  EXPECT_EQ(R[0][9], 0x04);
  EXPECT_EQ(R[0][10], 0x02);
  EXPECT_EQ(R[1][11], 0x04);
  EXPECT_EQ(R[1][10], 0x02);
  EXPECT_EQ(R[2][10], 0x08);
  EXPECT_EQ(R[2][11], 0x04);
  EXPECT_EQ(R[3][10], 0x08);
  EXPECT_EQ(R[3][9], 0x04);

  Fixture g;
  auto& S = g.fx.Ripple();
  for (auto& row : S) {
    row[0] = 0x01;
    row[22] = 0x02;
  }
  g.fx.SlideRippleRows();
  EXPECT_EQ(S[3][21], 0x02);
  EXPECT_EQ(S[3][22], 0x00);
  EXPECT_EQ(S[3][0], 0x00);
  EXPECT_EQ(S[1][1], 0x01);
  EXPECT_EQ(S[1][0], 0x00);
  EXPECT_EQ(S[1][22], 0x00) << "the right edge's bits leave the row";
  for (size_t c = 0; c < 23; ++c) EXPECT_EQ(S[0][c] | S[2][c], 0);

  // Bits shifted past the top or bottom are lost.
  Fixture h;
  h.fx.Ripple()[0][0] = 0x01;
  h.fx.Ripple()[3][22] = 0x80;
  h.fx.AdvanceRippleRows();
  EXPECT_EQ(h.fx.Ripple()[0][0], 0);
  EXPECT_EQ(h.fx.Ripple()[3][22], 0);
}

TEST(KeyboardEffects, ColumnWavesAtPhase185) {
  Fixture f;
  f.Start(KeyboardMode(1, 4, 4, 1, 1));
  f.effect.phase = 184;
  f.Steps(KeyboardMode(1, 4, 4, 1, 1), 1);
  EXPECT_EQ(f.effect.phase, 185);
  for (uint8_t l : {120, 124}) EXPECT_EQ(f.Light(l), (Rgbb{255, 0, 12, 255}));  // column 0: entry 186
  for (uint8_t l : {21, 105}) EXPECT_EQ(f.Light(l), (Rgbb{255, 3, 0, 255}));   // column 1: entry 1

  // Step 2 at level 2: column c gets wheel entry phase + 2c.
  Fixture g;
  g.effect.phase = 184;
  g.Steps(KeyboardMode(2, 2, 4, 1, 1), 1);
  EXPECT_EQ(g.Light(122), (Rgbb{255, 0, 16, 100}));  // column 0: entry 185
  EXPECT_EQ(g.Light(42), (Rgbb{255, 0, 8, 100}));    // column 1: entry 187

  // Single colour: column 0 on the short curve at phase + 1, column 1 seven on.
  Fixture h;
  h.effect.phase = 40;
  h.Steps(KeyboardMode(1, 4, 4, 1, 0), 1);
  EXPECT_EQ(h.Light(120), (Rgbb{10, 20, 30, 219}));  // short curve[42] = 220
  EXPECT_EQ(h.Light(21), (Rgbb{10, 20, 30, 247}));   // short curve[49] = 248
}

TEST(KeyboardEffects, WavesAlongRowsBandsAndTheKeyOrder) {
  struct Case {
    uint8_t mode, multi, light;
    Rgbb expected;
  };
  // Each from phase 0, forwards, level 4: one step puts the phase at 1.
  const Case cases[] = {
      {12, 0, 0, {255, 5, 0, 255}},      // row wave, row 0: entry 2 (multi-colour or not)
      {12, 1, 120, {255, 188, 0, 255}},  // row 1: entry 26
      {18, 0, 51, {255, 26, 0, 255}},    // diagonal wave, band 0: entry 8
      {18, 0, 118, {0, 255, 129, 255}},  // band 11: entry 85
      {3, 1, 15, {255, 3, 0, 255}},      // key sequence, first key: entry 1
      {3, 1, 14, {255, 18, 0, 255}},     // second key: entry 6
      {3, 0, 14, {10, 20, 30, 38}},      // single colour: short curve[6] = breathing[22] = 39
  };
  for (const Case& c : cases) {
    Fixture f;
    f.Start(KeyboardMode(c.mode, 4, 4, 1, c.multi));
    f.Steps(KeyboardMode(c.mode, 4, 4, 1, c.multi), 1);
    EXPECT_EQ(f.Light(c.light), c.expected) << "mode " << int(c.mode) << " light " << int(c.light);
  }
}

TEST(KeyboardEffects, ColumnBreathingWrapsPast127) {
  Fixture f;
  f.effect.phase = 63;
  f.Steps(KeyboardMode(5, 4, 4, 0, 1), 1);
  EXPECT_EQ(f.Light(1), (Rgbb{255, 129, 0, 254}));  // column 3: entry 21 at breathing[64] = 255
  f.effect.phase = 127;
  f.Steps(KeyboardMode(5, 4, 4, 0, 0), 1);
  EXPECT_EQ(f.effect.phase, 0);
  EXPECT_EQ(f.Light(1), (Rgbb{10, 20, 30, 0}));
}

TEST(KeyboardEffects, StaticDiagonalRainbowFixedWheelAndCustomColours) {
  Fixture f;
  f.Steps(KeyboardMode(6, 3, 0, 0, 0), 1);
  EXPECT_EQ(f.Light(51), (Rgbb{10, 20, 30, 175}));
  EXPECT_EQ(f.Light(169), (Rgbb{10, 20, 30, 175}));
  f.Steps(KeyboardMode(6, 3, 0, 0, 1), 1);
  EXPECT_EQ(f.Light(51), (Rgbb{38, 0, 255, 175}));  // band 0: entry 138
  EXPECT_EQ(f.Light(118), (Rgbb{255, 18, 0, 175}));  // band 11: entry 6
  EXPECT_EQ(f.Light(17), (Rgbb{10, 20, 30, 175})) << "in no band: the single colour";

  const std::pair<uint8_t, Rgbb> wheel[] = {
      {1, {255, 176, 0, 255}}, {2, {0, 255, 18, 255}}, {3, {0, 255, 255, 255}}, {0, {255, 0, 85, 255}},
      {9, {255, 0, 85, 255}}};
  for (const auto& [secondary, expected] : wheel) {
    profiles::LightInfoRecord s = KeyboardMode(17);
    s.zzccLedMode = secondary;
    f.Steps(s, 1);
    EXPECT_EQ(f.Light(100), expected) << "secondary " << int(secondary);
  }

  std::vector<std::array<uint8_t, 3>> group(170, {1, 2, 3});
  group[7] = {200, 100, 50};
  f.fx.SetCustomColours(group);
  f.Start(KeyboardMode(20, 2));
  f.Steps(KeyboardMode(20, 2), 1);
  EXPECT_EQ(f.Light(7), (Rgbb{200, 100, 50, 100}));
  EXPECT_EQ(f.Light(8), (Rgbb{1, 2, 3, 100}));
}

TEST(KeyboardEffects, PerKeyCycleAndRiseAndFall) {
  Fixture f;
  f.Start(KeyboardMode(11));
  f.Steps(KeyboardMode(11, 4, 4, 0, 0), 1);
  EXPECT_EQ(f.Light(0), (Rgbb{220, 255, 0, 255}));  // hue 33 + 1: entry 34, whatever the flag
  EXPECT_EQ(f.Light(63), (Rgbb{255, 1, 0, 255}));   // hue 192 wraps to 0

  Fixture g;
  const std::array<std::array<int, 4>, 5> rows{{
      // light, trend, level before, level after
      {5, 1, 240, 255}, {6, 2, 5, 0}, {7, 1, 10, 25}, {8, 2, 100, 95}, {9, 0, 77, 77}}};
  for (const auto& r : rows) {
    g.reactive.trend[size_t(r[0])] = uint8_t(r[1]);
    g.reactive.level[size_t(r[0])] = uint8_t(r[2]);
  }
  g.Steps(KeyboardMode(25), 1);
  for (const auto& r : rows) {
    EXPECT_EQ(g.reactive.level[size_t(r[0])], r[3]) << "light " << r[0];
    EXPECT_EQ(g.Light(size_t(r[0])).level, (255 * r[3]) >> 8) << "light " << r[0];
  }
}

TEST(KeyboardEffects, ReactiveModesStayDarkWithoutInput) {
  for (uint8_t mode : {7, 8, 9, 25}) {
    Fixture f;
    f.lights.fill({9, 9, 9, 9});
    f.Start(KeyboardMode(mode, 4, 4, 0, 1));
    f.Steps(KeyboardMode(mode, 4, 4, 0, 1), 40);
    EXPECT_EQ(f.Lit(), 0) << "mode " << int(mode);
  }
}

TEST(KeyboardEffects, ReactiveModesLightAPressedKey) {
  // A ripple seeded by hand shows what the reactive steps do with it.
  Fixture f;
  f.Start(KeyboardMode(9));
  f.fx.KeyPressed(52, 1);
  f.Steps(KeyboardMode(9), 1);
  EXPECT_EQ(f.Light(52), (Rgbb{10, 20, 30, 214}));  // 255 less 40
  // The slide moves the bit one column each way: columns 10 and 12, row 2.
  f.Steps(KeyboardMode(9), 1);
  EXPECT_EQ(f.reactive.level[51], 215);
  EXPECT_EQ(f.reactive.level[53], 215);
  EXPECT_EQ(f.reactive.level[52], 175);
}

TEST(KeyboardEffects, StarlightLightsUpToSixKeysOfTheKeyOrder) {
  Fixture f;
  f.Start(KeyboardMode(10));
  f.Steps(KeyboardMode(10), 1);
  EXPECT_GE(f.Lit(), 1);
  EXPECT_LE(f.Lit(), 6);
  for (size_t i = 0; i < 170; ++i) {
    if (!f.lights[i].brightness) continue;
    EXPECT_TRUE(devices::keyboardtables::InKeyOrder(uint8_t(i))) << i;
    EXPECT_EQ(f.lights[i].brightness, 214) << i;  // 255 less 40
  }
}

TEST(KeyboardEffects, RunningKeyBothWays) {
  Fixture f;
  f.Start(KeyboardMode(21, 4, 4, 0));
  f.Steps(KeyboardMode(21, 4, 4, 0), 1);
  EXPECT_EQ(f.effect.phase, 170);
  EXPECT_EQ(f.Lit(), 0);
  f.Steps(KeyboardMode(21, 4, 4, 0), 1);
  EXPECT_EQ(f.effect.phase, 169) << "one step at 170 with nothing lit";
  EXPECT_EQ(f.Lit(), 0);

  Fixture g;
  g.Start(KeyboardMode(21, 4, 4, 1));
  g.Steps(KeyboardMode(21, 4, 4, 1), 2);
  EXPECT_EQ(g.Light(1), (Rgbb{10, 20, 30, 213}));  // 254 less 40
  EXPECT_EQ(g.Light(0), (Rgbb{10, 20, 30, 173}));  // and 40 again
  EXPECT_EQ(g.effect.phase, 2);
  g.effect.phase = 170;
  g.Steps(KeyboardMode(21, 4, 4, 1), 1);
  EXPECT_EQ(g.effect.phase, 0) << "forwards past the end starts again";
}

TEST(KeyboardEffects, CometLightsItsPathAndFades) {
  Fixture f;
  f.Start(KeyboardMode(24, 4, 4, 1));
  f.Steps(KeyboardMode(24, 4, 4, 1), 1);
  for (uint8_t l : {0, 26, 27, 50, 51}) EXPECT_EQ(f.Light(l), (Rgbb{10, 20, 30, 249})) << int(l);
  EXPECT_EQ(f.Lit(), 5);
  f.effect.phase = 51;
  f.Steps(KeyboardMode(24, 4, 4, 1), 1);
  EXPECT_EQ(f.effect.phase, 0) << "52 positions";
  EXPECT_EQ(f.Light(25), (Rgbb{10, 20, 30, 249}));
  EXPECT_EQ(f.Light(0), (Rgbb{10, 20, 30, 244}));
  // Multi-colour: a light of the path starts at hue 0 and moves on by 3.
  f.Steps(KeyboardMode(24, 4, 4, 1, 1), 1);
  EXPECT_EQ(f.Light(0), (Rgbb{255, 7, 0, 255}));
}

TEST(KeyboardEffects, TwinklesRunOnTheTwinkleCurve) {
  Fixture f;
  f.Start(KeyboardMode(22));
  f.Steps(KeyboardMode(22), 1);
  EXPECT_EQ(f.Light(22), (Rgbb{10, 20, 30, 19}));  // phase 72: curve 20
  EXPECT_EQ(f.Light(0), (Rgbb{10, 20, 30, 0}));    // phase 107: past the curve
  f.fx.TwinklePhase()[22] = 191;
  f.Steps(KeyboardMode(22), 1);
  EXPECT_EQ(f.fx.TwinklePhase()[22], 0);

  Fixture g;
  g.Start(KeyboardMode(15));
  g.Steps(KeyboardMode(15), 1);
  EXPECT_EQ(g.reactive.level[105], 74);  // the level is the phase and moves by 2
  EXPECT_EQ(g.Light(105), (Rgbb{10, 20, 30, 15}));  // curve[74] = 16
  EXPECT_EQ(g.reactive.level[111], 0) << "192 is past the wheel";
}

TEST(KeyboardEffects, BouncingWaveReseedsColumn9) {
  struct Case {
    std::array<uint8_t, 4> column9;
    uint8_t after;  // every row's byte after one step
  };
  const Case cases[] = {
      {{0x01, 0, 0, 0}, 0x01},
      {{0, 0, 0x40, 0}, 0x40},
  };
  for (const Case& c : cases) {
    Fixture f;
    f.Start(KeyboardMode(13));
    for (size_t r = 0; r < 4; ++r) f.fx.Ripple()[r][9] = c.column9[r];
    f.Steps(KeyboardMode(13), 1);
    for (size_t r = 0; r < 4; ++r) EXPECT_EQ(f.fx.Ripple()[r][9], c.after) << r;
  }
  Fixture f;
  f.Start(KeyboardMode(13));
  f.fx.Ripple()[0][9] = 0x41;
  f.fx.Ripple()[1][9] = f.fx.Ripple()[2][9] = f.fx.Ripple()[3][9] = 0;
  f.Steps(KeyboardMode(13), 1);
  EXPECT_EQ(f.fx.Ripple()[1][9], 0) << "two bits: no reseed";

  // The rows advance every second step, after lighting what they hold.
  Fixture g;
  g.Start(KeyboardMode(13));
  g.Steps(KeyboardMode(13), 2);
  EXPECT_EQ(g.Lit(), 0);
  g.Steps(KeyboardMode(13), 1);
  EXPECT_EQ(g.fx.Ripple()[0][9], 0x20);
  EXPECT_EQ(g.fx.Ripple()[1][10], 0x40);
}

TEST(KeyboardEffects, LightShowRunsThroughItsStages) {
  Fixture f;
  f.Start(KeyboardMode(14));
  f.Steps(KeyboardMode(14), 1);
  EXPECT_EQ(f.Light(0), (Rgbb{10, 20, 30, 214}));
  EXPECT_EQ(f.Light(118), (Rgbb{10, 20, 30, 214}));
  f.Steps(KeyboardMode(14), 19);
  EXPECT_EQ(f.fx.RippleCounter(), 1);
  EXPECT_EQ(f.effect.phase, 0);
  std::vector<int> stages{1};
  for (int i = 0; i < 3000 && stages.size() < 6; ++i) {
    f.Steps(KeyboardMode(14), 1);
    if (f.fx.RippleCounter() != stages.back()) stages.push_back(f.fx.RippleCounter());
  }
  EXPECT_EQ(stages, (std::vector<int>{1, 2, 3, 4, 0, 1}));
}

TEST(KeyboardEffects, ModesWithoutAStepOfTheirOwn) {
  Fixture f;
  for (uint8_t mode : {0, 4, 19, 23, 26, 27, 28, 29, 30, 31, 255}) {
    f.lights.fill({9, 9, 9, 9});
    EXPECT_FALSE(f.fx.Step(KeyboardMode(mode), f.lights)) << int(mode);
    EXPECT_EQ(f.Light(0), (Rgbb{9, 9, 9, 9})) << int(mode);
  }
}

TEST(KeyboardDispatch, EachModeHasItsThresholdRow) {
  for (uint8_t mode = 0; mode <= 31; ++mode) {
    const devices::DispatchRow* row = devices::FindDispatch(LightModel::Keyboard, mode);
    const bool none = mode == 0 || mode == 19 || mode >= 31;
    ASSERT_EQ(row == nullptr, none) << int(mode);
    if (!row) continue;
    EXPECT_EQ(row->row, mode == 26 ? 5 : mode == 27 ? 23 : mode) << int(mode);
  }
}

TEST(KeyboardDispatch, EachModeStepsAtItsPaceOnTheClock) {
  struct Case {
    uint8_t mode, speed;
    uint32_t ticks;  // ticks between two steps
  };
  // Speed 4 steps every tick: the threshold row holds over "every 2". The
  // audio mode (29, sub-mode 0) steps every second tick at any speed.
  const Case cases[] = {{1, 4, 1}, {1, 0, 5}, {1, 2, 3}, {3, 1, 4}, {12, 3, 2},
                        {18, 0, 4}, {18, 4, 4}, {24, 0, 5}, {29, 0, 2}, {29, 4, 2}};
  for (const Case& c : cases) {
    ModelLightEngine e(LightModel::Keyboard, 170);
    e.StartMode(KeyboardMode(c.mode, 4, c.speed, 1, 1));
    e.BeginLoop(TickMs(0));
    uint64_t tick = 0;
    for (uint8_t step = 1; step <= 3; ++step) {
      for (uint32_t t = 1; t < c.ticks; ++t) e.Pass(TickMs(++tick));
      EXPECT_EQ(e.Effect().phase, step - 1) << "mode " << int(c.mode) << " speed " << int(c.speed);
      e.Pass(TickMs(++tick));
      EXPECT_EQ(e.Effect().phase, step) << "mode " << int(c.mode) << " speed " << int(c.speed);
    }
  }
}

TEST(KeyboardDispatch, TheEngineStartsAndRunsTheKeyboardsSteps) {
  ModelLightEngine e(LightModel::Keyboard, 170);
  e.StartMode(KeyboardMode(6, 4, 4, 0, 1));
  EXPECT_EQ(e.Reactive().hue[5], 6) << "the mode start spread the hues";
  e.BeginLoop(TickMs(0));
  e.Pass(TickMs(1));
  EXPECT_EQ(Of(e.Colours().Load(51)), (Rgbb{38, 0, 255, 255}));
}

}  // namespace
