#pragma once
// Whole-file writes that never leave a half-written file: the bytes go to a
// temporary file in the same folder, are flushed to disk and renamed over the
// old file. The file keeps the old file's mode; a new file gets the mode the
// umask gives. On any failure the old file is untouched, the temporary file
// is removed and the failure is traced (with the failing step and the
// system's reason, which is why this is not QSaveFile).

#include <filesystem>
#include <string_view>

namespace platform {

[[nodiscard]] bool WriteFileAtomic(const std::filesystem::path& path, std::string_view bytes);

}  // namespace platform
