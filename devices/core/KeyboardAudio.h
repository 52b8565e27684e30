#pragma once
// The keyboard's two host-computed lighting modes: 29 draws the audio levels
// the capture link hands over, in one of seven drawings chosen by the audio
// lighting record's first byte; 30 shows a colour the host sets.
//
// The levels, the host colour and the audio lighting record are written on
// the UI thread and read by the light thread: `AudioInput` keeps them under
// one lock, and each step takes a single snapshot of all of them, so a frame
// never mixes two sets. The beat accumulator is one value for the whole
// process, shared by every keyboard, and changes atomically.

#include <array>
#include <cstdint>
#include <mutex>
#include <span>

#include "devices/core/KeyboardEffects.h"
#include "devices/core/LightEngine.h"
#include "profiles/ProfileRecords.h"

namespace devices {

inline constexpr size_t kAudioLevels = 25;
inline constexpr size_t kHostColourValues = 6;
inline constexpr uint8_t kAudioMode = 29;
inline constexpr uint8_t kHostColourMode = 30;
inline constexpr uint8_t kAudioRippleSubMode = 2;
inline constexpr uint8_t kBeatLight = 51;  // a beat ripples from this light
inline constexpr int32_t kBeatThreshold = 70;

using AudioLevels = std::array<int32_t, kAudioLevels>;
using HostColour = std::array<int32_t, kHostColourValues>;

// Little-endian 32-bit values from bytes as they arrived: only whole values
// are taken (a trailing partial value is dropped), the rest of `out` is 0.
// Returns the number of values taken.
size_t Int32sFromBytes(std::span<const uint8_t> bytes, std::span<int32_t> out);

// The process-wide beat accumulator (tests set it to a known value).
int32_t BeatAccumulator();
void SetBeatAccumulator(int32_t value);

class AudioInput {
 public:
  struct Snapshot {
    AudioLevels levels{};
    HostColour host{};
    profiles::AudioLightRecord record;
    bool beat = false;  // a beat arrived since the last audio step
  };

  // Takes the given levels, at most 25; missing ones are 0. In mode 29 with
  // the ripple sub-mode the levels feed the beat accumulator and are used
  // up; a beat makes the next audio step start a ripple.
  void SetAudioLevels(std::span<const int32_t> levels, uint8_t mode);
  // Takes the given values, at most six; missing ones are 0.
  void SetHostColours(std::span<const int32_t> values);
  void SetRecord(const profiles::AudioLightRecord& record);
  profiles::AudioLightRecord Record() const;

  // One consistent copy for a step. An audio step (`audioStep`) also takes
  // the pending beat and, outside the ripple sub-mode, uses the levels up so
  // each set is drawn once.
  Snapshot Take(bool audioStep);

 private:
  mutable std::mutex audioLock_;  // guards everything below
  AudioLevels levels_{};
  HostColour host_{};
  profiles::AudioLightRecord record_;
  bool beatPending_ = false;
};

// The mode 29 and mode 30 steps over the keyboard's engine state. No locks
// beyond the snapshot, no I/O, no allocation.
class KeyboardAudio {
 public:
  KeyboardAudio(EffectState& effect, ReactiveLevels& reactive, KeyboardEffects& keyboard)
      : effect_(effect), reactive_(reactive), keyboard_(keyboard) {}

  AudioInput& Input() { return input_; }

  // Mode 29: dispatches on the record's sub-mode (0 to 6; others draw nothing).
  void AudioStep(const profiles::LightInfoRecord& s, std::span<LightColour> lights);
  // Mode 30: every light the host colour at the brightness level.
  void HostColourStep(const profiles::LightInfoRecord& s, std::span<LightColour> lights);

 private:
  struct Drawing;
  void Bars(const Drawing& d, const AudioLevels& levels);            // 0
  void Mirror(const Drawing& d, const AudioLevels& levels);          // 1
  void Ripple(const Drawing& d, const profiles::LightInfoRecord& s);  // 2
  void Bands(const Drawing& d, const AudioLevels& levels);           // 3
  void Drops(const Drawing& d, const AudioLevels& levels);           // 4
  void GroupRows(const Drawing& d, const AudioLevels& levels);       // 5
  void AlternateRows(const Drawing& d, const AudioLevels& levels);   // 6

  EffectState& effect_;
  ReactiveLevels& reactive_;
  KeyboardEffects& keyboard_;
  AudioInput input_;
};

}  // namespace devices
