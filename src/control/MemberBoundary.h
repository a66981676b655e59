#pragma once

#include <filesystem>
#include <functional>
#include <string>
#include <system_error>

#include "base/Utf8.h"
#include "control/ITimelineControl.h"

namespace vortrel {

// How every member of the control meets the host: an output is written only when the host
// asked for it, a null string reads as an empty one, and nothing escapes a member.

/// Writes an output the host asked for (a null pointer is never written).
template <typename T>
void Write(T* out, T value) {
    if (out != nullptr) {
        *out = value;
    }
}

/// A string from the host; null is empty.
inline std::wstring TextOf(const wchar_t* text) {
    return text != nullptr ? std::wstring(text) : std::wstring();
}

/// Whether a file the host names is there.
inline bool FileExists(const std::wstring& name) {
    std::error_code error;
    return std::filesystem::exists(ToPath(name), error);
}

/// Runs a member's body; every member answers kOk, whatever escapes its own handling.
inline HResult Guarded(const std::function<void()>& body) {
    try {
        body();
    } catch (...) {
    }
    return kOk;
}

}  // namespace vortrel
