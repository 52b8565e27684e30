// The headset's light reports and its own light steps.

#include <gtest/gtest.h>

#include <QProcess>

#include "headset/core/HeadsetLights.h"
#include "platform/Paths.h"
#include "tests/profiles/TestFiles.h"

namespace headset_test {
namespace {

using headset::BuildLightReports;
using headset::HeadsetLightEngine;
using headset::LightColour;
using headset::LightReport;

using Colours = std::array<LightColour, headset::kHeadsetLightCount>;

TEST(HeadsetLightReports, WhiteAtFullBrightnessIsCappedInEveryGroup) {
  Colours white;
  white.fill({255, 255, 255, 255});
  const auto reports = BuildLightReports(white);
  const uint8_t order[12][2] = {{0x22, 0xAA}, {0x22, 0xAD}, {0x44, 0xAA}, {0x44, 0xAD}, {0x22, 0xAB}, {0x22, 0xAE},
                                {0x44, 0xAB}, {0x44, 0xAE}, {0x22, 0xAC}, {0x22, 0xAF}, {0x44, 0xAC}, {0x44, 0xAF}};
  for (size_t r = 0; r < reports.size(); ++r) {
    const bool firstSeven = order[r][1] == 0xAA || order[r][1] == 0xAB || order[r][1] == 0xAC;
    LightReport expected{0xFF, order[r][0], order[r][1], 0};
    for (size_t i = 0; i < (firstSeven ? 7u : 6u); ++i) expected[4 + i] = 247;
    EXPECT_EQ(reports[r], expected) << "report " << r;
  }
}

TEST(HeadsetLightReports, EachLightLandsInItsGroupAndPlace) {
  // Brightness 128 halves every component: light i sends i + 1, i + 50, i + 100.
  Colours colours;
  for (size_t i = 0; i < colours.size(); ++i)
    colours[i] = {uint8_t(2 * i + 2), uint8_t(2 * i + 100), uint8_t(2 * i + 200), 128};
  const LightReport expected[12] = {
      {0xFF, 0x22, 0xAA, 0, 1, 2, 3, 4, 5, 6, 7},       {0xFF, 0x22, 0xAD, 0, 8, 9, 10, 11, 12, 13},
      {0xFF, 0x44, 0xAA, 0, 1, 2, 3, 4, 5, 6, 7},       {0xFF, 0x44, 0xAD, 0, 8, 9, 10, 11, 12, 13},
      {0xFF, 0x22, 0xAB, 0, 50, 51, 52, 53, 54, 55, 56}, {0xFF, 0x22, 0xAE, 0, 57, 58, 59, 60, 61, 62},
      {0xFF, 0x44, 0xAB, 0, 50, 51, 52, 53, 54, 55, 56}, {0xFF, 0x44, 0xAE, 0, 57, 58, 59, 60, 61, 62},
      {0xFF, 0x22, 0xAC, 0, 100, 101, 102, 103, 104, 105, 106}, {0xFF, 0x22, 0xAF, 0, 107, 108, 109, 110, 111, 112},
      {0xFF, 0x44, 0xAC, 0, 100, 101, 102, 103, 104, 105, 106}, {0xFF, 0x44, 0xAF, 0, 107, 108, 109, 110, 111, 112},
  };
  const auto reports = BuildLightReports(colours);
  for (size_t r = 0; r < 12; ++r) EXPECT_EQ(reports[r], expected[r]) << "report " << r;
}

TEST(HeadsetLightReports, TheEmulatedHeadsetGetsThemInOrder) {
  // vx27ctl sends the reports to an emulated headset and prints what it got;
  // the colours are decoded by the emulator.
  profiles_test::TempFolder dir;
  std::string hex = "ff ff ff ff";
  for (int i = 1; i < 12; ++i) hex += " 10 20 30 80";
  hex += " ff 00 80 ff";
  profiles_test::WriteText(dir / "colours.hex", hex);
  QProcess p;
  p.start(QString::fromStdString((platform::InstallFolder() / "vx27ctl").string()),
          {"headset-lights", QString::fromStdString((dir / "colours.hex").string()), "--emulate", "headset"});
  ASSERT_TRUE(p.waitForFinished(20000));
  const QStringList lines = QString::fromUtf8(p.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts);
  ASSERT_GE(lines.size(), 12);
  const char* reports[12] = {
      "ff 22 aa 00 f7 08 08 08 08 08 08 00 00 00 00 00 00", "ff 22 ad 00 08 08 08 08 08 f7 00 00 00 00 00 00 00",
      "ff 44 aa 00 f7 08 08 08 08 08 08 00 00 00 00 00 00", "ff 44 ad 00 08 08 08 08 08 f7 00 00 00 00 00 00 00",
      "ff 22 ab 00 f7 10 10 10 10 10 10 00 00 00 00 00 00", "ff 22 ae 00 10 10 10 10 10 00 00 00 00 00 00 00 00",
      "ff 44 ab 00 f7 10 10 10 10 10 10 00 00 00 00 00 00", "ff 44 ae 00 10 10 10 10 10 00 00 00 00 00 00 00 00",
      "ff 22 ac 00 f7 18 18 18 18 18 18 00 00 00 00 00 00", "ff 22 af 00 18 18 18 18 18 7f 00 00 00 00 00 00 00",
      "ff 44 ac 00 f7 18 18 18 18 18 18 00 00 00 00 00 00", "ff 44 af 00 18 18 18 18 18 7f 00 00 00 00 00 00 00"};
  for (int i = 0; i < 12; ++i) EXPECT_EQ(lines[i].toStdString(), reports[i]);
  for (const char* colour : {"0x22 0 247 247 247", "0x44 5 8 16 24", "0x22 12 247 0 127", "0x44 12 247 0 127"})
    EXPECT_TRUE(lines.contains(QString::fromLatin1(colour))) << colour;
  EXPECT_EQ(lines.last().toStdString(), "result 1");
}

profiles::LightInfoRecord State(uint8_t effect, uint8_t direction, bool multiColour) {
  profiles::LightInfoRecord s;
  s.selectItem = effect;
  s.light = 4;  // brightness 255
  s.speed = 4;
  s.fx = direction;
  s.multiColor = multiColour ? 1 : 0;
  s.red = 200;
  return s;
}

// Brightness of each light after `calls` steps of a fresh engine.
std::array<int, 13> AfterSteps(uint8_t effect, uint8_t direction, int calls) {
  HeadsetLightEngine engine;
  Colours lights{};
  const auto state = State(effect, direction, false);
  for (int i = 0; i < calls; ++i) {
    if (effect == headset::headseteffect::kPairChase) engine.PairChase(state, lights);
    else engine.RingChase(state, lights);
  }
  std::array<int, 13> b{};
  for (size_t i = 0; i < b.size(); ++i) b[i] = lights[i].brightness;
  return b;
}

TEST(HeadsetLightSteps, ChasesPerDirection) {
  // The ring starts with entry 0 set; every second step lights the lights
  // whose ring entry is set (level 255) and moves the ring; each step fades
  // a level by 40 while it is 128 or more, then by 30 (255, 215, 175, 135,
  // 95, 65).
  struct Case {
    const char* name;
    uint8_t effect, direction;
    int calls;
    std::array<int, 13> brightness;
  } cases[] = {
      // Pairs (1,14) (2,13) ... (7,8): light 0 is in none, 13 and 14 do not exist.
      {"pair chase, direction 0, step 2", 7, 0, 2, {0, 214, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
      {"pair chase, direction 0, step 4", 7, 0, 4, {0, 134, 214, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
      {"pair chase, direction 1, step 6", 7, 1, 6, {0, 64, 0, 0, 0, 0, 0, 214, 214, 0, 0, 0, 0}},
      {"ring chase, direction 1, step 4", 6, 1, 4, {134, 214, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
      // Towards lower indices the marker comes round from entry 22 and
      // reaches light 12 at the 24th step.
      {"ring chase, direction 0, step 24", 6, 0, 24, {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 214}},
  };
  for (const Case& c : cases) EXPECT_EQ(AfterSteps(c.effect, c.direction, c.calls), c.brightness) << c.name;
}

TEST(HeadsetLightSteps, WavePerDirectionAndColour) {
  struct Case {
    const char* name;
    uint8_t direction;
    bool multiColour;
    uint8_t phase;
    LightColour light0, light1;
  } cases[] = {
      // Multi-colour: wheel entry phase + 1, then 16 further, or 80 from 176..239.
      {"multi, direction 1", 1, true, 0, {255, 5, 0, 255}, {255, 99, 0, 255}},  // entries 2, 18
      {"multi, direction 0", 0, true, 0, {255, 1, 0, 255}, {255, 81, 0, 255}},  // entries 192 (= 0), 16
      // Single colour: the short curve (22, 24, 27, ...) from the phase, which
      // moves by 3 and wraps at 96.
      {"single, direction 1", 1, false, 93, {200, 0, 0, 255 * 22 >> 8}, {}},  // 93 + 3 wraps to 0
      {"single, direction 0", 0, false, 5, {200, 0, 0, 255 * 27 >> 8}, {}},   // 5 - 3 = 2
  };
  for (const Case& c : cases) {
    HeadsetLightEngine engine;
    engine.Effect().phase = c.phase;
    Colours lights{};
    engine.Wave(State(0, c.direction, c.multiColour), lights);
    EXPECT_EQ(lights[0].c0, c.light0.c0) << c.name;
    EXPECT_EQ(lights[0].c1, c.light0.c1) << c.name;
    EXPECT_EQ(lights[0].c2, c.light0.c2) << c.name;
    EXPECT_EQ(lights[0].brightness, c.light0.brightness) << c.name;
    if (c.multiColour) {
      EXPECT_EQ(lights[1].c1, c.light1.c1) << c.name;
      EXPECT_EQ(lights[1].brightness, 255) << c.name;
    }
  }
}

TEST(HeadsetLightSteps, TurnsRunTheStepAtTheSpeedsThreshold) {
  for (auto [speed, threshold] : {std::pair{0, 28}, {2, 18}, {4, 7}}) {
    HeadsetLightEngine engine;
    auto state = State(headset::headseteffect::kStatic, 0, false);
    state.speed = uint8_t(speed);
    Colours lights{};
    int steps = 0, first = 0;
    for (int turn = 1; turn <= 3 * threshold; ++turn)
      if (engine.Turn(state, lights, 0)) {
        ++steps;
        if (!first) first = turn;
      }
    EXPECT_EQ(first, threshold) << speed;
    EXPECT_EQ(steps, 3) << speed;
    EXPECT_EQ(lights[12].c0, 200);
  }
}

TEST(HeadsetLightSteps, CustomEffectsPlayTheEffectListOnEveryTurn) {
  // Two static steps of one second each: red at full brightness, then blue
  // at level 2 (100). The clock is stepped by hand.
  profiles::LightEffectStep red;
  red.mode = 1, red.brightness = 4, red.red = 255, red.time = 1000;
  profiles::LightEffectStep blue;
  blue.mode = 1, blue.brightness = 2, blue.blue = 255, blue.time = 1000;
  struct Sample {
    uint32_t nowMs;
    LightColour expected;
  };
  const Sample samples[] = {{0, {255, 0, 0, 255}},   {999, {255, 0, 0, 255}}, {1000, {0, 0, 255, 100}},
                            {1999, {0, 0, 255, 100}}, {2000, {255, 0, 0, 255}}};
  for (uint8_t effect : {uint8_t(5), uint8_t(9), uint8_t(200)}) {
    HeadsetLightEngine engine;
    engine.SetEffectSteps({red, blue});
    Colours lights{};
    for (const Sample& s : samples) {
      // No turn count to wait for: the player draws on the first turn.
      EXPECT_TRUE(engine.Turn(State(effect, 0, false), lights, s.nowMs)) << int(effect) << " at " << s.nowMs;
      for (const LightColour& l : lights) {
        EXPECT_EQ(l.c0, s.expected.c0) << int(effect) << " at " << s.nowMs;
        EXPECT_EQ(l.c2, s.expected.c2) << int(effect) << " at " << s.nowMs;
        EXPECT_EQ(l.brightness, s.expected.brightness) << int(effect) << " at " << s.nowMs;
      }
    }
  }
  // An empty list leaves the lights dark.
  HeadsetLightEngine engine;
  Colours lights;
  lights.fill({9, 9, 9, 9});
  EXPECT_TRUE(engine.Turn(State(5, 0, false), lights, 0));
  for (const LightColour& l : lights) EXPECT_EQ(l.brightness, 0);
}

TEST(HeadsetLightSteps, AreasPaintTheirLightsOverTheEffect) {
  // Static effect in red at 255; light 2 has a static area of its own
  // (colour 1 2 3, level 2 = 100) and light 5 an area turned off.
  std::vector<profiles::LightModeEntry> areas(headset::kHeadsetLightCount);
  areas[2] = {.mode = 1, .brightness = 2, .red = 1, .green = 2, .blue = 3, .present = 1};
  areas[5] = {.mode = 4, .brightness = 4, .red = 7, .present = 1};
  HeadsetLightEngine engine;
  engine.SetAreas(areas);
  const auto state = State(headset::headseteffect::kStatic, 0, false);  // speed 4: a step every 7th turn
  Colours lights{};
  // The areas run on every turn, before the effect's first step.
  EXPECT_TRUE(engine.Turn(state, lights, 0));
  EXPECT_EQ(lights[0].brightness, 0);
  EXPECT_EQ(lights[2].c0, 1);
  EXPECT_EQ(lights[2].c2, 3);
  EXPECT_EQ(lights[2].brightness, 100);
  for (int turn = 2; turn <= 7; ++turn) engine.Turn(state, lights, 0);
  EXPECT_EQ(lights[0].c0, 200);
  EXPECT_EQ(lights[0].brightness, 255);
  EXPECT_EQ(lights[2].c0, 1);
  EXPECT_EQ(lights[2].brightness, 100);
  EXPECT_EQ(lights[5].brightness, 0);
  // Without areas a turn below the threshold draws nothing.
  engine.SetAreas({});
  EXPECT_FALSE(engine.Turn(state, lights, 0));
}

TEST(HeadsetLightSteps, ChangingTheEffectSeedsTheRingAgain) {
  HeadsetLightEngine engine;
  Colours lights{};
  auto pair = State(headset::headseteffect::kPairChase, 0, false);
  for (int turn = 0; turn < 7 * 20; ++turn) engine.Turn(pair, lights, 0);
  auto ring = State(headset::headseteffect::kRingChase, 1, false);
  for (int turn = 0; turn < 7 * 2; ++turn) engine.Turn(ring, lights, 0);
  // Two ring steps: light 0 lit from the fresh marker, nothing else left over.
  EXPECT_EQ(lights[0].brightness, 214);
  for (size_t i = 1; i < lights.size(); ++i) EXPECT_EQ(lights[i].brightness, 0) << i;
}

}  // namespace
}  // namespace headset_test
