#include "musiclight/capture/BandAnalysis.h"

#include <algorithm>
#include <bit>
#include <charconv>
#include <cmath>
#include <numbers>
#include <string>

namespace musiclight::capture {
namespace {

constexpr double kBinHz = double(kSampleRate) / double(kFftSize);
constexpr double kSweepSeconds = 8.0;
constexpr double kSweepDbfs = -12.0;

size_t ReverseBits(size_t value, int bits) {
  size_t out = 0;
  for (int i = 0; i < bits; ++i) {
    out = (out << 1) | (value & 1);
    value >>= 1;
  }
  return out;
}

std::optional<double> ParseNumber(std::string_view text) {
  // std::from_chars for double is in libstdc++ 12.
  double value = 0;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (ec != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return value;
}

}  // namespace

double BandEdgeHz(size_t band) {
  return kLowestHz * std::pow(kHighestHz / kLowestHz, double(band) / double(kBandCount));
}

BandAnalyser::BandAnalyser() : work_(kFftSize), twiddles_(kFftSize / 2) {
  for (size_t i = 0; i < kFftSize; ++i)
    hann_[i] = 0.5 - 0.5 * std::cos(2.0 * std::numbers::pi * double(i) / double(kFftSize));
  for (size_t i = 0; i < kFftSize / 2; ++i)
    twiddles_[i] = std::polar(1.0, -2.0 * std::numbers::pi * double(i) / double(kFftSize));
  // A band takes the bins whose centres fall inside it; a band narrower than
  // a bin takes the bin nearest to its centre.
  for (size_t b = 0; b < kBandCount; ++b) {
    const double lo = BandEdgeHz(b) / kBinHz, hi = BandEdgeHz(b + 1) / kBinHz;
    size_t first = size_t(std::ceil(lo)), last = size_t(std::ceil(hi)) - 1;
    if (first > last) first = last = size_t(std::lround((lo + hi) / 2));
    bins_[b] = {first, std::min(last, kFftSize / 2 - 1)};
  }
}

void BandAnalyser::Push(std::span<const float> samples,
                        const std::function<void(const BandLevels&)>& onLevels) {
  // The newest hop fills the last 512 places of the window; once it is full
  // the window is analysed and moves on by one hop.
  for (float s : samples) {
    history_[kFftSize - kHopSize + pending_] = s;
    if (++pending_ == kHopSize) {
      pending_ = 0;
      const BandLevels levels = Analyse(history_);
      std::copy(history_.begin() + kHopSize, history_.end(), history_.begin());
      if (onLevels) onLevels(levels);
    }
  }
}

BandLevels BandAnalyser::Analyse(std::span<const float, kFftSize> samples) {
  constexpr int kBits = std::countr_zero(kFftSize);
  for (size_t i = 0; i < kFftSize; ++i)
    work_[ReverseBits(i, kBits)] = {double(samples[i]) * hann_[i], 0.0};
  for (size_t len = 2; len <= kFftSize; len <<= 1) {
    const size_t half = len / 2, step = kFftSize / len;
    for (size_t start = 0; start < kFftSize; start += len) {
      for (size_t k = 0; k < half; ++k) {
        const std::complex<double> t = twiddles_[k * step] * work_[start + k + half];
        work_[start + k + half] = work_[start + k] - t;
        work_[start + k] += t;
      }
    }
  }
  // A full-scale sine centred on a bin gives a magnitude of N/4 through the
  // Hann window: that is 0 dBFS.
  BandLevels levels{};
  for (size_t b = 0; b < kBandCount; ++b) {
    double peak = 0;
    for (size_t k = bins_[b].first; k <= bins_[b].second; ++k) peak = std::max(peak, std::abs(work_[k]));
    const double amplitude = peak * 4.0 / double(kFftSize);
    if (amplitude <= 0) continue;
    const double dbfs = 20.0 * std::log10(amplitude);
    const double scaled = (dbfs - kFloorDbfs) / -kFloorDbfs * kLevelMax;
    levels[b] = int32_t(std::clamp(std::lround(scaled), 0L, long(kLevelMax)));
  }
  return levels;
}

std::optional<TestSignal> TestSignal::Parse(std::string_view text) {
  TestSignal signal;
  if (text == "silence") return signal;
  if (text == "sweep") {
    signal.kind_ = Kind::Sweep;
    signal.amplitude_ = std::pow(10.0, kSweepDbfs / 20.0);
    return signal;
  }
  if (!text.starts_with("sine:")) return std::nullopt;
  text.remove_prefix(5);
  const size_t colon = text.find(':');
  if (colon == std::string_view::npos) return std::nullopt;
  const auto hz = ParseNumber(text.substr(0, colon));
  const auto db = ParseNumber(text.substr(colon + 1));
  if (!hz || !db || *hz <= 0 || *hz >= kSampleRate / 2.0 || *db > 0) return std::nullopt;
  signal.kind_ = Kind::Sine;
  signal.hz_ = *hz;
  signal.amplitude_ = std::pow(10.0, *db / 20.0);
  return signal;
}

void TestSignal::Generate(std::span<float> out) {
  for (float& s : out) {
    double hz = hz_;
    if (kind_ == Kind::Sweep) {
      const double t = double(position_ % uint64_t(kSweepSeconds * kSampleRate)) / kSampleRate;
      hz = kLowestHz * std::pow(kHighestHz / kLowestHz, t / kSweepSeconds);
    }
    s = kind_ == Kind::Silence ? 0.0f : float(amplitude_ * std::sin(phase_));
    phase_ = std::fmod(phase_ + 2.0 * std::numbers::pi * hz / kSampleRate, 2.0 * std::numbers::pi);
    ++position_;
  }
}

std::array<int32_t, kBandCount> SignedFrame(const BandLevels& levels, uint64_t index) {
  std::array<int32_t, kBandCount> frame{};
  const int32_t sign = index % 2 ? -1 : 1;
  for (size_t i = 0; i < kBandCount; ++i) frame[i] = sign * (levels[i] / 2);
  return frame;
}

}  // namespace musiclight::capture
