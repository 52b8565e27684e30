#include "devices/core/KeyboardAudio.h"

#include <algorithm>
#include <atomic>
#include <limits>
#include <utility>

namespace devices {
namespace {

using namespace lighttables;
using namespace keyboardtables;
using profiles::LightInfoRecord;
using Rgb = std::array<uint8_t, 3>;

constexpr int kAudioDecay = 29;    // the fading of the audio drawings
constexpr int kBandDecay = 0;      // sub-mode 3's unlit bands fade slower
constexpr int kShowsLevel = 10;    // a light this bright shows the audio colour
constexpr int kDropNeighbour = 5;  // sub-mode 4's rows follow a dimmer light above
constexpr int kFullScale = 2000;   // a level's nominal top
constexpr int64_t kValueTop = 600;
constexpr int64_t kClampedValue = 500;
constexpr size_t kBottomRow = kRows - 1;
constexpr size_t kLastNeighbourColumn = 20;
constexpr std::array<size_t, 6> kGroupRowSizes{2, 3, 3, 4, 5, 7};        // sub-mode 5: levels 0..23
constexpr std::array<size_t, 6> kAlternateRowSizes{2, 2, 3, 4, 5, 5};    // sub-mode 6: levels 0..20

std::atomic<int32_t> beatAccumulator{0};

// What a level is worth in the drawings: 600 at silence, 0 at full scale, in
// 64 bits so that no level overflows.
int64_t Value(int64_t level) { return kValueTop - level * kValueTop / kFullScale; }
// Where the drawings clamp, a negative value (a level above full scale) counts as 500.
int64_t Clamped(int64_t value) { return value < 0 ? kClampedValue : value; }

int64_t MeanClampedValue(const AudioLevels& levels) {
  int64_t sum = 0;
  for (int32_t l : levels) sum += Clamped(Value(l));
  return sum / int64_t(kAudioLevels);
}

// The first row of sub-modes 0 and 4 lit by a level (not clamped: 7 at silence).
int64_t FirstLitRow(int32_t level) { return ((700 - int64_t(level) * kValueTop / kFullScale) * 6) / kValueTop; }

// Group values: consecutive levels in groups of the given sizes, each sum / 3.
std::array<int64_t, 6> GroupValues(const AudioLevels& levels, const std::array<size_t, 6>& sizes) {
  std::array<int64_t, 6> g{};
  size_t at = 0;
  for (size_t i = 0; i < sizes.size(); ++i) {
    int64_t sum = 0;
    for (size_t n = 0; n < sizes[i]; ++n) sum += levels[at++];
    g[i] = sum / 3;
  }
  return g;
}

uint8_t AddHue(uint8_t hue, int step) { return uint8_t((hue + step) % kWheelPeriod); }

int ClampToInt(int64_t v) {
  return int(std::clamp<int64_t>(v, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()));
}

}  // namespace

size_t Int32sFromBytes(std::span<const uint8_t> bytes, std::span<int32_t> out) {
  const size_t n = std::min(bytes.size() / 4, out.size());
  std::fill(out.begin(), out.end(), 0);
  for (size_t i = 0; i < n; ++i)
    out[i] = int32_t(uint32_t(bytes[4 * i]) | uint32_t(bytes[4 * i + 1]) << 8 | uint32_t(bytes[4 * i + 2]) << 16 |
                     uint32_t(bytes[4 * i + 3]) << 24);
  return n;
}

int32_t BeatAccumulator() { return beatAccumulator.load(); }
void SetBeatAccumulator(int32_t value) { beatAccumulator.store(value); }

// ---- input -------------------------------------------------------------------

void AudioInput::SetAudioLevels(std::span<const int32_t> levels, uint8_t mode) {
  AudioLevels taken{};
  std::copy_n(levels.begin(), std::min(levels.size(), taken.size()), taken.begin());
  int64_t beatAdd = 0;
  {
    std::lock_guard guard(audioLock_);
    if (mode != kAudioMode || record_.audioMode != kAudioRippleSubMode) {
      levels_ = taken;
      return;
    }
    levels_.fill(0);  // the ripple sub-mode uses the levels here, as a beat
    beatAdd = 25 - MeanClampedValue(taken) * 25 / kValueTop;
  }
  // One accumulator for every keyboard: adding and the reset past the
  // threshold are one atomic change, so a beat is counted once.
  int32_t seen = beatAccumulator.load();
  bool beat = false;
  for (;;) {
    const int64_t sum = int64_t(seen) + beatAdd;
    beat = sum > kBeatThreshold;
    const int32_t next = beat ? 0 : int32_t(std::max<int64_t>(sum, std::numeric_limits<int32_t>::min()));
    if (beatAccumulator.compare_exchange_weak(seen, next)) break;
  }
  if (beat) {
    std::lock_guard guard(audioLock_);
    beatPending_ = true;
  }
}

void AudioInput::SetHostColours(std::span<const int32_t> values) {
  HostColour taken{};
  std::copy_n(values.begin(), std::min(values.size(), taken.size()), taken.begin());
  std::lock_guard guard(audioLock_);
  host_ = taken;
}

void AudioInput::SetRecord(const profiles::AudioLightRecord& record) {
  std::lock_guard guard(audioLock_);
  record_ = record;
}

profiles::AudioLightRecord AudioInput::Record() const {
  std::lock_guard guard(audioLock_);
  return record_;
}

AudioInput::Snapshot AudioInput::Take(bool audioStep) {
  std::lock_guard guard(audioLock_);
  Snapshot s{levels_, host_, record_, false};
  if (!audioStep) return s;
  s.beat = std::exchange(beatPending_, false);
  if (record_.audioMode != kAudioRippleSubMode) levels_.fill(0);
  return s;
}

// ---- drawing -----------------------------------------------------------------

// What one step draws with: the lights, the brightness, the record's colours.
struct KeyboardAudio::Drawing {
  std::span<LightColour> lights;
  ReactiveLevels& reactive;
  bool dir;
  unsigned bright;
  Rgb fg, bg;
  bool seven;

  bool Shows(uint8_t light) const { return light < kLights && light < lights.size(); }
  // A neighbour that is missing never counts as bright enough.
  bool AtLeast(uint8_t light, int level) const { return light < kLights && reactive.level[light] >= level; }
  void FadeUnless(bool keep, uint8_t light) const {
    if (!keep) reactive.Decay(light, kAudioDecay);
  }
  Rgb AudioColour(uint8_t hue) const { return seven ? ColourWheel()[hue] : fg; }
  // Each returns true when it drew a wheel colour.
  bool Lit(uint8_t light, uint8_t hue) const {
    reactive.level[light] = 255;
    const Rgb c = AudioColour(hue);
    lights[light] = {c[0], c[1], c[2], uint8_t(bright * 255 >> 8)};
    return seven;
  }
  bool Unlit(uint8_t light, uint8_t hue) const {
    const unsigned level = reactive.level[light];
    if (level >= kShowsLevel) {
      const Rgb c = AudioColour(hue);
      lights[light] = {c[0], c[1], c[2], uint8_t(bright * level >> 8)};
      return seven;
    }
    lights[light] = {bg[0], bg[1], bg[2], uint8_t(bright)};
    return false;
  }
};

void KeyboardAudio::HostColourStep(const LightInfoRecord& s, std::span<LightColour> lights) {
  const HostColour host = input_.Take(false).host;
  const LightColour c{uint8_t(host[0]), uint8_t(host[1]), uint8_t(host[2]), kBrightness[Level5(s.light)]};
  std::fill(lights.begin(), lights.end(), c);
}

void KeyboardAudio::AudioStep(const LightInfoRecord& s, std::span<LightColour> lights) {
  const AudioInput::Snapshot in = input_.Take(true);
  const profiles::AudioLightRecord& a = in.record;
  const Drawing d{lights,
                  reactive_,
                  s.fx != 0,
                  kBrightness[Level5(s.light)],
                  {a.fgRed, a.fgGreen, a.fgBlue},
                  {a.bkRed, a.bkGreen, a.bkBlue},
                  a.sevenColor != 0};
  switch (a.audioMode) {
    case 0: return Bars(d, in.levels);
    case 1: return Mirror(d, in.levels);
    case 2:
      if (in.beat) keyboard_.KeyPressed(kBeatLight, 1);
      return Ripple(d, s);
    case 3: return Bands(d, in.levels);
    case 4: return Drops(d, in.levels);
    case 5: return GroupRows(d, in.levels);
    case 6: return AlternateRows(d, in.levels);
    default: return;
  }
}

// 0: a bar per column rising from the bottom with its level.
void KeyboardAudio::Bars(const Drawing& d, const AudioLevels& levels) {
  effect_.phase = StepPhase(d.dir, kWheelPeriod, effect_.phase, 1);
  for (size_t c = 0; c < kColumns; ++c) {
    const uint8_t hue = uint8_t((effect_.phase + 10 * (c + 1)) % kWheelPeriod);
    const int64_t t = FirstLitRow(levels[c]);
    for (size_t r = 0; r < kRows; ++r) {
      const uint8_t light = KeyboardColumns()[c][r];
      if (!d.Shows(light)) continue;
      d.FadeUnless(r > 0 && d.AtLeast(KeyboardColumns()[c][r - 1], kShowsLevel), light);
      if (int64_t(r) >= t) d.Lit(light, hue);
      else d.Unlit(light, hue);
    }
  }
}

// 1: each row's bar grows from the left edge and from the right edge.
void KeyboardAudio::Mirror(const Drawing& d, const AudioLevels& levels) {
  effect_.phase = StepPhase(d.dir, kWheelPeriod, effect_.phase, 1);
  uint8_t& start = effect_.aux[0];
  start = StepPhase(d.dir, int(kAudioLevels), start, 1);
  for (size_t r = 0; r < kRows; ++r) {
    const int64_t a = Clamped(Value(levels[(start + 3 * (r + 1)) % kAudioLevels]));
    const int64_t b = Clamped(Value(levels[2 * r + 1]));
    uint8_t hue = effect_.phase;
    for (size_t c = 0; c < kColumns; ++c) {
      hue = AddHue(hue, 7);
      const uint8_t light = KeyboardColumns()[c][r];
      if (!d.Shows(light)) continue;
      bool unlit;
      if (c <= 8) {
        d.FadeUnless(c >= 1 && d.AtLeast(KeyboardColumns()[c - 1][r], kShowsLevel), light);
        unlit = int64_t(c) < (a + 100) * 12 / kValueTop;
      } else {
        d.FadeUnless(c <= kLastNeighbourColumn && d.AtLeast(KeyboardColumns()[c + 1][r], kShowsLevel), light);
        unlit = int64_t(c) - 9 > 12 - (b + 100) * 12 / kValueTop;
      }
      if (unlit) d.Unlit(light, hue);
      else d.Lit(light, hue);
    }
  }
}

// 2: a beat starts a ripple from light 51; every light turns through the wheel.
void KeyboardAudio::Ripple(const Drawing& d, const LightInfoRecord& s) {
  keyboard_.LightRippleRows(s);
  keyboard_.AdvanceRippleRows();
  for (size_t i = 0; i < std::min(kLights, d.lights.size()); ++i) {
    const uint8_t light = uint8_t(i);
    reactive_.Decay(light, kAudioDecay);
    uint8_t& hue = reactive_.hue[light];
    hue = hue + 9 >= kWheelPeriod ? 0 : uint8_t(hue + 9);
    d.Unlit(light, hue);
  }
}

// 3: the diagonal bands light up to a width that grows with the loudness;
// the record's colours are not used.
void KeyboardAudio::Bands(const Drawing& d, const AudioLevels& levels) {
  const int k = ClampToInt(MeanClampedValue(levels) * 20 / kValueTop);
  effect_.phase = StepPhase(d.dir, kWheelPeriod, effect_.phase, k);
  uint8_t hue = effect_.phase;
  for (size_t b = 0; b < DiagonalBands().size(); ++b) {
    hue = AddHue(hue, 9);
    for (uint8_t light : DiagonalBands()[b]) {
      if (!InKeyOrder(light) || !d.Shows(light)) continue;
      LightColour& out = d.lights[light];
      if (int64_t(b) < 20 - int64_t(k)) {
        reactive_.level[light] = 255;
        const Rgb c = ColourWheel()[hue];
        out.c0 = c[0], out.c1 = c[1], out.c2 = c[2];
      } else {
        reactive_.Decay(light, kBandDecay);
      }
      out.brightness = uint8_t(d.bright * reactive_.level[light] >> 8);
    }
  }
}

// 4: bars whose top drops: a column rises again only once its bottom light
// has faded.
void KeyboardAudio::Drops(const Drawing& d, const AudioLevels& levels) {
  effect_.phase = StepPhase(d.dir, kWheelPeriod, effect_.phase, 1);
  const size_t start = effect_.aux[0] >= kAudioLevels ? 0 : effect_.aux[0];
  auto& latches = keyboard_.DropLatches();
  for (size_t c = 0; c < kColumns; ++c) {
    const int64_t t = FirstLitRow(levels[(start + c + 1) % kAudioLevels]);
    const uint8_t bottom = KeyboardColumns()[c][kBottomRow];
    for (size_t r = 0; r < kRows; ++r) {
      if (latches[c] != 0 && !d.AtLeast(bottom, kShowsLevel)) latches[c] = 0;
      const uint8_t light = KeyboardColumns()[c][r];
      if (!d.Shows(light)) continue;
      d.FadeUnless(r > 0 && d.AtLeast(KeyboardColumns()[c][r - 1], kDropNeighbour), light);
      d.Unlit(light, reactive_.hue[light]);
      if (int64_t(r) >= t && latches[c] == 0) {
        reactive_.level[light] = 255;  // shows from the next step
        latches[c] = 1;
      }
    }
  }
}

// 5: six rows of level groups, each a bar from the right edge.
void KeyboardAudio::GroupRows(const Drawing& d, const AudioLevels& levels) {
  const std::array<int64_t, 6> g = GroupValues(levels, kGroupRowSizes);
  effect_.phase = StepPhase(d.dir, kWheelPeriod, effect_.phase, 1);
  for (size_t r = 0; r < kRows; ++r) {
    const int64_t a = Clamped(Value(g[5 - r]));
    uint8_t hue = effect_.phase;
    for (size_t c = 0; c < kColumns; ++c) {
      hue = AddHue(hue, 3);
      const uint8_t light = KeyboardColumns()[c][r];
      if (!d.Shows(light)) continue;
      d.FadeUnless(c <= kLastNeighbourColumn && d.AtLeast(KeyboardColumns()[c + 1][r], kShowsLevel), light);
      if (int64_t(c) > 23 - (a + 100) * 23 / kValueTop) d.Unlit(light, hue);
      else d.Lit(light, hue);
    }
  }
}

// 6: six rows of level groups, odd rows from the left edge, even rows from
// the right.
void KeyboardAudio::AlternateRows(const Drawing& d, const AudioLevels& levels) {
  const std::array<int64_t, 6> g = GroupValues(levels, kAlternateRowSizes);
  effect_.phase = StepPhase(d.dir, kWheelPeriod, effect_.phase, 1);
  for (size_t r = 0; r < kRows; ++r) {
    const int64_t n = Clamped(Value(g[r])) * 23 / kValueTop;
    uint8_t hue = effect_.phase;
    for (size_t c = 0; c < kColumns; ++c) {
      const uint8_t light = KeyboardColumns()[c][r];
      if (!d.Shows(light)) continue;
      bool lit;
      if (r % 2 == 1) {
        d.FadeUnless(c <= kLastNeighbourColumn && d.AtLeast(KeyboardColumns()[c + 1][r], kShowsLevel), light);
        lit = int64_t(c) <= 23 - n;
      } else {
        d.FadeUnless(c >= 2 && d.AtLeast(KeyboardColumns()[c - 1][r], kShowsLevel), light);
        lit = int64_t(c) >= n;
      }
      if (lit ? d.Lit(light, hue) : d.Unlit(light, hue)) hue = AddHue(hue, 2);
    }
  }
}

}  // namespace devices
