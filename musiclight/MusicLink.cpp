#include "musiclight/MusicLink.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>

#include "platform/Trace.h"
#include "platform/WindowBus.h"

namespace musiclight {
namespace {

bool CaptureExists() { return platform::BusWindow::Exists(link::kCaptureClass, link::kCaptureTitle); }

bool SendToCapture(const platform::BusMessage& message) {
  return platform::BusWindow::SendTo(link::kCaptureClass, link::kCaptureTitle, message);
}

}  // namespace

void ReadWholeValues(std::span<const uint8_t> bytes, std::span<int32_t> out) {
  const size_t whole = std::min(out.size(), bytes.size() / 4);
  std::fill(out.begin(), out.end(), 0);
  for (size_t i = 0; i < whole; ++i) {
    uint32_t v = 0;
    for (size_t b = 0; b < 4; ++b) v |= uint32_t(bytes[i * 4 + b]) << (8 * b);
    out[i] = int32_t(v);
  }
}

MusicLink::MusicLink(uint64_t mainWindow) : mainWindow_(mainWindow) {
  platform::RegisterWindowMessage(link::kToolBE19);
}

void MusicLink::SetKeyboard(LevelsSink levels, HostColourSink hostColour) {
  levels_ = std::move(levels);
  hostColourSink_ = std::move(hostColour);
}

bool MusicLink::SendCommand(uint64_t command, int64_t value) {
  return SendToCapture(platform::BusMessage::Registered(link::kToolBE19, command, value));
}

bool MusicLink::ConnectCapture() {
  if (!CaptureExists()) return false;
  SendCommand(link::kBind, int64_t(mainWindow_));
  SendCommand(link::kShow, 0);
  return SendCommand(link::kCapture, 0);
}

bool MusicLink::DisconnectCapture() {
  if (!CaptureExists()) return false;
  SendCommand(link::kStop, 0);
  SendCommand(link::kHide, 0);
  return SendCommand(link::kQuit, 0);
}

bool MusicLink::SendHostComponent(int component, int value) {
  if (component < 0 || component > 2) return false;
  return SendCommand(link::kHostRed + uint64_t(component), value);
}

bool MusicLink::SendGroupColour(const AudioLightInfo& info) {
  const auto& colour = info.colours[std::min<size_t>(info.style, kGroupCount - 1)];
  std::array<int32_t, link::kGroupColourBytes / 4> values{};
  values[0] = colour[0];
  values[1] = colour[1] == 0 ? 1 : colour[1];
  values[2] = colour[2];
  std::array<uint8_t, link::kGroupColourBytes> bytes{};
  std::memcpy(bytes.data(), values.data(), bytes.size());
  const bool sent = SendToCapture(platform::BusMessage::CopyData(link::kGroupColourData, bytes, mainWindow_));
  Trace("2222222222");
  return sent;
}

bool MusicLink::OnCopyData(uint64_t dwData, std::span<const uint8_t> bytes) {
  if (bytes.empty()) return false;
  if (dwData == link::kSampleFrameData) {
    OnSampleFrame(bytes);
    return true;
  }
  if (dwData == link::kHostColourData) {
    OnMusicBytes(bytes);
    return true;
  }
  return false;
}

void MusicLink::OnSampleFrame(std::span<const uint8_t> data) {
  ++frameCounter_;
  std::array<int32_t, link::kSampleFrameValues> frame{};
  ReadWholeValues(data, frame);
  // Differences in 64 bits: two 32-bit values can be 2^32 - 1 apart.
  std::array<int64_t, link::kSampleFrameValues> diff{};
  for (size_t i = 0; i < frame.size(); ++i) diff[i] = std::llabs(int64_t(frame[i]) - int64_t(previous_[i]));
  previous_ = frame;
  for (size_t g = 0; g < kBandGroups; ++g) {
    const auto group = std::span(diff).subspan(g * kGroupSize, kGroupSize);
    int64_t sum = 0;
    for (int64_t d : group) sum += d;
    const int64_t mean = sum / int64_t(kGroupSize);
    // Squared deviations up to 2^64 each: summed as doubles.
    double squares = 0;
    for (int64_t d : group) squares += double(d - mean) * double(d - mean);
    const double deviation = std::sqrt(squares / double(kGroupSize - 1));
    constexpr int64_t kMax = std::numeric_limits<int32_t>::max();
    means_[g] = int32_t(std::min(mean, kMax));
    deviations_[g] = int32_t(std::min(deviation, double(kMax)));
  }
  if (frameCounter_ < kFramesPerLevels) return;
  frameCounter_ = 0;
  if (!levels_) return;
  std::array<int32_t, link::kSampleFrameValues> buffer{};
  std::copy(means_.begin(), means_.end(), buffer.begin());
  levels_(buffer);
}

void MusicLink::OnMusicBytes(std::span<const uint8_t> data) {
  ReadWholeValues(data, hostColour_);
  if (hostColourSink_) hostColourSink_(hostColour_);
}

}  // namespace musiclight
