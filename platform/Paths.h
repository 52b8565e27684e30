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

// $XDG_RUNTIME_DIR, else a private folder under the temp path
// ("vx27-runtime-<uid>"), created 0700. An existing fallback folder that is a
// link, is owned by another user or is open to group or others is refused
// (another user could read our lock files and bus sockets, or plant their
// own): the result is then empty and `problem` says why.
std::filesystem::path RuntimeFolder(std::string* problem = nullptr);

}  // namespace platform
