#pragma once

#include <cstdint>
#include <string>

namespace vortrel {

class TimeSegment;

/// A time in milliseconds as content descriptions show it: hours without padding, then
/// two-digit minutes and seconds and a three-digit fraction, e.g. 0:01:01.234 or 25:00:00.000.
/// Hours do not wrap at a day; a negative time is written with a leading minus.
std::wstring FormatContentTime(int32_t milliseconds);

/// "\nStart: " and "\nStop: " with the segment's times, the tail of every description.
std::wstring DescribeTimes(const TimeSegment& segment);

/// The part of a source path after its last backslash or slash (the whole path without one).
std::wstring FileNameOf(const std::wstring& path);

}  // namespace vortrel
