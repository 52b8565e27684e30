// One model's light engine on a stepped clock: dispatch and thresholds, the
// mouse and pad steps, the custom effect player, the light areas, and the
// light thread's loop (hold flag, stop). Expected colours are worked out by
// hand from the tables (wheel, curves, brightness 0/50/100/175/255).

#include <array>
#include <atomic>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "devices/core/EventReader.h"
#include "devices/core/LightThread.h"
#include "tests/devices/LightRecords.h"
#include "platform/Trace.h"
#include "platform/Worker.h"
#include "tests/devices/LightTestSupport.h"

namespace {

using devices::LightColour;
using devices::LightModel;
using devices::ModelLightEngine;
using devices::TickMs;

using lighttest::LightMode;
using lighttest::Of;
using lighttest::Rgbb;

// Runs passes at ticks first .. first + count - 1.
void Passes(ModelLightEngine& e, uint64_t first, int count) {
  for (int i = 0; i < count; ++i) e.Pass(TickMs(first + uint64_t(i)));
}

Rgbb Light(const ModelLightEngine& e, size_t i) { return Of(e.Colours().Load(i)); }

TEST(LightDispatch, ThresholdsByModelRowAndSpeed) {
  struct Case {
    LightModel model;
    uint8_t row, speed;
    uint32_t expected;
  };
  const Case cases[] = {
      {LightModel::Keyboard, 4, 0, 5},  {LightModel::Keyboard, 23, 4, 1}, {LightModel::Keyboard, 16, 0, 4},
      {LightModel::Keyboard, 18, 4, 4}, {LightModel::Keyboard, 30, 0, 1}, {LightModel::Keyboard, 30, 3, 0},
      {LightModel::Mouse, 2, 0, 28},    {LightModel::Mouse, 2, 4, 7},     {LightModel::Pad, 0, 2, 18},
      {LightModel::Mouse, 1, 9, 7},     {LightModel::Keyboard, 4, 200, 1},  // above 4 counts as 4
  };
  for (const Case& c : cases)
    EXPECT_EQ(devices::StepThreshold(c.model, c.row, c.speed), c.expected)
        << int(c.model) << " row " << int(c.row) << " speed " << int(c.speed);
}

TEST(LightDispatch, AStepRunsWhenItsCounterReachesTheThreshold) {
  struct Case {
    LightModel model;
    uint8_t mode, speed;
    int passesBefore;  // passes that leave the lights dark
  };
  const Case cases[] = {
      {LightModel::Mouse, 0, 4, 6},      // mouse static, 7 ticks
      {LightModel::Mouse, 0, 0, 27},     // 28 ticks
      {LightModel::Pad, 3, 2, 17},       // pad static, 18 ticks
      {LightModel::Keyboard, 4, 0, 4},   // keyboard colour cycle, 5 ticks
      {LightModel::Keyboard, 4, 4, 0},   // every tick
  };
  for (const Case& c : cases) {
    ModelLightEngine e(c.model, 3);
    e.SetState(LightMode(c.mode, 4, c.speed, 1, 0, 200, 100, 50));
    e.BeginLoop(0);
    Passes(e, 1, c.passesBefore);
    EXPECT_EQ(Light(e, 2).level, 0) << int(c.model) << " mode " << int(c.mode) << " ran early";
    e.Pass(TickMs(uint64_t(c.passesBefore) + 1));
    EXPECT_EQ(Light(e, 2).level, 255) << int(c.model) << " mode " << int(c.mode);
    EXPECT_EQ(e.StepCounter(), 0u);
  }
}

TEST(LightDispatch, APassWithinTheSameTickDoesNotCount) {
  ModelLightEngine e(LightModel::Mouse, 1);
  e.SetState(LightMode(0, 4, 4, 0, 0, 1, 2, 3));
  e.BeginLoop(TickMs(5));
  for (int i = 0; i < 20; ++i) e.Pass(TickMs(5));
  EXPECT_EQ(e.StepCounter(), 0u);
  EXPECT_EQ(Light(e, 0).level, 0);
}

TEST(MouseSteps, WaveAtPhase185GivesSegmentZeroEntry186AndSegmentOneEntry1) {
  ModelLightEngine e(LightModel::Mouse, 15);
  e.SetState(LightMode(2, 4, 4, 1, 1));
  e.Effect().phase = 184;
  e.RunStep(devices::LightStepKind::MouseWave, 0);
  EXPECT_EQ(e.Effect().phase, 185);
  // Entry 186: (255, 0, down[26] = 12); entry 1: (255, up[1] = 3, 0).
  for (size_t light : {0u, 13u}) EXPECT_EQ(Light(e, light), (Rgbb{255, 0, 12, 255})) << light;
  for (size_t light : {1u, 12u}) EXPECT_EQ(Light(e, light), (Rgbb{255, 3, 0, 255})) << light;
  // Segment 6 holds lights 6, 14 and 7: entry 185 + 1 + 42 = 228 - 192 = 36 (down[4] = 194, 255, 0).
  for (size_t light : {6u, 14u, 7u}) EXPECT_EQ(Light(e, light), (Rgbb{194, 255, 0, 255})) << light;
}

TEST(MouseSteps, SingleColourWaveRunsOnTheShortCurveBothWays) {
  ModelLightEngine e(LightModel::Mouse, 15);
  e.SetState(LightMode(2, 2, 4, 0, 0, 10, 20, 30));  // backwards, level 100
  e.RunStep(devices::LightStepKind::MouseWave, 0);
  EXPECT_EQ(e.Effect().phase, 95) << "backwards from 0 wraps to 95";
  // Segment 0: short curve[(95 + 1) mod 96 = 0] = 22 -> 100 * 22 >> 8 = 8.
  EXPECT_EQ(Light(e, 0), (Rgbb{10, 20, 30, 8}));
  // Segment 1: short curve[7] = curve[23] = 42 -> 16.
  EXPECT_EQ(Light(e, 1), (Rgbb{10, 20, 30, 16}));
}

TEST(MouseSteps, ReactiveRisesOnAClickAndFallsBy15) {
  ModelLightEngine e(LightModel::Mouse, 15);
  e.SetState(LightMode(7, 4, 4, 0, 0, 0, 0, 255));
  e.Click();
  e.BeginLoop(0);
  Passes(e, 1, 7);
  EXPECT_EQ(Light(e, 3), (Rgbb{0, 0, 255, 254})) << "full level";
  Passes(e, 8, 7);
  EXPECT_EQ(Light(e, 3), (Rgbb{0, 0, 255, 239})) << "240 after one fall";
  for (int i = 0; i < 20; ++i) Passes(e, 15 + 7 * uint64_t(i), 7);
  EXPECT_EQ(Light(e, 3).level, 0) << "never below 0";

  // A click in another mode raises nothing.
  ModelLightEngine other(LightModel::Mouse, 15);
  other.SetState(LightMode(0, 4, 4, 0, 0, 0, 0, 255));
  other.Click();
  other.BeginLoop(0);
  Passes(other, 1, 7);
  other.SetState(LightMode(7, 4, 4, 0, 0, 0, 0, 255));
  Passes(other, 8, 7);
  EXPECT_EQ(Light(other, 3).level, 0);
}

TEST(MouseSteps, TrailLightsTheSegmentOfItsMarkerAndFades) {
  ModelLightEngine e(LightModel::Mouse, 15);
  e.StartMode(LightMode(4, 4, 4, 0, 0, 50, 60, 70));
  e.RunStep(devices::LightStepKind::MouseTrail, 0);
  // The marker at ring entry 0 lifts segment 0 to 255, which fades to 215 at once.
  EXPECT_EQ(Light(e, 0), (Rgbb{50, 60, 70, 214}));
  EXPECT_EQ(Light(e, 13), (Rgbb{50, 60, 70, 214}));
  EXPECT_EQ(Light(e, 1).level, 0);
  EXPECT_EQ(e.Reactive().ring[22], 1) << "direction 0 moves the marker towards lower indices";
}

TEST(PadSteps, TrailsAreLitOnceTheModeStarts) {
  struct Case {
    uint8_t mode;
    std::vector<size_t> lit;
  };
  const Case cases[] = {
      {6, {0}},       // light trail: light 0 itself
      {7, {1, 14}},   // pair trail: pair 0
  };
  for (const Case& c : cases) {
    ModelLightEngine e(LightModel::Pad, 15);
    e.StartMode(LightMode(c.mode, 4, 4, 0, 0, 9, 8, 7));
    const auto step = c.mode == 6 ? devices::LightStepKind::PadLightTrail : devices::LightStepKind::PadPairTrail;
    // The pad triggers on every second step after the first two.
    for (int i = 0; i < 3; ++i) e.RunStep(step, 0);
    for (size_t light : c.lit) EXPECT_EQ(Light(e, light), (Rgbb{9, 8, 7, 214})) << int(c.mode) << " " << light;
    size_t lit = 0;
    for (size_t i = 0; i < 15; ++i) lit += Light(e, i).level != 0;
    EXPECT_EQ(lit, c.lit.size()) << int(c.mode);
  }
}

TEST(PadSteps, WaveGivesEachLightItsOwnWheelEntry) {
  ModelLightEngine e(LightModel::Pad, 15);
  e.SetState(LightMode(0, 1, 4, 1, 1));
  e.RunStep(devices::LightStepKind::PadWave, 0);
  EXPECT_EQ(Light(e, 0), (Rgbb{255, 5, 0, 50})) << "entry 2";
  EXPECT_EQ(Light(e, 1), (Rgbb{255, 32, 0, 50})) << "entry 9";
}

profiles::LightEffectStep Step(uint8_t mode, uint8_t speed, int32_t timeMs, uint8_t r = 0, uint8_t g = 0,
                               uint8_t b = 0, uint8_t multi = 0) {
  profiles::LightEffectStep s;
  s.mode = mode;
  s.brightness = 4;
  s.speed = speed;
  s.multiColor = multi;
  s.red = r;
  s.green = g;
  s.blue = b;
  s.time = timeMs;
  return s;
}

TEST(CustomEffect, AModeWithoutAStepPlaysTheEffectOnEveryPass) {
  ModelLightEngine e(LightModel::Mouse, 2);
  e.SetState(LightMode(9, 4, 0, 0, 0));
  e.SetEffectSteps({Step(1, 4, 50, 255, 0, 0), Step(1, 4, 50, 0, 0, 255)});
  e.BeginLoop(0);
  e.Pass(TickMs(0));
  EXPECT_EQ(Light(e, 1), (Rgbb{255, 0, 0, 255})) << "first step at once";
  e.Pass(TickMs(3));  // 46 ms
  EXPECT_EQ(Light(e, 1).r, 255);
  e.Pass(TickMs(4));  // 62 ms
  EXPECT_EQ(Light(e, 1), (Rgbb{0, 0, 255, 255})) << "second step after 50 ms";
  e.Pass(TickMs(8));  // 125 ms
  EXPECT_EQ(Light(e, 1).r, 255) << "wraps to the first";
}

TEST(CustomEffect, AnEmptyListShowsOff) {
  ModelLightEngine e(LightModel::Pad, 2);
  e.SetState(LightMode(5, 4, 4, 0, 0, 1, 1, 1));
  e.RunStep(devices::LightStepKind::Static, 0);
  ASSERT_EQ(Light(e, 0).level, 255);
  e.Pass(TickMs(1));
  EXPECT_EQ(Light(e, 0), (Rgbb{0, 0, 0, 0}));
}

TEST(CustomEffect, ColourCycleSpeedsAndRestartOfASingleStep) {
  struct Case {
    uint8_t speed;
    int passes;
    Rgbb expected;
  };
  // Wheel entries 0 = (255, 1, 0), 1 = (255, 3, 0), 7 = (255, 22, 0).
  const Case cases[] = {
      {4, 1, {255, 3, 0, 255}},  {4, 7, {255, 22, 0, 255}},
      {0, 4, {255, 1, 0, 255}},  {0, 5, {255, 3, 0, 255}},
  };
  for (const Case& c : cases) {
    ModelLightEngine e(LightModel::Mouse, 1);
    e.SetState(LightMode(11, 4, 0, 0, 0));
    e.SetEffectSteps({Step(5, c.speed, 1000)});
    e.BeginLoop(0);
    Passes(e, 1, c.passes);
    EXPECT_EQ(Light(e, 0), c.expected) << "speed " << int(c.speed) << " passes " << c.passes;
  }
  // One step of 100 ms starts again when its time is up: the cycle restarts.
  ModelLightEngine e(LightModel::Mouse, 1);
  e.SetState(LightMode(11, 4, 0, 0, 0));
  e.SetEffectSteps({Step(5, 4, 100)});
  Passes(e, 0, 7);  // 0 .. 93 ms
  EXPECT_EQ(Light(e, 0), (Rgbb{255, 22, 0, 255}));
  e.Pass(TickMs(7));  // 109 ms
  EXPECT_EQ(Light(e, 0), (Rgbb{255, 3, 0, 255}));
}

TEST(CustomEffect, WaveAndBreathingDrawings) {
  ModelLightEngine e(LightModel::Mouse, 3);
  e.SetState(LightMode(11, 4, 0, 0, 0));
  e.SetEffectSteps({Step(4, 4, 1000, 0, 0, 0, 1)});  // multi-colour wave, direction 0, 7 passes
  Passes(e, 0, 6);
  // Phase 0 -> v = 1: light i gets entry 1 + 12i.
  EXPECT_EQ(Light(e, 1), (Rgbb{255, 57, 0, 255})) << "entry 13";
  e.Pass(TickMs(6));
  // Phase 1 -> v = 2.
  EXPECT_EQ(Light(e, 0), (Rgbb{255, 5, 0, 255}));
  EXPECT_EQ(Light(e, 1), (Rgbb{255, 65, 0, 255})) << "entry 14";
  ModelLightEngine b(LightModel::Mouse, 1);
  b.SetState(LightMode(11, 4, 0, 0, 0));
  b.SetEffectSteps({Step(0, 4, 100000, 100, 0, 0)});
  Passes(b, 0, 7 * 18);
  EXPECT_EQ(Light(b, 0), (Rgbb{100, 0, 0, 26})) << "curve[18] = 27 at 255";
}

profiles::LightModeEntry Area(uint8_t mode, uint8_t level, uint8_t speed, uint8_t multi, uint8_t r = 0,
                              uint8_t g = 0, uint8_t b = 0) {
  profiles::LightModeEntry a;
  a.mode = mode;
  a.brightness = level;
  a.speed = speed;
  a.multiColor = multi;
  a.red = r;
  a.green = g;
  a.blue = b;
  a.present = 1;
  return a;
}

TEST(LightAreas, EachAreaModeOverridesItsLightOnly) {
  ModelLightEngine e(LightModel::Pad, 7);
  e.SetState(LightMode(3, 1, 0, 0, 0, 7, 7, 7));  // pad static at level 1, 28 ticks
  e.RunStep(devices::LightStepKind::Static, 0);
  std::vector<profiles::LightModeEntry> areas(7);
  areas[0] = Area(1, 2, 0, 0, 1, 2, 3);   // static
  areas[1] = Area(4, 4, 0, 0, 9, 9, 9);   // off
  areas[2] = Area(2, 4, 4, 1);            // blink, 1400 ms, wheel
  areas[3] = Area(3, 4, 4, 1);            // colour cycle, every 7 passes
  areas[4] = Area(0, 4, 0, 0, 0, 200, 0); // breathing, phase + 4 per pass
  areas[5] = Area(1, 9, 0, 0, 5, 5, 5);   // level above 4 counts as 4
  e.SetAreas(areas);
  e.BeginLoop(0);
  Passes(e, 1, 7);  // up to tick 7 = 109 ms
  EXPECT_EQ(Light(e, 0), (Rgbb{1, 2, 3, 100}));
  EXPECT_EQ(Light(e, 1), (Rgbb{0, 0, 0, 0}));
  EXPECT_EQ(Light(e, 2), (Rgbb{0, 0, 0, 0})) << "blink still off";
  EXPECT_EQ(Light(e, 3), (Rgbb{255, 3, 0, 255})) << "colour index 1 after 7 passes";
  EXPECT_EQ(Light(e, 4), (Rgbb{0, 200, 0, 60})) << "phase 28: curve 61 at 255";
  EXPECT_EQ(Light(e, 5), (Rgbb{5, 5, 5, 255}));
  EXPECT_EQ(Light(e, 6), (Rgbb{7, 7, 7, 50})) << "no entry: the main effect";
  e.Pass(1400);
  EXPECT_EQ(Light(e, 2), (Rgbb{255, 65, 0, 255})) << "on, colour index 14";
  // Rebuilding the areas starts their counters again.
  e.SetAreas(areas);
  Passes(e, 100, 6);
  EXPECT_EQ(Light(e, 3), (Rgbb{255, 1, 0, 255}));
}

TEST(LightAreas, TheMouseHasNone) {
  ModelLightEngine e(LightModel::Mouse, 2);
  e.SetState(LightMode(10, 4, 4, 0, 0));
  std::vector<profiles::LightModeEntry> areas(2, Area(1, 4, 0, 0, 1, 1, 1));
  e.SetAreas(areas);
  e.Pass(TickMs(1));
  EXPECT_EQ(Light(e, 0).level, 0);
}

// Collects trace lines from every thread.
class Traces {
 public:
  Traces()
      : sink_([this](std::string_view line) {
          std::lock_guard g(lock_);
          lines_.emplace_back(line);
        }) {}
  bool Has(std::string_view text) {
    std::lock_guard g(lock_);
    for (const std::string& l : lines_)
      if (l.find(text) != std::string::npos) return true;
    return false;
  }

 private:
  std::mutex lock_;
  std::vector<std::string> lines_;
  platform::ScopedTraceSink sink_;
};

TEST(LightLoop, HoldFreezesTheColoursAndStopTracesTheExit) {
  Traces traces;
  ModelLightEngine e(LightModel::Mouse, 15);
  e.SetState(LightMode(0, 4, 4, 0, 0, 1, 2, 3));  // static, every 7 ticks
  devices::ManualLightClock clock;
  std::atomic<bool> hold{true};
  platform::Worker thread;
  ASSERT_TRUE(thread.Start([&](const platform::StopEvent& stop) {
    devices::RunLightLoop(e, clock, stop, {[] { return true; }, [&] { return hold.load(); }});
  }));
  ASSERT_TRUE(clock.WaitIdle());
  for (int i = 0; i < 20; ++i) {
    clock.Advance();
    ASSERT_TRUE(clock.WaitIdle());
  }
  EXPECT_EQ(Of(e.Colours().Load(0)), (Rgbb{0, 0, 0, 0})) << "held: nothing computed";
  hold = false;
  for (int i = 0; i < 7; ++i) {
    clock.Advance();
    ASSERT_TRUE(clock.WaitIdle());
  }
  EXPECT_EQ(Of(e.Colours().Load(0)), (Rgbb{1, 2, 3, 255}));
  devices::StopDeviceThread(thread, devices::kLightThreadStopBound);
  EXPECT_FALSE(thread.Running());
  EXPECT_TRUE(traces.Has("MS灯光线程设定退出"));
  EXPECT_TRUE(traces.Has("线程退出：：对象处于激发状态"));
}

TEST(LightLoop, AClosedChannelWaitsAHundredMillisecondsAndTheKeyboardSaysKB) {
  Traces traces;
  ModelLightEngine e(LightModel::Keyboard, 4);
  e.SetState(LightMode(4, 4, 4, 1, 0));  // colour cycle every tick
  devices::ManualLightClock clock;
  std::atomic<bool> open{false};
  platform::Worker thread;
  ASSERT_TRUE(thread.Start([&](const platform::StopEvent& stop) {
    devices::RunLightLoop(e, clock, stop, {[&] { return open.load(); }, [] { return false; }});
  }));
  clock.Advance();
  ASSERT_TRUE(clock.WaitIdle());
  open = true;
  clock.Advance(6);  // 93.75 ms: the 100 ms wait is not over
  ASSERT_TRUE(clock.WaitIdle());
  EXPECT_EQ(e.Colours().Load(0).brightness, 0);
  clock.Advance();
  ASSERT_TRUE(clock.WaitIdle());  // the wait ended; the loop waits for a new tick
  clock.Advance();
  ASSERT_TRUE(clock.WaitIdle());
  EXPECT_EQ(e.Colours().Load(0).brightness, 255);
  devices::StopDeviceThread(thread, devices::kLightThreadStopBound);
  EXPECT_TRUE(traces.Has("KB灯光线程设定退出"));
}

TEST(LightLoop, ColoursReadWhileTheThreadWritesAreWholeLights) {
  // The page reads while the thread writes; with the race detector on, a
  // torn or unsynchronised access fails this test.
  ModelLightEngine e(LightModel::Pad, 15);
  e.SetState(LightMode(1, 4, 4, 1, 0));  // colour cycle: every light the same wheel entry
  devices::ManualLightClock clock;
  platform::Worker thread;
  ASSERT_TRUE(thread.Start([&](const platform::StopEvent& stop) {
    devices::RunLightLoop(e, clock, stop, {[] { return true; }, [] { return false; }});
  }));
  const auto& wheel = devices::lighttables::ColourWheel();
  for (int i = 0; i < 400; ++i) {
    clock.Advance();
    const LightColour c = e.Colours().Load(size_t(i % 15));
    if (c.brightness == 0) continue;
    bool onWheel = false;
    for (size_t k = 0; k < 192 && !onWheel; ++k)
      onWheel = wheel[k][0] == c.c0 && wheel[k][1] == c.c1 && wheel[k][2] == c.c2;
    ASSERT_TRUE(onWheel) << "a colour off the wheel: " << Of(c);
  }
  devices::StopDeviceThread(thread, devices::kLightThreadStopBound);
}

}  // namespace
