#pragma once
// Synchronised lighting without widgets: the five common effects every device
// kind can show, the table that translates a kind's light mode into an effect
// and back, the process-wide settings the effect runs with, and the renderer
// that turns loop passes into frames. The main window's sync worker and
// `vx27ctl sync-run` both drive the same renderer.

#include <array>
#include <atomic>
#include <cstdint>
#include <optional>

#include "profiles/ProfileRecords.h"
#include "protocol/LightFrame.h"

namespace devices::sync {

// SyncEffect.
enum class Effect : uint8_t { Breathing = 0, Static = 1, Blink = 2, ColourCycle = 3, Off = 4 };
inline constexpr uint8_t kEffectCount = 5;

// The columns of the mode table.
enum class Column : uint8_t { Keyboard = 0, Mouse = 1, PadOrHeadset = 2 };

// Light mode numbers standing for each effect, by column. Read both ways.
inline constexpr std::array<std::array<uint8_t, 3>, kEffectCount> kModeTable{{
    {5, 1, 2},    // breathing
    {6, 0, 3},    // static
    {23, 6, 4},   // blink
    {4, 3, 1},    // colour cycle
    {28, 10, 8},  // off
}};

// The column of a device kind: 1 keyboard, 2 mouse, 3 mouse pad, 7 headset;
// a receiver keyboard (9) and a receiver mouse (6) use their cable column.
std::optional<Column> ColumnOfKind(int kind);
// The effect a mode stands for in a column; none when the mode has no row.
std::optional<Effect> EffectOfMode(Column column, uint8_t mode);
uint8_t ModeOfEffect(Column column, Effect effect);

// Counted ticks between frames for a speed level: 0 → 28 … 4 → 7; higher
// levels give 0 (a frame every counted tick).
uint8_t SpeedThreshold(uint8_t speed);

// SyncLightingState: what the effect runs with, all zero at start.
struct Settings {
  uint8_t effect = 0;
  uint8_t brightness = 0;  // level 0..4
  uint8_t speed = 0;       // level 0..4
  uint8_t direction = 0;   // breathing runs forwards when non-zero
  uint8_t multiColour = 0; // colours from the wheel instead of the single colour
  uint8_t red = 0, green = 0, blue = 0;
  bool operator==(const Settings&) const = default;
};

// `effect` with bytes 1 to 7 of a lighting record: brightness, speed,
// direction, multi-colour, red, green, blue.
Settings SettingsOf(uint8_t effect, const profiles::LightInfoRecord& record);

// The settings shared by the UI thread (which sets them) and the sync worker
// (which reads them once per pass): one atomic word, so a pass sees the old
// settings or the new ones, never a mix.
class SharedSettings {
 public:
  Settings Load() const;
  void Store(const Settings& settings);

 private:
  std::atomic<uint64_t> word_{0};
};

// The animation state and the frame clock of the sync worker. Times are
// milliseconds of the worker's tick count.
class Renderer {
 public:
  // The loop starts: the last counted tick is `nowMs`, the counter 0.
  void Begin(uint32_t nowMs);
  // One pass of the loop while some device is held: counts a tick when more
  // than 1 ms passed since the last counted one, and renders a frame when the
  // counter reached the speed threshold. The frame's packed colour, or none.
  std::optional<protocol::LightColour> Pass(uint32_t nowMs, const Settings& settings);
  // One frame of the settings' effect (an effect above 4 renders nothing).
  std::optional<protocol::LightColour> Frame(uint32_t nowMs, const Settings& settings);

  uint8_t BreathingPhase() const { return breathingPhase_; }
  uint8_t BreathingColour() const { return breathingColour_; }
  uint8_t CycleColour() const { return cycleColour_; }
  uint8_t BlinkColour() const { return blinkColour_; }
  bool BlinkOn() const { return blinkOn_; }
  uint32_t Counter() const { return counter_; }

 private:
  uint32_t lastTick_ = 0;
  uint32_t counter_ = 0;
  uint8_t breathingPhase_ = 0;   // 0..127
  uint8_t breathingColour_ = 0;  // wheel index 0..191
  uint8_t cycleColour_ = 0;      // wheel index 0..191
  bool blinkOn_ = false;
  uint8_t blinkColour_ = 0;      // wheel index 0..191
  uint32_t lastToggle_ = 0;
};

}  // namespace devices::sync
