#include "headset/audio/ConfLibrary.h"

#include <dlfcn.h>

#include <map>
#include <mutex>

#include "platform/Trace.h"

namespace headset::audio {

std::filesystem::path ConfLibraryPath(const std::filesystem::path& folder) {
  const char* arch = sizeof(void*) == 8 ? "x64" : "x86";
  return folder / "SDK" / arch / "linux" / osconflib::kLibraryFileName;
}

namespace {

template <typename Fn>
Fn Entry(void* handle, const char* name) {
  return reinterpret_cast<Fn>(dlsym(handle, name));
}

}  // namespace

const ConfLibrary* LoadConfLibrary(const std::filesystem::path& folder) {
  static std::mutex lock;
  static std::map<std::filesystem::path, ConfLibrary> loaded;  // under lock; never unloaded
  const std::filesystem::path path = ConfLibraryPath(folder);
  std::lock_guard guard(lock);
  if (const auto it = loaded.find(path); it != loaded.end()) return &it->second;
  void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!handle) {
    const char* why = dlerror();
    Trace("audio library " + path.string() + " not loaded: " + (why ? why : ""));
    return nullptr;
  }
  ConfLibrary lib;
  lib.confLibInit = Entry<ConfLibInitFn>(handle, "ConfLibInit");
  lib.createDeviceList = Entry<CreateDeviceListFn>(handle, "CreateDeviceList");
  lib.getDeviceCount = Entry<GetDeviceCountFn>(handle, "GetDeviceCount");
  lib.getDeviceById = Entry<GetDeviceByIdFn>(handle, "GetDeviceById");
  lib.propertyControl = Entry<PropertyControlFn>(handle, "PropertyControl");
  const char* unused[6] = {"RegisterCallbackFunction", "ConfLibUnInit", "ShowAsioPanel",
                           "PlayTestSound", "StopTestSound", "CloseTestSound"};
  for (int i = 0; i < 6; ++i) lib.unused[i] = Entry<UnusedEntryFn>(handle, unused[i]);
  if (!lib.confLibInit || !lib.createDeviceList || !lib.getDeviceCount || !lib.getDeviceById ||
      !lib.propertyControl) {
    Trace("audio library " + path.string() + " lacks an entry point");
    return nullptr;  // the handle stays open: the library is never unloaded
  }
  return &loaded.emplace(path, lib).first->second;
}

}  // namespace headset::audio
