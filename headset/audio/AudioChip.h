#pragma once
// The calls into the audio chip library, each traced:
//   audio <P|R> <name> read [extra <list>] = <res> "<text>"
//   audio <P|R> <name> write <int|float> <v> [extra <list>] = <res>
//   audio <entry> <args> = <res>
// and the two chosen devices with their feature words. Value and extra
// buffers are 1024 bytes, zero-filled before each call.

#include <array>
#include <cstdint>
#include <string>

#include "headset/audio/ConfLibrary.h"

namespace headset::audio {

enum class Dev { Playback, Recording };

// The extra buffer's leading words; none passes a null pointer.
struct Extra {
  int count = 0;
  std::array<int32_t, 3> words{};
};
inline constexpr Extra kNoExtra{};
inline constexpr Extra kAllChannels{1, {-1, 0, 0}};
inline constexpr Extra kChannel0{1, {0, 0, 0}};
inline constexpr Extra kChannel1{1, {1, 0, 0}};
inline constexpr Extra kSurroundExtra{3, {4, -1, 0}};

struct ChosenDevice {
  AudioDeviceInfo info{};
  std::array<uint32_t, 3> features{};  // tokens 0, 4 and 6 of "GetSupportFeature"
};

inline constexpr uint32_t kVoiceEffectFeature = 0x20000;

class AudioChip {
 public:
  explicit AudioChip(const ConfLibrary* library) : lib_(library) {}

  bool Loaded() const { return lib_ != nullptr; }

  int Init();
  int CreateDeviceList();
  int DeviceCount(int flow, unsigned int* count);
  // The record is zeroed before the call.
  int DeviceAt(int flow, unsigned int index, AudioDeviceInfo* info);

  int Read(Dev dev, const char* name, const Extra& extra, std::string* text);
  // Wide-string to-integer and to-floating-point conversions of the text.
  int ReadInt(Dev dev, const char* name, const Extra& extra, int* value);
  int ReadFloat(Dev dev, const char* name, const Extra& extra, double* value);
  int WriteInt(Dev dev, const char* name, int32_t value, const Extra& extra = kNoExtra);
  int WriteFloat(Dev dev, const char* name, float value, const Extra& extra = kNoExtra);

  ChosenDevice& Device(Dev dev) { return dev == Dev::Playback ? playback_ : recording_; }

 private:
  int Call(Dev dev, const char* name, const Extra& extra, int write);

  const ConfLibrary* lib_;
  ChosenDevice playback_;
  ChosenDevice recording_;
  alignas(4) std::array<uint8_t, osconflib::kConfLibBufferSize> value_{};
  alignas(4) std::array<uint8_t, osconflib::kConfLibBufferSize> extra_{};
  std::array<char16_t, 64> name_{};
};

// The text's leading integer (0 when there is none), as a wide-string
// to-integer conversion reads it; the same for a floating-point number.
long ParseLeadingInt(const std::string& text);
double ParseLeadingFloat(const std::string& text);

}  // namespace headset::audio
