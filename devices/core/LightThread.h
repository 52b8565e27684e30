#pragma once
// One model's light engine and the light thread loop that drives it. The
// engine owns everything the effect steps advance (phase, colour index, blink,
// reactive levels, the custom effect player, the light areas) and computes a
// pass into its own buffer, then publishes it to the atomic colours the page
// reads. No widgets and no I/O: the pages, the command-line tool and the
// benchmarks run the same code.

#include <atomic>
#include <functional>
#include <mutex>
#include <random>
#include <span>
#include <vector>

#include "devices/core/CustomEffect.h"
#include "devices/core/KeyboardAudio.h"
#include "devices/core/KeyboardEffects.h"
#include "devices/core/LightAreas.h"
#include "devices/core/LightClock.h"
#include "devices/core/LightColours.h"
#include "devices/core/LightEngine.h"

namespace devices {

enum class LightModel { Keyboard, Mouse, Pad };

enum class LightStepKind : uint8_t {
  Breathing, FourColourBreathing, Static, ColourCycle, Blink, FourColourBlink, Off,
  MouseWave, MouseTrail, MouseReactive, PadWave, PadLightTrail, PadPairTrail,
  KeyboardOwn,         // the keyboard's own step for its mode (KeyboardEffects)
  KeyboardAudio,       // mode 29: the audio levels drawn by the record's sub-mode
  KeyboardHostColour,  // mode 30: the colour the host sets
};

// A mode's step and the threshold row that paces it.
struct DispatchRow {
  uint8_t mode;
  LightStepKind step;
  uint8_t row;
};
std::span<const DispatchRow> DispatchTable(LightModel model);
const DispatchRow* FindDispatch(LightModel model, uint8_t mode);
// Loop passes (ticks) between two steps of threshold row `row` at `speed`.
uint32_t StepThreshold(LightModel model, uint8_t row, uint8_t speed);
// The text the light thread writes when it ends.
const char* LightExitTrace(LightModel model);

class ModelLightEngine {
 public:
  static constexpr size_t kMaxLights = ReactiveLevels::kLights;

  explicit ModelLightEngine(LightModel model, size_t lightCount = 0);
  LightModel Model() const { return model_; }

  // Only while no light thread runs: zeroes the colours and the areas.
  void SetLightCount(size_t count);
  size_t LightCount() const { return count_; }

  // The lighting state the next pass uses (any thread).
  void SetState(const profiles::LightInfoRecord& state);
  profiles::LightInfoRecord State() const;
  // A mode starts: the state is taken and the model's mode-start work done
  // (mouse and pad: the reactive levels cleared and the trail's marker set).
  void StartMode(const profiles::LightInfoRecord& state);

  void SetEffectSteps(std::vector<profiles::LightEffectStep> steps);  // under effectListLock
  // One entry per light; rebuilding the areas restarts their per-light state.
  void SetAreas(std::vector<profiles::LightModeEntry> entries);  // under areaLock

  // The mouse's click report (any thread): the next pass in the reactive mode
  // raises every light.
  void Click() { clickPending_.store(true); }
  void SeedRandom(uint32_t seed) { random_.seed(seed); }

  // The light loop's step counter starts with the loop.
  void BeginLoop(uint32_t nowMs);
  // One loop pass at tick count `nowMs`: counts the tick when it advanced,
  // runs the mode's step when its threshold is reached (or the custom effect
  // player on every pass), then the areas, then publishes the colours.
  void Pass(uint32_t nowMs);
  // Runs one of the steps directly (the device's own step operations).
  void RunStep(LightStepKind step, uint32_t nowMs);

  const LightColourArray& Colours() const { return colours_; }
  LightColourArray& Colours() { return colours_; }
  const EffectState& Effect() const { return effect_; }
  EffectState& Effect() { return effect_; }
  const ReactiveLevels& Reactive() const { return reactive_; }
  ReactiveLevels& Reactive() { return reactive_; }
  KeyboardEffects& Keyboard() { return keyboard_; }
  // The keyboard's audio levels, host colour and audio lighting record (any thread).
  AudioInput& Audio() { return audio_.Input(); }
  uint32_t StepCounter() const { return stepCounter_; }
  std::recursive_mutex& EffectListLock() { return effectListLock_; }
  std::recursive_mutex& AreaLock() { return areaLock_; }

 private:
  std::span<LightColour> Work() { return std::span(work_).first(count_); }
  void Step(LightStepKind step, const profiles::LightInfoRecord& s, uint32_t nowMs);
  void ApplyClick(const profiles::LightInfoRecord& s);
  void MouseWave(const profiles::LightInfoRecord& s, bool perLight);
  void MouseReactive(const profiles::LightInfoRecord& s);
  void MouseTrail(const profiles::LightInfoRecord& s);
  void PadTrail(const profiles::LightInfoRecord& s, bool pairs);
  enum class TrailUnits { MouseSegments, PadPairs, PadLights };
  // The shared tail of the trails: each unit (a group of lights) fades its
  // level and is painted by it.
  void PaintTrail(const profiles::LightInfoRecord& s, TrailUnits units);

  const LightModel model_;
  size_t count_ = 0;
  std::array<LightColour, kMaxLights> work_{};
  LightColourArray colours_;
  mutable std::mutex stateLock_;  // guards state_
  profiles::LightInfoRecord state_;
  EffectState effect_;
  ReactiveLevels reactive_;
  uint32_t stepCounter_ = 0;
  uint32_t lastTick_ = 0;
  uint32_t padTrailCounter_ = 0;
  std::atomic<bool> clickPending_{false};
  std::minstd_rand random_{1};
  KeyboardEffects keyboard_{effect_, reactive_, random_};
  KeyboardAudio audio_{effect_, reactive_, keyboard_};
  std::recursive_mutex effectListLock_;  // guards effectSteps_
  std::vector<profiles::LightEffectStep> effectSteps_;
  CustomEffectPlayer player_;
  std::recursive_mutex areaLock_;  // guards areaEntries_
  std::vector<profiles::LightModeEntry> areaEntries_;
  LightAreas areas_;
};

// What the loop asks of its device each pass.
struct LightLoopHooks {
  std::function<bool()> channelOpen;
  std::function<bool()> holdFlag;
};

// The light thread's loop: one pass per tick until `stop` is set; a closed
// channel waits 100 ms, a held channel leaves the colours alone. Writes the
// model's exit text when it ends.
void RunLightLoop(ModelLightEngine& engine, LightClock& clock, const platform::StopEvent& stop,
                  const LightLoopHooks& hooks);

}  // namespace devices
