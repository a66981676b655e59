#pragma once

#include <filesystem>
#include <optional>
#include <string>

namespace vortrel {

/// The whole content of a file; none when it cannot be read.
std::optional<std::string> ReadFileBytes(const std::filesystem::path& path);

/// Writes a file under a name of its own beside the target and renames it into place, so
/// that another thread or process sees either no file or a whole one, never a partial one.
/// False (and nothing left behind) when it cannot.
bool WriteFileAtomically(const std::filesystem::path& path, const std::string& bytes);

}  // namespace vortrel
