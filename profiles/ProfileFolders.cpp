#include "profiles/ProfileFolders.h"

#include <string>

#include "platform/Paths.h"

namespace profiles {

std::filesystem::path DefaultDataFolder() { return platform::InstallFolder() / "DefaultData" / ""; }

std::filesystem::path DefaultProfilePath(std::string_view deviceFolderName) {
  return DefaultDataFolder() / (std::string(deviceFolderName) + ".Json");
}

std::filesystem::path ProfileFolder(std::string_view deviceFolderName) {
  const std::filesystem::path folder = platform::UserDataRoot() / std::string(deviceFolderName) / "";
  platform::EnsureFolder(folder);
  return folder;
}

}  // namespace profiles
