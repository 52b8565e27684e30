#include "headset/audio/AudioChip.h"

#include <charconv>
#include <cstring>

#include "platform/Trace.h"

namespace headset::audio {
namespace {

const char* Letter(Dev dev) { return dev == Dev::Playback ? "P" : "R"; }

std::string ExtraText(const Extra& extra) {
  if (extra.count == 0) return {};
  std::string text = " extra";
  for (int i = 0; i < extra.count; ++i) text += " " + std::to_string(extra.words[size_t(i)]);
  return text;
}

std::string FloatText(double v) {
  char buffer[32];
  const auto end = std::to_chars(buffer, buffer + sizeof buffer, v, std::chars_format::general, 6);
  return std::string(buffer, end.ptr);
}

const char* SkipBlanks(const char* p, const char* end) {
  while (p < end && (*p == ' ' || *p == '\t' || *p == '\n' || *p == '\r')) ++p;
  if (p < end && *p == '+') ++p;
  return p;
}

}  // namespace

long ParseLeadingInt(const std::string& text) {
  const char* end = text.data() + text.size();
  long v = 0;
  std::from_chars(SkipBlanks(text.data(), end), end, v);
  return v;
}

double ParseLeadingFloat(const std::string& text) {
  const char* end = text.data() + text.size();
  double v = 0;
  std::from_chars(SkipBlanks(text.data(), end), end, v);
  return v;
}

int AudioChip::Init() {
  const int r = lib_->confLibInit();
  Trace("audio ConfLibInit = " + std::to_string(r));
  return r;
}

int AudioChip::CreateDeviceList() {
  const int r = lib_->createDeviceList();
  Trace("audio CreateDeviceList = " + std::to_string(r));
  return r;
}

int AudioChip::DeviceCount(int flow, unsigned int* count) {
  *count = 0;
  const int r = lib_->getDeviceCount(flow, count);
  Trace("audio GetDeviceCount " + std::to_string(flow) + " = " + std::to_string(r));
  return r;
}

int AudioChip::DeviceAt(int flow, unsigned int index, AudioDeviceInfo* info) {
  *info = AudioDeviceInfo{};
  const int r = lib_->getDeviceById(flow, index, info);
  Trace("audio GetDeviceById " + std::to_string(flow) + " " + std::to_string(index) + " = " + std::to_string(r));
  return r;
}

int AudioChip::Call(Dev dev, const char* name, const Extra& extra, int write) {
  name_.fill(0);
  for (size_t i = 0; name[i] && i + 1 < name_.size(); ++i) name_[i] = char16_t(name[i]);
  extra_.fill(0);
  for (int i = 0; i < extra.count; ++i)
    std::memcpy(extra_.data() + 4 * i, &extra.words[size_t(i)], 4);
  return lib_->propertyControl(Device(dev).info, name_.data(), value_.data(),
                               extra.count ? extra_.data() : nullptr, write);
}

int AudioChip::Read(Dev dev, const char* name, const Extra& extra, std::string* text) {
  text->clear();
  value_.fill(0);
  const int r = Call(dev, name, extra, 0);
  // The text ends at its NUL or at the buffer's end.
  constexpr size_t kChars = osconflib::kConfLibBufferSize / 2;
  for (size_t i = 0; i < kChars; ++i) {
    char16_t c;
    std::memcpy(&c, value_.data() + 2 * i, 2);
    if (c == 0) break;
    text->push_back(c < 0x80 ? char(c) : '?');
  }
  Trace(std::string("audio ") + Letter(dev) + " " + name + " read" + ExtraText(extra) + " = " +
        std::to_string(r) + " \"" + *text + "\"");
  return r;
}

int AudioChip::ReadInt(Dev dev, const char* name, const Extra& extra, int* value) {
  std::string text;
  const int r = Read(dev, name, extra, &text);
  if (r == 0) *value = int(ParseLeadingInt(text));
  return r;
}

int AudioChip::ReadFloat(Dev dev, const char* name, const Extra& extra, double* value) {
  std::string text;
  const int r = Read(dev, name, extra, &text);
  if (r == 0) *value = ParseLeadingFloat(text);
  return r;
}

int AudioChip::WriteInt(Dev dev, const char* name, int32_t value, const Extra& extra) {
  value_.fill(0);
  std::memcpy(value_.data(), &value, sizeof value);
  const int r = Call(dev, name, extra, 1);
  Trace(std::string("audio ") + Letter(dev) + " " + name + " write int " + std::to_string(value) +
        ExtraText(extra) + " = " + std::to_string(r));
  return r;
}

int AudioChip::WriteFloat(Dev dev, const char* name, float value, const Extra& extra) {
  value_.fill(0);
  std::memcpy(value_.data(), &value, sizeof value);
  const int r = Call(dev, name, extra, 1);
  Trace(std::string("audio ") + Letter(dev) + " " + name + " write float " + FloatText(value) +
        ExtraText(extra) + " = " + std::to_string(r));
  return r;
}

}  // namespace headset::audio
