#pragma once
// The C interface of the audio chip library (osConfLib.so): what the headset
// page calls and what our library exports. Text crosses it as NUL-terminated
// UTF-16 (char16_t); every value and extra buffer is kConfLibBufferSize bytes.

#include <cstdint>

extern "C" {

// The 16-byte device record the library fills and every property call takes
// by value.
struct AudioDeviceInfo {
  uint32_t id;      // 0: identifier, opaque to the caller
  uint32_t kind;    // 4: 1 speakers/headphones, 2 microphone, 4, 7, 12 other outputs
  uint32_t opaque;  // 8
  uint32_t state;   // 12: 1 present and active
};
static_assert(sizeof(AudioDeviceInfo) == 16);

typedef int (*ConfLibInitFn)();
typedef int (*CreateDeviceListFn)();
typedef int (*GetDeviceCountFn)(int flow, unsigned int* count);
typedef int (*GetDeviceByIdFn)(int flow, unsigned int index, AudioDeviceInfo* info);
// write 0 reads the property as UTF-16 text into `value`; write 1 takes the
// value in machine form (int32 or float) from the start of `value`. `extra`
// starts with a channel index (or 4, -1, 0 for the surround control) or is null.
typedef int (*PropertyControlFn)(AudioDeviceInfo device, const char16_t* property, void* value,
                                 void* extra, int write);
typedef int (*UnusedEntryFn)();

}  // extern "C"

namespace osconflib {

inline constexpr int kConfLibBufferSize = 1024;
inline constexpr int kConfLibOk = 0;
inline constexpr int kConfLibFailed = 1;
// The entries the configuration tool looks up but never calls.
inline constexpr int kConfLibUnsupported = -2;

inline constexpr int kFlowPlayback = 0;
inline constexpr int kFlowRecording = 1;

inline constexpr const char* kLibraryFileName = "osConfLib.so";
// Environment: a chip description file (emulated chip), the emulate list whose
// "headset" entry selects the built-in emulated chip, a log of every write the
// emulated chip takes, and an ALSA control device used instead of the USB
// card (tests: an external control plugin).
inline constexpr const char* kChipFileEnv = "VX27_AUDIO_CHIP";
inline constexpr const char* kEmulateEnv = "VX27_EMULATE";
inline constexpr const char* kChipLogEnv = "VX27_AUDIO_CHIP_LOG";
inline constexpr const char* kAlsaControlEnv = "VX27_AUDIO_ALSA_CTL";

// Properties whose written value is a 32-bit float; every other one is an int32.
inline bool WritesFloat(const char16_t* name) {
  auto eq = [name](const char* s) {
    const char16_t* p = name;
    for (; *s && *p; ++s, ++p)
      if (char16_t(*s) != *p) return false;
    return *s == 0 && *p == 0;
  };
  return eq("VolumeScalarControl") || eq("VolumeControl") || eq("AAVolumeScalarControl");
}

}  // namespace osconflib
