#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace vortrel {

/// A wide string as UTF-8; a unit that is no character (a lone surrogate) becomes U+FFFD.
std::string ToUtf8(const std::wstring& text);

/// UTF-8 as a wide string (UTF-16 or UTF-32, as wchar_t is); each malformed byte sequence
/// becomes U+FFFD, so no text is ever cut short.
std::wstring FromUtf8(std::string_view text);

/// A file name of the model as a path of this platform: UTF-8 bytes where paths are narrow,
/// whatever the process's locale (the library's own conversion would follow the locale and
/// refuse non-ASCII names).
std::filesystem::path ToPath(const std::wstring& fileName);

/// A path of this platform as a file name of the model.
std::wstring FromPath(const std::filesystem::path& path);

}  // namespace vortrel
