#pragma once

#include <cstdint>

#include "control/ITimelineControl.h"

namespace vortrel {

// The media information members: what the media-probing component says of a file, in the
// units the host reads (seconds, kilobits and kilohertz, whole names).

/// The length of a media file in seconds; 0 when it cannot be read.
HResult ReadMediaDuration(const wchar_t* mediaFile, float* duration);

/// The length, picture, rates, stream counts and format names of a media file; zeros and
/// empty names when it cannot be read.
HResult ReadMediaInfo(const wchar_t* mediaFile, float* duration, int32_t* width, int32_t* height,
                      float* frameRate, int32_t* videoBitRate, int32_t* audioBitRate,
                      int32_t* audioSampleRate, int32_t* audioChannels, int32_t* videoStreamCount,
                      int32_t* audioStreamCount, OutString* container, OutString* videoStreamFormat,
                      OutString* audioStreamFormat);

}  // namespace vortrel
