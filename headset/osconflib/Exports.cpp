// The eleven entry points of osConfLib.so. ConfLibInit picks the backend:
// the chip file of VX27_AUDIO_CHIP, else the built-in emulated chip when
// VX27_EMULATE names a headset, else the USB headset's card through ALSA.
// Every entry point runs under one lock; the configuration tool calls them
// from its UI thread only, the lock keeps other callers safe.

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <mutex>
#include <sstream>

#include "headset/osconflib/ChipBackend.h"

#define CONFLIB_EXPORT extern "C" __attribute__((visibility("default")))

namespace osconflib {
namespace {

std::mutex gLock;
std::unique_ptr<ChipBackend> gBackend;  // under gLock

std::string Env(const char* name) {
  const char* v = std::getenv(name);
  return v ? std::string(v) : std::string();
}

bool EmulatesHeadset(const std::string& list) {
  std::istringstream in(list);
  for (std::string entry; std::getline(in, entry, ',');)
    if (entry.substr(0, entry.find(':')) == "headset") return true;
  return false;
}

std::unique_ptr<ChipBackend> PickBackend() {
  const std::string chipFile = Env(kChipFileEnv);
  if (!chipFile.empty()) {
    std::ifstream in(chipFile, std::ios::binary);
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    return in ? MakeEmulatedChip(text, Env(kChipLogEnv)) : nullptr;
  }
  if (EmulatesHeadset(Env(kEmulateEnv))) return MakeEmulatedChip(BuiltInChipDescription(), Env(kChipLogEnv));
  return MakeAlsaChip(Env(kAlsaControlEnv));
}

// Property names are ASCII; anything else can match no property.
std::string Narrow(const char16_t* text) {
  std::string out;
  for (size_t i = 0; text[i] != 0 && i < size_t(kConfLibBufferSize); ++i)
    out.push_back(text[i] < 0x80 ? char(text[i]) : '?');
  return out;
}

// The text and its NUL within the buffer: longer text is cut.
void PutText(void* value, const std::string& text) {
  auto* out = static_cast<char16_t*>(value);
  constexpr size_t kChars = kConfLibBufferSize / sizeof(char16_t);
  const size_t n = std::min(text.size(), kChars - 1);
  for (size_t i = 0; i < n; ++i) out[i] = char16_t(static_cast<unsigned char>(text[i]));
  out[n] = 0;
}

}  // namespace
}  // namespace osconflib

using namespace osconflib;

CONFLIB_EXPORT int ConfLibInit() {
  std::lock_guard lock(gLock);
  gBackend = PickBackend();
  return gBackend ? gBackend->Init() : kConfLibFailed;
}

CONFLIB_EXPORT int CreateDeviceList() {
  std::lock_guard lock(gLock);
  return gBackend ? gBackend->CreateDeviceList() : kConfLibFailed;
}

CONFLIB_EXPORT int GetDeviceCount(int flow, unsigned int* count) {
  std::lock_guard lock(gLock);
  if (!count) return kConfLibFailed;
  *count = 0;
  return gBackend ? gBackend->DeviceCount(flow, count) : kConfLibFailed;
}

CONFLIB_EXPORT int GetDeviceById(int flow, unsigned int index, AudioDeviceInfo* info) {
  std::lock_guard lock(gLock);
  if (!info) return kConfLibFailed;
  return gBackend ? gBackend->DeviceAt(flow, index, info) : kConfLibFailed;
}

CONFLIB_EXPORT int PropertyControl(AudioDeviceInfo device, const char16_t* property, void* value, void* extra,
                                   int write) {
  std::lock_guard lock(gLock);
  if (!gBackend || !property || !value) return kConfLibFailed;
  const std::string name = Narrow(property);
  const auto* extraWords = static_cast<const int32_t*>(extra);
  if (write) {
    PropertyValue v;
    v.isFloat = WritesFloat(property);
    if (v.isFloat) std::memcpy(&v.f, value, sizeof v.f);
    else std::memcpy(&v.i, value, sizeof v.i);
    return gBackend->Write(device, name, v, extraWords);
  }
  std::string text;
  const int result = gBackend->Read(device, name, extraWords, &text);
  if (result == kConfLibOk) PutText(value, text);
  return result;
}

CONFLIB_EXPORT int RegisterCallbackFunction() { return kConfLibUnsupported; }
CONFLIB_EXPORT int ConfLibUnInit() { return kConfLibUnsupported; }
CONFLIB_EXPORT int ShowAsioPanel() { return kConfLibUnsupported; }
CONFLIB_EXPORT int PlayTestSound() { return kConfLibUnsupported; }
CONFLIB_EXPORT int StopTestSound() { return kConfLibUnsupported; }
CONFLIB_EXPORT int CloseTestSound() { return kConfLibUnsupported; }
