#pragma once
// The folders the program reads and writes.
//  - install folder: where the executable and its data (skin/, Font/,
//    DefaultData/, SDK/, Update/) live; VX27_INSTALL_DIR overrides it (tests).
//  - user data folder: $XDG_DATA_HOME (default ~/.local/share) + "/VX27 MOUSE/".
//  - temporary folder: the system's temp path.
// Every folder is returned with a trailing '/'.

#include <filesystem>
#include <string>

namespace platform {

inline constexpr const char* kProductName = "VX27 MOUSE";

std::filesystem::path InstallFolder();
std::filesystem::path UserDataRoot();
std::filesystem::path TempFolder();

// Creates the folder and its parents; true when it exists afterwards.
bool EnsureFolder(const std::filesystem::path& folder);

// Maps a relative path written with backslashes ("DefaultData\\mouse.Json") to
// this system's form; the case of every name is kept.
std::filesystem::path FromSystemPath(std::string_view relative);

// $XDG_RUNTIME_DIR, else a private folder under the temp path, created 0700.
std::filesystem::path RuntimeFolder();

}  // namespace platform
