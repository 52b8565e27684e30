// The light engine's shared tables, phase arithmetic, common steps and
// reactive fading, against values written out by hand.

#include <array>

#include <gtest/gtest.h>

#include "devices/core/FunctionSwitch.h"
#include "devices/core/LightEngine.h"
#include "tests/devices/LightRecords.h"

namespace {

using devices::CommonStep;
using devices::EffectState;
using devices::LightColour;
using devices::StepPhase;
namespace lt = devices::lighttables;

TEST(LightTables, PinnedEntries) {
  const auto& wheel = lt::ColourWheel();
  using RGB = std::array<uint8_t, 3>;
  EXPECT_EQ(wheel[0], (RGB{255, 1, 0}));
  EXPECT_EQ(wheel[31], (RGB{255, 255, 0}));
  EXPECT_EQ(wheel[32], (RGB{248, 255, 0}));
  EXPECT_EQ(wheel[95], (RGB{0, 255, 255}));
  EXPECT_EQ(wheel[127], (RGB{0, 0, 255}));
  EXPECT_EQ(wheel[160], (RGB{255, 0, 248}));
  EXPECT_EQ(wheel[191], (RGB{255, 0, 0}));
  EXPECT_EQ(wheel[192], wheel[0]);
  EXPECT_EQ(wheel[255], wheel[63]);
  const auto& curve = lt::BreathingCurve();
  EXPECT_EQ(curve[0], 0);
  EXPECT_EQ(curve[18], 27);
  EXPECT_EQ(curve[63], 255);
  EXPECT_EQ(curve[64], 255);
  EXPECT_EQ(curve[127], 0);
}

TEST(StepPhase, WrapsBothWays) {
  struct Case {
    bool up;
    int period;
    uint8_t phase;
    int step;
    uint8_t expected;
  };
  const Case cases[] = {
      {true, 128, 0, 1, 1},   {true, 128, 127, 1, 0},  {true, 192, 190, 1, 191}, {true, 192, 191, 1, 0},
      {false, 128, 5, 1, 4},  {false, 128, 0, 1, 127}, {false, 192, 0, 1, 191},  {false, 192, 10, 16, 176},
      {true, 192, 180, 16, 0},
  };
  for (const Case& c : cases)
    EXPECT_EQ(StepPhase(c.up, c.period, c.phase, c.step), c.expected)
        << c.up << " " << c.period << " " << int(c.phase) << " " << c.step;
}

profiles::LightInfoRecord State(uint8_t level, uint8_t speed, uint8_t dir, uint8_t multi, uint8_t r, uint8_t g, uint8_t b) {
  return lighttest::LightMode(0, level, speed, dir, multi, r, g, b);
}

TEST(CommonSteps, StaticCycleAndOffWriteEveryLight) {
  std::array<LightColour, 3> lights{};
  EffectState e;
  struct Case {
    CommonStep step;
    profiles::LightInfoRecord state;
    LightColour expected;
  };
  const Case cases[] = {
      {CommonStep::Static, State(3, 0, 0, 0, 10, 20, 30), {10, 20, 30, 175}},
      {CommonStep::Static, State(4, 0, 0, 1, 10, 20, 30), {10, 20, 30, 255}},  // static ignores multi-colour
      {CommonStep::ColourCycle, State(1, 0, 1, 0, 0, 0, 0), {255, 3, 0, 50}},  // forwards: phase 0 -> 1
      {CommonStep::ColourCycle, State(1, 0, 0, 0, 0, 0, 0), {255, 0, 0, 50}},  // backwards: phase 0 -> 191
      {CommonStep::Off, State(4, 0, 0, 0, 9, 9, 9), {0, 0, 0, 0}},
  };
  for (const Case& c : cases) {
    e = {};
    devices::RunCommonStep(c.step, c.state, e, lights, 0);
    for (const LightColour& l : lights) {
      EXPECT_EQ(l.c0, c.expected.c0);
      EXPECT_EQ(l.c1, c.expected.c1);
      EXPECT_EQ(l.c2, c.expected.c2);
      EXPECT_EQ(l.brightness, c.expected.brightness);
    }
  }
}

TEST(CommonSteps, BreathingFollowsTheCurveAndAdvancesTheColourOnEachBreath) {
  std::array<LightColour, 1> light{};
  EffectState e;
  const auto s = State(4, 0, 1, 1, 0, 0, 0);  // forwards, multi-colour
  for (int i = 0; i < 18; ++i) devices::RunCommonStep(CommonStep::Breathing, s, e, light, 0);
  EXPECT_EQ(e.phase, 18);
  EXPECT_EQ(light[0].brightness, (27 * 255) >> 8);
  EXPECT_EQ(light[0].c0, 255);  // wheel entry 0
  for (int i = 18; i < 128; ++i) devices::RunCommonStep(CommonStep::Breathing, s, e, light, 0);
  EXPECT_EQ(e.phase, 0);
  EXPECT_EQ(e.aux[0], 16) << "a new breath takes the next wheel colour";
}

TEST(CommonSteps, BlinkTogglesAfterItsPeriodOnTheClock) {
  std::array<LightColour, 2> lights{};
  EffectState e;
  const auto s = State(2, 4, 0, 0, 200, 100, 50);  // speed 4: 7 x 200 ms
  devices::RunCommonStep(CommonStep::Blink, s, e, lights, 1400);
  EXPECT_EQ(lights[0].brightness, 100) << "on at 1400 ms";
  devices::RunCommonStep(CommonStep::Blink, s, e, lights, 2799);
  EXPECT_EQ(lights[1].brightness, 100) << "still on just before the period";
  devices::RunCommonStep(CommonStep::Blink, s, e, lights, 2800);
  EXPECT_EQ(lights[0].brightness, 0);
  EXPECT_EQ(lights[0].c0, 0);
  // Four-colour blink walks the basic colours.
  e = {};
  devices::RunCommonStep(CommonStep::FourColourBlink, s, e, lights, 1400);
  EXPECT_EQ(lights[0].c0, 0);
  EXPECT_EQ(lights[0].c1, 255);
  EXPECT_EQ(lights[0].c2, 0) << "basic colour 1";
}

TEST(Reactive, DecayByLevelAndModeAndRingRotation) {
  struct Case {
    int mode;
    uint8_t level;
    uint8_t expected;
  };
  const Case cases[] = {
      {0, 255, 215}, {0, 100, 70}, {0, 40, 25}, {0, 20, 12}, {0, 1, 0}, {0, 0, 0},
      {29, 150, 105}, {29, 130, 90}, {29, 100, 70}, {29, 70, 50}, {29, 20, 15},
      {7, 40, 30}, {7, 20, 12},
  };
  devices::ReactiveLevels r;
  for (const Case& c : cases) {
    r.level[3] = c.level;
    r.Decay(3, c.mode);
    EXPECT_EQ(r.level[3], c.expected) << c.mode << " " << int(c.level);
  }
  r.Clear();
  r.ring[0] = 1;
  r.RotateRing(true);
  EXPECT_EQ(r.ring[1], 1);
  r.RotateRing(false);
  r.RotateRing(false);
  EXPECT_EQ(r.ring[22], 1) << "the first entry moves to the end";
  r.ring[22] = 0;
  r.ring[8] = 1;
  r.ring[9] = 1;
  r.TriggerFirstNine();
  EXPECT_EQ(r.level[8], 255);
  EXPECT_EQ(r.level[9], 0) << "only lights 0 to 8";
}

TEST(FunctionSwitch, TabsByTypeAndConnection) {
  struct Case {
    int type, kind, function, key;
  };
  const Case cases[] = {
      {2, 1, 0, 1}, {6, 2, 0, 1}, {3, 1, 1, -1}, {8, 3, 1, -1}, {5, 2, 2, -1}, {9, 1, 4, -1},
      {7, 2, 0, 2}, {1, 1, 0, 0},  {0, 2, 0, 0},  {10, 3, 0, 0},
      {4, 1, 3, -1}, {4, 2, 3, -1},  // by cable: the fourth tab
      {4, 6, 0, 2}, {4, 9, 0, 2}, {4, 3, 0, 2}, {4, 7, 0, 2},  // receiver, pad, headset: as 7
  };
  for (const Case& c : cases) {
    const devices::FunctionTabs t = devices::FunctionTabsFor(c.type, c.kind);
    EXPECT_EQ(t.functionTab, c.function) << c.type << "/" << c.kind;
    EXPECT_EQ(t.keyTab, c.key) << c.type << "/" << c.kind;
  }
}

}  // namespace
