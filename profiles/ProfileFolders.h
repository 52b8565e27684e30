#pragma once
// Where a device model's profiles and factory data live.
//  - profile folder: user data folder + device folder name + "/", created on
//    use ("mouse", "keyboard", "MousePad", "HD");
//  - default profile file: install folder + "DefaultData/" + name + ".Json".

#include <filesystem>
#include <string_view>

namespace profiles {

std::filesystem::path DefaultDataFolder();
std::filesystem::path DefaultProfilePath(std::string_view deviceFolderName);
std::filesystem::path ProfileFolder(std::string_view deviceFolderName);

}  // namespace profiles
