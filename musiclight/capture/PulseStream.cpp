#include "musiclight/capture/PulseStream.h"

#include <pulse/error.h>
#include <pulse/simple.h>

#include <chrono>
#include <string>

#include "platform/Trace.h"

namespace musiclight::capture {
namespace {

constexpr auto kReconnectDelay = std::chrono::milliseconds(1000);
constexpr const char* kClientName = "vx27audiorecord";

// libpulse's record of a stream's sample format, rate and channels.
using SampleFormat = pa_sample_spec;

SampleFormat MonoFormat() {
  SampleFormat format{};
  format.format = PA_SAMPLE_FLOAT32LE;
  format.rate = kSampleRate;
  format.channels = 1;
  return format;
}

// Closes a simple stream when it goes out of scope.
struct SimpleStream {
  pa_simple* stream = nullptr;
  ~SimpleStream() {
    if (stream) pa_simple_free(stream);
  }
};

}  // namespace

MonitorCapture::MonitorCapture(Sink sink) : sink_(std::move(sink)), thread_([this] { Run(); }) {}

MonitorCapture::~MonitorCapture() {
  stop_.Set();
  thread_.join();
}

void MonitorCapture::Run() {
  const SampleFormat format = MonoFormat();
  pa_buffer_attr attr{};
  attr.maxlength = uint32_t(-1);
  attr.fragsize = uint32_t(kHopSize * sizeof(float));
  while (!stop_.IsSet()) {
    int error = 0;
    SimpleStream s{pa_simple_new(nullptr, kClientName, PA_STREAM_RECORD, "@DEFAULT_MONITOR@",
                                 "music lighting", &format, nullptr, &attr, &error)};
    if (!s.stream) {
      Trace(std::string("vx27audiorecord: no sound server: ") + pa_strerror(error));
      stop_.WaitFor(kReconnectDelay);
      continue;
    }
    Trace("vx27audiorecord: recording the default output");
    std::vector<float> hop(kHopSize);
    while (!stop_.IsSet()) {
      if (pa_simple_read(s.stream, hop.data(), hop.size() * sizeof(float), &error) < 0) {
        Trace(std::string("vx27audiorecord: recording ended: ") + pa_strerror(error));
        break;
      }
      sink_(hop);
    }
    if (!stop_.IsSet()) stop_.WaitFor(kReconnectDelay);
  }
}

SignalPlayer::SignalPlayer(TestSignal signal) : signal_(signal), thread_([this] { Run(); }) {}

SignalPlayer::~SignalPlayer() {
  stop_.Set();
  thread_.join();
}

void SignalPlayer::Run() {
  const SampleFormat format = MonoFormat();
  while (!stop_.IsSet()) {
    int error = 0;
    SimpleStream s{pa_simple_new(nullptr, kClientName, PA_STREAM_PLAYBACK, nullptr, "test signal",
                                 &format, nullptr, nullptr, &error)};
    if (!s.stream) {
      Trace(std::string("vx27audiorecord: cannot play: ") + pa_strerror(error));
      stop_.WaitFor(kReconnectDelay);
      continue;
    }
    std::vector<float> hop(kHopSize);
    while (!stop_.IsSet()) {
      signal_.Generate(hop);
      if (pa_simple_write(s.stream, hop.data(), hop.size() * sizeof(float), &error) < 0) break;
    }
    if (!stop_.IsSet()) stop_.WaitFor(kReconnectDelay);
  }
}

}  // namespace musiclight::capture
