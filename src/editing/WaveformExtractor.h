#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace vortrel {

/// Decodes the media segment [mediaStartMs, mediaStopMs] of a file's first audio stream and
/// appends its waveform to levels: pairs of (highest, lowest) values, one pair per
/// millisecond (and one per decoded buffer), normalised to -1 to 1. Raises DesError with the
/// fixed message of the step that failed; the levels then keep what was appended so far.
void ExtractWaveform(const std::wstring& source, std::vector<double>& levels, int32_t mediaStartMs,
                     int32_t mediaStopMs);

}  // namespace vortrel
