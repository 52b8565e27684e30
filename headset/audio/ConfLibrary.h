#pragma once
// Finding and loading the audio chip library: the executable's folder +
// "SDK/" + "x64" (or "x86" in a 32-bit process) + "/linux/osConfLib.so",
// opened with dlopen and never closed; all eleven entry points are looked up.

#include <filesystem>

#include "headset/osconflib/OsConfLib.h"

namespace headset::audio {

struct ConfLibrary {
  ConfLibInitFn confLibInit = nullptr;
  CreateDeviceListFn createDeviceList = nullptr;
  GetDeviceCountFn getDeviceCount = nullptr;
  GetDeviceByIdFn getDeviceById = nullptr;
  PropertyControlFn propertyControl = nullptr;
  // "RegisterCallbackFunction", "ConfLibUnInit", "ShowAsioPanel",
  // "PlayTestSound", "StopTestSound", "CloseTestSound": looked up, never called.
  UnusedEntryFn unused[6] = {};
};

std::filesystem::path ConfLibraryPath(const std::filesystem::path& folder);

// The library of `folder` (the install folder by default), loaded on the
// first call for that path and kept for the life of the process; null when
// the file cannot be loaded or lacks one of the five entry points the
// system calls.
const ConfLibrary* LoadConfLibrary(const std::filesystem::path& folder);

}  // namespace headset::audio
