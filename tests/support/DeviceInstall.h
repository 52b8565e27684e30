#pragma once
// An install folder whose skin has the device layouts, for tests and
// benchmarks of the main window: the build's own folders, with the
// stand-ins of tests/app/skin laid over a copy of the skin while the
// program's skin has no device pages of its own.

#include <filesystem>
#include <string>

namespace testsupport {

inline std::string AssembleDeviceInstall(const std::filesystem::path& built, const std::filesystem::path& source,
                                         const std::filesystem::path& to) {
  namespace fs = std::filesystem;
  for (const char* sub : {"Font", "DefaultData", "SDK", "Update"})
    if (fs::exists(built / sub)) fs::create_directory_symlink(built / sub, to / sub);
  fs::copy(built / "skin", to / "skin", fs::copy_options::recursive);
  if (!fs::exists(built / "skin/XML/DeviceXml/mousedevice.xml"))
    fs::copy(source / "tests/app/skin", to / "skin", fs::copy_options::recursive | fs::copy_options::overwrite_existing);
  return to.string();
}

}  // namespace testsupport
