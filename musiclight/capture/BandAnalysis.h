#pragma once
// The companion's sound analysis: a 2048-point Hann-windowed FFT taken every
// 512 samples of 48 kHz mono sound, folded into 500 logarithmic bands from
// 40 Hz to 16 kHz. A band's level is its loudest bin in dBFS mapped linearly
// from -60 dBFS (0) to 0 dBFS (2000). Also the test signals that stand in for
// the sound card: a sine, silence and a repeating logarithmic sweep.

#include <array>
#include <complex>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

namespace musiclight::capture {

inline constexpr int kSampleRate = 48000;
inline constexpr size_t kFftSize = 2048;
inline constexpr size_t kHopSize = 512;
inline constexpr size_t kBandCount = 500;
inline constexpr double kLowestHz = 40.0;
inline constexpr double kHighestHz = 16000.0;
inline constexpr int32_t kLevelMax = 2000;
inline constexpr double kFloorDbfs = -60.0;

using BandLevels = std::array<int32_t, kBandCount>;

// Lower edge in Hz of band `band` (0..500; 500 gives the top edge).
double BandEdgeHz(size_t band);

class BandAnalyser {
 public:
  BandAnalyser();

  // Adds samples (full scale +-1.0); each time another 512 samples are in,
  // the last 2048 samples are analysed and `onLevels` gets the 500 levels.
  // The window starts filled with silence.
  void Push(std::span<const float> samples, const std::function<void(const BandLevels&)>& onLevels);

  // Analyses one window of 2048 samples.
  BandLevels Analyse(std::span<const float, kFftSize> samples);

 private:
  std::array<float, kFftSize> history_{};  // the analysis window, oldest sample first
  size_t pending_ = 0;                      // samples of the newest hop so far
  std::array<double, kFftSize> hann_{};
  std::vector<std::complex<double>> work_;
  std::vector<std::complex<double>> twiddles_;
  // Bin range of each band, inclusive.
  std::array<std::pair<size_t, size_t>, kBandCount> bins_{};
};

// A test signal: "sine:<Hz>:<dBFS>", "silence" or "sweep" (40 Hz to 16 kHz in
// 8 s at -12 dBFS, repeating).
class TestSignal {
 public:
  static std::optional<TestSignal> Parse(std::string_view text);
  // Fills `out` with the next samples.
  void Generate(std::span<float> out);

 private:
  enum class Kind { Sine, Silence, Sweep };
  Kind kind_ = Kind::Silence;
  double hz_ = 0;
  double amplitude_ = 0;
  double phase_ = 0;      // radians
  uint64_t position_ = 0;  // samples generated
};

// The frame the companion sends for analysis set `index`: the levels halved,
// negated on odd frames, so that the receiver's frame-to-frame difference
// gives back the levels of a steady sound.
std::array<int32_t, kBandCount> SignedFrame(const BandLevels& levels, uint64_t index);

}  // namespace musiclight::capture
