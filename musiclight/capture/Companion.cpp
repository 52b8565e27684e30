#include "musiclight/capture/Companion.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <cstdio>
#include <cstring>

#include "musiclight/capture/LinkNames.h"
#include "platform/Trace.h"

namespace musiclight::capture {
namespace {

constexpr int kSignalTickMs = 10;
// At most this many samples are made up after a stall of the event loop.
constexpr uint64_t kMaxCatchUp = kSampleRate / 4;

int32_t ReadInt32(std::span<const uint8_t> bytes, size_t index) {
  int32_t v = 0;
  std::memcpy(&v, bytes.data() + index * 4, 4);
  return v;
}

// Copy data to the program's main window, when it exists: 32-bit values,
// little-endian, with our process id as the sender's window handle.
void SendToMain(uint64_t dwData, std::span<const int32_t> values) {
  std::vector<uint8_t> bytes;
  bytes.reserve(values.size() * 4);
  for (int32_t v : values)
    for (int b = 0; b < 4; ++b) bytes.push_back(uint8_t(uint32_t(v) >> (8 * b)));
  platform::BusWindow::SendTo(link::kMainClass, link::kMainTitle,
                              platform::BusMessage::CopyData(dwData, bytes, uint64_t(QCoreApplication::applicationPid())));
}

}  // namespace

Companion::Companion(CompanionOptions options) : options_(std::move(options)) {
  platform::RegisterWindowMessage(link::kToolBE19);
}

Companion::~Companion() = default;

template <typename... T>
void Companion::Log(const char* format, T... values) {
  if (!options_.log) return;
  std::printf(format, values...);
  std::fflush(stdout);
}

bool Companion::Start() {
  if (!lock_.TryAcquire(link::kCaptureLock)) {
    Trace("vx27audiorecord: another copy runs");
    return false;
  }
  window_ = std::make_unique<platform::BusWindow>(
      link::kCaptureClass, link::kCaptureTitle,
      [this](const platform::BusMessage& m) { OnBusMessage(m); });
  if (!window_->Listen()) {
    Trace("vx27audiorecord: not on the window bus");
    return false;
  }
  if (options_.play) player_ = std::make_unique<SignalPlayer>(*options_.play);
  if (options_.signal) {
    signalClock_.start();
    QObject::connect(&signalTimer_, &QTimer::timeout, [this] {
      // Makes as many samples as the clock says have passed.
      const uint64_t due = uint64_t(signalClock_.elapsed()) * kSampleRate / 1000;
      if (due - signalSamples_ > kMaxCatchUp) signalSamples_ = due - kMaxCatchUp;
      std::vector<float> samples(due - signalSamples_);
      signalSamples_ = due;
      options_.signal->Generate(samples);
      OnSamples(samples);
    });
    signalTimer_.start(kSignalTickMs);
  } else {
    QCoreApplication* app = QCoreApplication::instance();
    monitor_ = std::make_unique<MonitorCapture>([this, app](std::vector<float> hop) {
      QMetaObject::invokeMethod(app, [this, hop = std::move(hop)] { OnSamples(hop); },
                                Qt::QueuedConnection);
    });
  }
  // The band window needs a display (a GUI application); without one the
  // companion still analyses and sends.
  if (qobject_cast<QGuiApplication*>(QCoreApplication::instance())) bands_ = std::make_unique<BandWindow>();
  Log("ready\n");
  return true;
}

void Companion::OnSamples(std::span<const float> samples) {
  analyser_.Push(samples, [this](const BandLevels& levels) {
    if (!capturing_) return;
    SendToMain(link::kSampleFrameData, SignedFrame(levels, frameIndex_++));
    if (bands_ && shown_) bands_->SetLevels(levels);
  });
}

void Companion::OnBusMessage(const platform::BusMessage& message) {
  if (message.id == platform::kCopyDataMessage) {
    if (message.dwData != link::kGroupColourData) return;
    // Three 32-bit values; what did not arrive stays as it was.
    for (size_t i = 0; i < 3 && (i + 1) * 4 <= message.bytes.size(); ++i)
      groupColour_[i] = ReadInt32(message.bytes, i);
    Log("recv colour %d %d %d\n", groupColour_[0], groupColour_[1], groupColour_[2]);
    if (bands_) bands_->SetColour(GroupColour(groupColour_[0], groupColour_[1], groupColour_[2]));
    return;
  }
  if (message.name != link::kToolBE19) return;
  Log("recv BE19 %llu %lld\n", static_cast<unsigned long long>(message.wParam),
      static_cast<long long>(message.lParam));
  switch (message.wParam) {
    case link::kBind:
      break;
    case link::kCapture:
      capturing_ = true;
      break;
    case link::kStop:
      capturing_ = false;
      break;
    case link::kShow:
      shown_ = true;
      if (bands_) bands_->show();
      break;
    case link::kHide:
      shown_ = false;
      if (bands_) bands_->hide();
      break;
    case link::kQuit:
      QCoreApplication::quit();
      break;
    case link::kHostRed:
    case link::kHostGreen:
    case link::kHostBlue:
      hostColour_[message.wParam - link::kHostRed] = int32_t(message.lParam);
      SendHostColour();
      break;
    default:
      break;
  }
}

void Companion::SendHostColour() {
  const std::array<int32_t, link::kHostColourValues> values{hostColour_[0], hostColour_[1], hostColour_[2]};
  SendToMain(link::kHostColourData, values);
}

}  // namespace musiclight::capture
