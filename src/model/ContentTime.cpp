#include "model/ContentTime.h"

#include <cstdio>

#include "model/TimeSegment.h"

namespace vortrel {

std::wstring FormatContentTime(int32_t milliseconds) {
    // 64 bits, so that the magnitude of the most negative time is representable.
    const int64_t value = milliseconds;
    const uint64_t magnitude = static_cast<uint64_t>(value < 0 ? -value : value);
    const uint64_t seconds = magnitude / 1000;
    char text[48];
    std::snprintf(text, sizeof text, "%s%llu:%02llu:%02llu.%03llu", value < 0 ? "-" : "",
                  static_cast<unsigned long long>(seconds / 3600),
                  static_cast<unsigned long long>(seconds / 60 % 60),
                  static_cast<unsigned long long>(seconds % 60),
                  static_cast<unsigned long long>(magnitude % 1000));
    return std::wstring(text, text + std::char_traits<char>::length(text));
}

std::wstring DescribeTimes(const TimeSegment& segment) {
    return L"\nStart: " + FormatContentTime(segment.GetStart()) + L"\nStop: " +
           FormatContentTime(segment.GetStop());
}

std::wstring FileNameOf(const std::wstring& path) {
    const size_t separator = path.find_last_of(L"\\/");
    return separator == std::wstring::npos ? path : path.substr(separator + 1);
}

}  // namespace vortrel
