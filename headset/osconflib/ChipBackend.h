#pragma once
// Inside the chip library: one backend answers the calls the exports receive.
// The exports turn UTF-16 names and machine-form values into these plain
// forms; a backend reads a property as short ASCII text and takes a write as
// an int or a float.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "headset/osconflib/OsConfLib.h"

namespace osconflib {

struct PropertyValue {
  bool isFloat = false;
  int32_t i = 0;
  float f = 0.0f;
};

// "%d" for an int, "%g" for a float, independent of the process locale.
std::string FormatValue(const PropertyValue& value);

// The first 32-bit value of the extra buffer, or nothing when none was passed.
using Extra = const int32_t*;

class ChipBackend {
 public:
  virtual ~ChipBackend() = default;
  virtual int Init() = 0;
  virtual int CreateDeviceList() = 0;
  virtual int DeviceCount(int flow, unsigned int* count) = 0;
  virtual int DeviceAt(int flow, unsigned int index, AudioDeviceInfo* info) = 0;
  virtual int Read(const AudioDeviceInfo& device, const std::string& name, Extra extra,
                   std::string* text) = 0;
  virtual int Write(const AudioDeviceInfo& device, const std::string& name, const PropertyValue& value,
                    Extra extra) = 0;
};

// The emulated chip of a description (JSON text, see EmulatedChip.cpp);
// nothing when the text is not such a description.
std::unique_ptr<ChipBackend> MakeEmulatedChip(std::string_view description, std::string logPath);
// The description of the built-in emulated headset chip.
std::string_view BuiltInChipDescription();
// The USB headset's card through ALSA; `controlName` replaces the search for
// the card when not empty.
std::unique_ptr<ChipBackend> MakeAlsaChip(std::string controlName);

}  // namespace osconflib
